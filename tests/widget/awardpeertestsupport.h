#ifndef AWARDPEERTESTSUPPORT_H
#define AWARDPEERTESTSUPPORT_H

#include "boardclasssupport.h"
#include "mosquittobroker.h"
#include "videotilestestsupport.h"

#include "widget/prizemodel.h"
#include "widget/widgetvideoitem.h"

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
    if (!broker.startWithServersIni(dir.filePath(QStringLiteral("servers.ini"))))
        return false;
    session = testBoardClass(uid, classId);
    page.setClassInfo(session->roster(), classId);
    for (const QString &student : BoardClass::Options().studentUids) {
        WidgetVideoItem *tile = VideoTilesTestSupport::rosterTile(*session->roster(), student);
        if (!tile)
            return false;
        addTile(tile);
    }
    page.resize(1026, 695);
    page.show();
    return joinBoardClass(*session);
}

#endif // AWARDPEERTESTSUPPORT_H
