#ifndef BUILDCONSTANTS_H
#define BUILDCONSTANTS_H

// Constants fixed when the program is built.

enum ClientRole {
    ClientRoleTeacher = 0,
    ClientRoleStudent = 1,
};

// 1 student, 0 teacher: the role of the role source linked into the
// executable (role/studentrole.cpp or role/teacherrole.cpp). What differs
// between the roles is looked up in RolePolicy, not decided here.
int getClientRole();

// The role source's one line: a static object of this type names the
// executable's role before main() runs. Only one may exist per process.
class ClientRoleDefinition
{
public:
    explicit ClientRoleDefinition(ClientRole role);
};

// 2 production, 0 development server on the local network.
int getServerEnvironment();

// When true, canned HTTP responses replace some teacher calls.
bool isMockHttpEnabled();

// For tests only: runs the code as another build would, with the given
// server environment and canned-response switch, until restore() brings
// back the values this build was made with. Not thread-safe: set them
// before the code under test starts.
class BuildConstantsForTests
{
public:
    static void set(int serverEnvironment, bool mockHttpEnabled);
    static void restore();
};

#endif // BUILDCONSTANTS_H
