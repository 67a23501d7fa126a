#ifndef CURRENTUSERRECORD_H
#define CURRENTUSERRECORD_H

#include <QString>

// The signed-in user's login record, kept whole: what the current-user
// singletons of both roles share. Record is the role's login data.
template<typename Record>
class CurrentUserRecord
{
public:
    Record getUserInfo() const { return m_userInfo; }
    void setUserInfo(const Record &info) { m_userInfo = info; }
    QString getId() const { return m_userInfo.id; }

protected:
    Record m_userInfo;
};

#endif // CURRENTUSERRECORD_H
