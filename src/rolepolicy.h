#ifndef ROLEPOLICY_H
#define ROLEPOLICY_H

#include "buildconstants.h"

#include <QString>

// The texts a login window shows for a refused input or a failed login.
struct LoginErrorTexts
{
    QString emptyUser;
    QString emptyPassword;
    QString userNotFound;        // server code 404
    QString wrongPassword;       // 410
    QString certificationFailed; // 500
    QString configFailed;        // 501
    QString unreadableAnswer;    // the answer could not be read (-333)
    // Any other code: %1 is the network-error text followed by "." (or
    // nothing) when withNetworkText, %2 (or %1 without it) the code.
    QString otherFailure;
    bool withNetworkText = false;

    // "" when the input may be sent.
    QString inputError(const QString &user, const QString &password) const;
    QString failureText(int code) const;
};

// What differs between the student and the teacher client, in one table:
// the teacher side of a feature is an entry here, not a copy of the code.
struct RolePolicy
{
    ClientRole role;
    // "student" or "teacher", in settings names and event types.
    QString roleWord;
    // The "source" field of the API calls: "12" student, "13" teacher.
    QString sourceCode;
    // The name of the user-id field where a call names the user's role.
    QString userIdField;
    QString applicationName;
    QString mqttClientIdPrefix;
    QString mqttUserNamePrefix;
    // The web site's help page of the role.
    QString helpPagePath;
    // The role's help icon on the window title bars.
    QString titleBarHelpImage;
    // Whether the interface is translated into Chinese; else it stays in
    // English.
    bool chineseInterface;
    // Whether the whiteboard shows the class-time countdown (the
    // teacher's).
    bool boardShowsClassCountdown;
    LoginErrorTexts loginErrors;

    // The classroom.
    // Whether the classroom shows the teacher's class and award pages; else
    // the student's award page and the student's (or the observer's) class
    // page.
    bool teacherPages;
    // Whether this role decides the class mode: a switch goes to the class
    // and a newcomer to the channel is told the mode in force.
    bool ordersClassMode;
    // Whether the classroom fills the screen when the class starts.
    bool maximisesClassroom;
    // Whether leaving a class that has run a while asks for a review first.
    bool reviewsClassOnLeaving;
    // Whether opening a class says how long until it starts, or that it is
    // over.
    bool noticesClassTime;
    // Whether an award tile takes the selection (the teacher picks whom to
    // award).
    bool selectsAwardTiles;
    // Whether a student's video tile names the uid beside the name.
    bool tilesShowStudentUids;
    // How far a flying prize rises above its start before it turns to the
    // tile, in pixels.
    int prizeRiseHeight;

    // The course window and the device test.
    // The user menu's log-out entry, translated in the context
    // "BaseCourseMainWidget".
    const char *logoutMenuText;
    // Asks for a new device test when the devices changed since the last.
    QString deviceChangedWarning;
    // The device test's sound, relative to the program's folder.
    QString deviceTestSound;

    bool isStudent() const { return role == ClientRoleStudent; }

    // The role linked into this executable.
    static const RolePolicy &current();
    static const RolePolicy &student();
    static const RolePolicy &teacher();
};

#endif // ROLEPOLICY_H
