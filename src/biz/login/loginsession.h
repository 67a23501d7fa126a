#ifndef LOGINSESSION_H
#define LOGINSESSION_H

#include "buildconstants.h"

#include <QString>

struct LoginInfo;

// What follows an accepted login, whoever asked for it (a login window, or
// the classroom signing in again without one): the answer's record becomes
// the role's current user and names dumps and logs, the messaging client is
// made anew for the user, the login is saved and announced. The steps are
// separate so a window can update itself between them.
class LoginSession
{
public:
    // Takes an answer of the role's login call over: the possible id
    // becomes the user id and the record the role's current user. False,
    // with nothing changed, when the answer is not JSON.
    static bool takeOverLoginAnswer(ClientRole role, const QString &response);

    // The "user_login_ok" record and a new MQTT client for the signed-in
    // user. Returns the user id.
    static QString startSession();

    // Saves the login under "login/info": remember-me always on, the
    // avatar of the student record (empty for a teacher).
    static void saveLogin(const QString &username, const QString &password, bool autoLogin);

    // The saved login; false (info untouched) when none was saved.
    static bool readSavedLogin(LoginInfo &info);

    // Tells the rest of the program that a user signed in.
    static void announceLogin();
};

#endif // LOGINSESSION_H
