#include "buildconstants.h"

#include <QtGlobal>

namespace {

// Set by the role source before main(); the libraries cannot name the role
// themselves, as the same library serves both clients.
int s_clientRole = -1;

// What the build fixed, unless a test asked for another build's value.
const int kServerEnvironment = 2;
const bool kMockHttpEnabled = false;
int s_serverEnvironment = kServerEnvironment;
bool s_mockHttpEnabled = kMockHttpEnabled;

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
    return s_serverEnvironment;
}

bool isMockHttpEnabled()
{
    return s_mockHttpEnabled;
}

void BuildConstantsForTests::set(int serverEnvironment, bool mockHttpEnabled)
{
    s_serverEnvironment = serverEnvironment;
    s_mockHttpEnabled = mockHttpEnabled;
}

void BuildConstantsForTests::restore()
{
    set(kServerEnvironment, kMockHttpEnabled);
}
