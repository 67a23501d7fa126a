#include "buildconstants.h"

#include <QtGlobal>

namespace {

// Set by the role source before main(); the libraries cannot name the role
// themselves, as the same library serves both clients.
int s_clientRole = -1;

} // namespace

ClientRoleDefinition::ClientRoleDefinition(ClientRole role)
{
    if (s_clientRole != -1 && s_clientRole != role)
        qFatal("two different role sources are linked into this executable");
    s_clientRole = role;
}

int getClientRole()
{
    if (s_clientRole == -1)
        qFatal("no role source is linked into this executable (role/studentrole.cpp or role/teacherrole.cpp)");
    return s_clientRole;
}

int getServerEnvironment()
{
    return 2;
}

bool isMockHttpEnabled()
{
    return false;
}
