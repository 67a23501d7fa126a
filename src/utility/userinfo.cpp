#include "userinfo.h"

#include "rolepolicy.h"

#include <QDebug>

void UserInfo::setIsInChannel(bool value)
{
    qInfo("setIsInChannel, uid:%s, value:%d", uid.toUtf8().constData(), int(value));
    isInChannel = value;
}

UserList::UserList() = default;

void UserList::clear()
{
    m_users.clear();
    m_teacherIdx = -1;
    m_curUserIdx = -1;
}

void UserList::addUser(const UserInfo &info)
{
    m_users.append(info);
}

void UserList::addUsers(const QVector<UserInfo> &infos)
{
    m_users.append(infos);
}

int UserList::getUserCount() const
{
    return m_users.size();
}

void UserList::setTeacherIdx(int idx)
{
    m_teacherIdx = idx;
    if (!RolePolicy::current().isStudent())
        m_curUserIdx = idx;
}

void UserList::setCurUserIdx(int idx)
{
    m_curUserIdx = idx;
}

int UserList::getTeacherIdx() const
{
    return m_teacherIdx;
}

int UserList::getCurUserIdx() const
{
    return m_curUserIdx;
}

UserInfo UserList::getTeacher() const
{
    if (!isValidIdx(m_teacherIdx)) {
        qCritical().noquote() << QStringLiteral("teacherIdx is incorrect, you may not initialized. teacheIdx:%1").arg(m_teacherIdx);
        return UserInfo();
    }
    return m_users.at(m_teacherIdx);
}

UserInfo UserList::getCurUser() const
{
    if (!isValidIdx(m_curUserIdx)) {
        qCritical().noquote() << QStringLiteral("curUserIdx is incorrect, you may not initialized. curUserIdx:%1").arg(m_curUserIdx);
        return UserInfo();
    }
    return m_users.at(m_curUserIdx);
}

UserInfo UserList::getUserInfoByIdx(int idx) const
{
    if (!isValidIdx(idx)) {
        qCritical().noquote() << QStringLiteral("idx is incorrect. idx:%1").arg(idx);
        return UserInfo();
    }
    return m_users.at(idx);
}

bool UserList::getUserInfoByUid(const QString &uid, UserInfo &out) const
{
    const int idx = indexOfUid(uid);
    if (idx < 0) {
        qCritical().noquote() << QStringLiteral("not found UserInfo, uid:%1").arg(uid);
        return false;
    }
    out = m_users.at(idx);
    return true;
}

bool UserList::setUserInfoByUid(const UserInfo &info)
{
    const int idx = indexOfUid(info.uid);
    if (idx < 0) {
        qCritical().noquote() << QStringLiteral("not found UserInfo, uid:%1").arg(info.uid);
        return false;
    }
    m_users[idx] = info;
    return true;
}

bool UserList::isUserExist(const QString &uid) const
{
    return indexOfUid(uid) >= 0;
}

int UserList::getUserType(const QString &uid) const
{
    UserInfo info;
    if (!getUserInfoByUid(uid, info))
        return UserInfo::NoUser;
    return info.userType;
}

bool UserList::getIsInChannel(const QString &uid) const
{
    qInfo("getIsInChannel uid:%s", uid.toUtf8().constData());
    const int idx = indexOfUidLogged(uid, "");
    return idx >= 0 && m_users.at(idx).isInChannel;
}

void UserList::setIsInChannel(const QString &uid, bool value)
{
    qInfo("setIsInChannel uid:%s, value:%d", uid.toUtf8().constData(), int(value));
    const int idx = indexOfUidLogged(uid, "");
    if (idx >= 0)
        m_users[idx].setIsInChannel(value);
}

bool UserList::getVideoReadyForPlaying(const QString &uid) const
{
    qInfo("getVideoReadyForPlaying uid:%s", uid.toUtf8().constData());
    const int idx = indexOfUidLogged(uid, "");
    return idx >= 0 && m_users.at(idx).videoReadyForPlaying;
}

void UserList::setVideoReadyForPlaying(const QString &uid, bool value)
{
    qInfo("setVideoReadyForPlaying uid:%s, value:%d", uid.toUtf8().constData(), int(value));
    const int idx = indexOfUidLogged(uid, "");
    if (idx >= 0)
        m_users[idx].videoReadyForPlaying = value;
}

void UserList::setVideoLocalPlayCapability(const QString &uid, int value)
{
    qInfo("entermsg:setVideoLocalPlayCapability uid:%s, value:%d", uid.toUtf8().constData(), value);
    const int idx = indexOfUidLogged(uid, "entermsg:");
    if (idx >= 0)
        m_users[idx].videoLocalPlayCapability = value;
}

void UserList::resetAllStudentsInChannelStatus()
{
    qInfo("resetAllStudentsInChannelStatus");
    for (UserInfo &info : m_users)
        info.setIsInChannel(false);
}

void UserList::resetAllStudentsVideoReadyStatus()
{
    qInfo("resetAllStudentsVideoReadyStatus");
    for (UserInfo &info : m_users)
        info.videoReadyForPlaying = false;
}

bool UserList::isAllStudentsVideoReady() const
{
    for (const UserInfo &info : m_users) {
        if (info.userType != UserInfo::Teacher && info.isInChannel && !info.videoReadyForPlaying)
            return false;
    }
    return true;
}

bool UserList::isAllStudentsLocalPlayCapable() const
{
    for (const UserInfo &info : m_users) {
        if (info.userType != UserInfo::Teacher && info.isInChannel && info.videoLocalPlayCapability == 0)
            return false;
    }
    return true;
}

int UserList::indexOfUidLogged(const QString &uid, const char *prefix) const
{
    const int idx = indexOfUid(uid);
    qInfo("%s%s", prefix, idx < 0 ? "not found" : "found it");
    return idx;
}

int UserList::indexOfUid(const QString &uid) const
{
    for (int i = 0; i < m_users.size(); ++i) {
        if (m_users.at(i).uid == uid)
            return i;
    }
    return -1;
}

bool UserList::isValidIdx(int idx) const
{
    return idx >= 0 && idx < m_users.size();
}
