#include "buildconstants.h"

// Linked into the teacher client (and the tests that play a teacher).
static const ClientRoleDefinition s_role(ClientRoleTeacher);
