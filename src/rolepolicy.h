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

    bool isStudent() const { return role == ClientRoleStudent; }

    // The role linked into this executable.
    static const RolePolicy &current();
    static const RolePolicy &student();
    static const RolePolicy &teacher();
};

#endif // ROLEPOLICY_H
