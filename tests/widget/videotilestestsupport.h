#ifndef VIDEOTILESTESTSUPPORT_H
#define VIDEOTILESTESTSUPPORT_H

#include "utility/userinfo.h"
#include "widget/widgetvideoitem.h"

#include <QString>

// Rosters for the tile tests (a teacher and students, in roster order) and
// tiles of their entries.
namespace VideoTilesTestSupport {

inline UserInfo person(const QString &name, const QString &uid, int role)
{
    UserInfo user;
    user.userName = name;
    user.uid = uid;
    user.userType = role;
    return user;
}

// Teacher Tess (900), students Ann (1234) and Bob (1235); the signed-in
// user is the entry at curUserIdx.
inline void fillClass(UserList &roster, int curUserIdx)
{
    roster.clear();
    roster.addUser(person(QStringLiteral("Tess"), QStringLiteral("900"), 2));
    roster.addUser(person(QStringLiteral("Ann"), QStringLiteral("1234"), 1));
    roster.addUser(person(QStringLiteral("Bob"), QStringLiteral("1235"), 1));
    roster.setTeacherIdx(0);
    roster.setCurUserIdx(curUserIdx);
}

// A new tile of uid's entry in the roster; nullptr when it has none.
inline WidgetVideoItem *rosterTile(const UserList &roster, const QString &uid)
{
    UserInfo info;
    if (!roster.getUserInfoByUid(uid, info))
        return nullptr;
    auto *tile = new WidgetVideoItem;
    tile->setUserInfo(info);
    return tile;
}

} // namespace VideoTilesTestSupport

#endif // VIDEOTILESTESTSUPPORT_H
