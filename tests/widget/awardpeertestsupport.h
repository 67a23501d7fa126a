#ifndef AWARDPEERTESTSUPPORT_H
#define AWARDPEERTESTSUPPORT_H

#include "mosquittobroker.h"
#include "testutil.h"

#include "boardclass.h"

#include "widget/prizemodel.h"
#include "widget/widgetvideoitem.h"

#include <QSignalSpy>
#include <QString>
#include <QTemporaryDir>

#include <functional>
#include <memory>

// This process in a class over a test broker, as the award pages' two-
// process tests need it: signed in as uid (teacher 30001, students 20001
// and 20002 in the roster), page given the roster and one video tile per
// student through addTile, shown, and in the class topics.
inline bool joinAwardClass(MosquittoBroker &broker, const QTemporaryDir &dir, const QString &uid, const QString &classId,
                           std::unique_ptr<BoardClass> &session, PrizeModel &page,
                           const std::function<void(WidgetVideoItem *)> &addTile)
{
    if (!broker.start())
        return false;
    const QString ini = dir.filePath(QStringLiteral("servers.ini"));
    if (!TestUtil::useServersIni(ini, { QStringLiteral("http://127.0.0.1:9"), {}, {}, {}, {}, {} })
        || !broker.useInServersIni(ini)) {
        return false;
    }
    BoardClass::Options options;
    options.uid = uid;
    options.classId = classId;
    options.reloginMs = 200;
    session = std::make_unique<BoardClass>(options);
    page.setClassInfo(session->roster(), classId);
    for (const QString &student : options.studentUids) {
        UserInfo info;
        if (!session->roster()->getUserInfoByUid(student, info))
            return false;
        auto *tile = new WidgetVideoItem;
        tile->setUserInfo(info);
        addTile(tile);
    }
    page.resize(1026, 695);
    page.show();
    QSignalSpy inChannel(session.get(), &BoardClass::inChannel);
    session->join();
    return inChannel.wait(15000);
}

#endif // AWARDPEERTESTSUPPORT_H
