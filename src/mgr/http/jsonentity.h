#ifndef JSONENTITY_H
#define JSONENTITY_H

#include "utility/jsonutil.h"

// The record readers, the list reader and fromJson live in
// utility/jsonutil.h, shared with the classroom messages.

#endif // JSONENTITY_H
