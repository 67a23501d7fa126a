#ifndef LOGININFO_H
#define LOGININFO_H

#include <QString>

// The saved login, kept as compact JSON text under "login/info" in the
// settings store. The format is shared with logins saved by earlier
// versions, so the five keys and their types must stay as they are.
struct LoginInfo
{
    QString username;
    QString password;
    int shouldRememberPassword = 0;
    int shouldAutoLogin = 0;
    QString avatarUrl;

    // Compact JSON object with exactly the five keys.
    QString toJsonText() const;

    // Fills info from json with the tolerant readers: a missing key keeps
    // the value info already has. A text that is not JSON is logged and
    // leaves info untouched; returns false then.
    static bool fromJsonText(const QString &json, LoginInfo &info);
};

#endif // LOGININFO_H
