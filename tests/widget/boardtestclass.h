#ifndef BOARDTESTCLASS_H
#define BOARDTESTCLASS_H

#include "utility/userinfo.h"

#include <QString>

#include <initializer_list>
#include <utility>

// The class of the whiteboard tests in one process: teacher 30001 (first in
// the roster), students 20001 and 20002, on the stand-in lesson's courseware.
inline const QString kCourseware = QStringLiteral(LESSONRY_SOURCE_DIR "/tools/lessonservice/fixtures/courseware.pdf");
inline const QString kTeacher = QStringLiteral("30001");
inline const QString kStudent = QStringLiteral("20001");
inline const QString kClassmate = QStringLiteral("20002");

// The roster of that class, signed in as current.
inline void fillRoster(UserList &roster, const QString &current)
{
    roster.clear();
    for (const auto &entry : { std::make_pair(kTeacher, 2), std::make_pair(kStudent, 1), std::make_pair(kClassmate, 1) }) {
        UserInfo user;
        user.uid = entry.first;
        user.userType = entry.second;
        roster.addUser(user);
    }
    roster.setTeacherIdx(0);
    roster.setCurUserIdx(current == kTeacher ? 0 : current == kStudent ? 1 : 2);
}

#endif // BOARDTESTCLASS_H
