#include "buildconstants.h"

// Linked into the student client (and the tests that play a student).
static const ClientRoleDefinition s_role(ClientRoleStudent);
