#ifndef BUILDCONSTANTS_H
#define BUILDCONSTANTS_H

// Constants fixed when the program is built. The role is defined by the
// role source linked into each executable (student client or teacher client).

// 1 student, 0 teacher.
int getClientRole();

// 2 production, 0 development server on the local network.
int getServerEnvironment();

// When true, canned HTTP responses replace some teacher calls.
bool isMockHttpEnabled();

#endif // BUILDCONSTANTS_H
