#ifndef ROLEWINDOWS_H
#define ROLEWINDOWS_H

#include "buildconstants.h"

class baseloginwidget;
class BaseCourseMainWidget;

// The windows of each role, beside RolePolicy for what is not a window:
// code that opens "the login window" or "the course window" asks here.
struct RoleWindows
{
    // A new window without parent, nothing else done to it.
    baseloginwidget *(*createLoginWidget)();
    BaseCourseMainWidget *(*createCourseWidget)();

    static const RoleWindows &of(ClientRole role);
    static const RoleWindows &current();

    // A new login window of the role, deleted when closed, its form built
    // (initUi). The caller settles automatic login, then reads the saved
    // login and shows the window.
    baseloginwidget *newLoginWidget() const;
    // Opens a new course window of the role, deleted when closed.
    void showCourseWidget() const;
};

#endif // ROLEWINDOWS_H
