#ifndef BOARDCLASSSUPPORT_H
#define BOARDCLASSSUPPORT_H

#include "peercommandline.h"

#include "boardclass.h"

#include "mgr/logmgr.h"
#include "mgr/singleton.h"

#include <QSignalSpy>
#include <QString>

#include <memory>

// A test's own participant in a class over its broker, logging in again
// soon after a failed login or a lost connection.
inline std::unique_ptr<BoardClass> testBoardClass(const QString &uid, const QString &classId)
{
    BoardClass::Options options;
    options.uid = uid;
    options.classId = classId;
    options.reloginMs = 200;
    return std::make_unique<BoardClass>(options);
}

// Joins the class; false when it is not in within 15 s.
inline bool joinBoardClass(BoardClass &session)
{
    QSignalSpy inChannel(&session, &BoardClass::inChannel);
    session.join();
    return inChannel.wait(15000);
}

// A peer program's place in the class from its command line, with the
// message and action logs kept when it asks (--log).
inline BoardClass::Options peerBoardClassOptions(const PeerCommandLine &arguments)
{
    if (arguments.keepsLogs())
        Singleton<LogMgr>::instance()->init();
    BoardClass::Options options;
    options.uid = arguments.uid();
    options.classId = arguments.classId();
    return options;
}

#endif // BOARDCLASSSUPPORT_H
