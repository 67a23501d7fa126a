#ifndef USERINFO_H
#define USERINFO_H

#include "utility/lastawardinfo.h"

#include <QString>
#include <QVector>

// One participant of the running class.
class UserInfo
{
public:
    // userType, as the roster and the classroom's messages carry it
    // ("userType":1).
    enum UserType {
        NoUser = 0, // only in a default record
        Student = 1,
        Teacher = 2,
    };

    // Logs the change, then stores it.
    void setIsInChannel(bool value);

    QString userName;
    QString uid;
    QString pic;
    int userType = NoUser; // a UserType
    int likeNum = 0;
    int controlFlags = 0; // classroom controls applied to this participant
    LastAwardInfo lastAwardInfo;
    int videoLocalPlayCapability = 0; // 0 = cannot play the lesson video locally
    bool videoReadyForPlaying = false;
    bool isInChannel = false;
};

// The roster of the running class: the teacher and every student in a fixed
// order, with the index of the teacher and of the signed-in user. Look-ups
// by uid take the first record with exactly that uid. Bad indices and
// unknown uids are logged and give default records or false, never a crash.
class UserList
{
public:
    UserList();

    void clear();
    void addUser(const UserInfo &info);
    void addUsers(const QVector<UserInfo> &infos);
    int getUserCount() const;

    // In the teacher build the teacher is also the current user.
    void setTeacherIdx(int idx);
    void setCurUserIdx(int idx);
    int getTeacherIdx() const;
    int getCurUserIdx() const;

    UserInfo getTeacher() const;
    UserInfo getCurUser() const;
    UserInfo getUserInfoByIdx(int idx) const;
    // Copies the record into out; out is left alone when uid is unknown.
    bool getUserInfoByUid(const QString &uid, UserInfo &out) const;
    // Overwrites the whole record with info's uid; adds nothing.
    bool setUserInfoByUid(const UserInfo &info);
    bool isUserExist(const QString &uid) const;
    // A UserInfo::UserType; NoUser when uid is unknown.
    int getUserType(const QString &uid) const;
    int getUserRole(const QString &uid) const { return getUserType(uid); }

    bool getIsInChannel(const QString &uid) const;
    void setIsInChannel(const QString &uid, bool value);
    bool getVideoReadyForPlaying(const QString &uid) const;
    void setVideoReadyForPlaying(const QString &uid, bool value);
    void setVideoLocalPlayCapability(const QString &uid, int value);
    // Both resets include the teacher's record.
    void resetAllStudentsInChannelStatus();
    void resetAllStudentsVideoReadyStatus();

    // Only students present in the channel count; an empty roster is ready.
    bool isAllStudentsVideoReady() const;
    bool isAllStudentsLocalPlayCapable() const;

private:
    int indexOfUid(const QString &uid) const;
    // The same, logging "found it" or "not found" after prefix.
    int indexOfUidLogged(const QString &uid, const char *prefix) const;
    bool isValidIdx(int idx) const;

    QVector<UserInfo> m_users;
    int m_teacherIdx = -1;
    int m_curUserIdx = -1;
};

#endif // USERINFO_H
