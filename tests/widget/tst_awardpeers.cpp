// The award message between two processes over a real broker: the
// teacher (a classroom peer process) awards a prize and the prize flies
// onto the awarded students' tiles of this student's award page, once,
// however many transports carry it.
//
// This process is student 20001 with a real student award page.

#include "awardpeertestsupport.h"
#include "classroompeerprocess.h"

#include "widget/modelwidgetvideo.h"
#include "widget/prizemodelanimation.h"
#include "widget/student/prizemodelwidgetstu.h"

#include <QJsonArray>
#include <QLabel>
#include <QJsonObject>
#include <QPropertyAnimation>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

#include <memory>

namespace {

const QString kTeacher = QStringLiteral("30001");
const QString kStudent = QStringLiteral("20001");
const QString kClassmate = QStringLiteral("20002");
const QString kClassId = QStringLiteral("award-peers");

} // namespace

class TestAwardPeers : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void cleanupTestCase();

    void teachersPrizeFliesOntoBothTiles();
    void prizeForAnotherStudentLeavesMyTileAlone();

private:
    QString lastAward(const QString &uid);

    MosquittoBroker m_broker;
    QTemporaryDir m_dir;
    std::unique_ptr<BoardClass> m_session;
    std::unique_ptr<PrizemodelwidgetStu> m_page;
    std::unique_ptr<ClassroomPeerProcess> m_teacher;
};

void TestAwardPeers::initTestCase()
{
    m_page = std::make_unique<PrizemodelwidgetStu>();
    PrizemodelwidgetStu *page = m_page.get();
    QVERIFY(joinAwardClass(m_broker, m_dir, kStudent, kClassId, m_session, *page,
                           [page](WidgetVideoItem *tile) { page->addStudentTile(tile); }));

    m_teacher = std::make_unique<ClassroomPeerProcess>();
    QVERIFY(m_teacher->start(ClassroomPeerProcess::Teacher, kTeacher, kClassId));
}

void TestAwardPeers::cleanupTestCase()
{
    if (m_teacher)
        QVERIFY(m_teacher->quit());
    m_teacher.reset();
    if (m_session)
        m_session->leave();
    m_page.reset();
    m_session.reset();
}

QString TestAwardPeers::lastAward(const QString &uid)
{
    UserInfo info;
    m_session->roster()->getUserInfoByUid(uid, info);
    return info.lastAwardInfo.award_id;
}

void TestAwardPeers::teachersPrizeFliesOntoBothTiles()
{
    m_teacher->send(405, { { "classid", "award-peers" }, { "tid", kTeacher }, { "sids", QJsonArray({ kStudent, kClassmate }) },
                           { "awardid", 1 } });
    QTRY_VERIFY_WITH_TIMEOUT(m_page->prizeAnimation(kStudent) && m_page->prizeAnimation(kClassmate), 10000);
    for (const QString &uid : { kStudent, kClassmate }) {
        PrizeModelAnimation *layer = m_page->prizeAnimation(uid);
        QVERIFY(!layer->isIdle());
        QCOMPARE(lastAward(uid), QStringLiteral("1"));
        // Drive the flight to its end: the crown rests on the tile.
        layer->flight()->setCurrentTime(PrizeModelAnimation::kFlightMs);
        QVERIFY(layer->isIdle());
        ModelWidgetVideo *tile = m_page->awardTile(uid);
        QCOMPARE(layer->prizeLabel()->pos().x(), tile->x() + 17);
    }
    // The two later copies of the message changed nothing.
    QCOMPARE(m_page->prizeAnimation(kStudent)->prizeLabel()->pos().x(), m_page->awardTile(kStudent)->x() + 17);
}

void TestAwardPeers::prizeForAnotherStudentLeavesMyTileAlone()
{
    PrizeModelAnimation *mine = m_page->prizeAnimation(kStudent);
    m_teacher->send(405, { { "classid", "award-peers" }, { "tid", kTeacher }, { "sids", QJsonArray({ kClassmate }) },
                           { "awardid", 6 } });
    QTRY_COMPARE_WITH_TIMEOUT(lastAward(kClassmate), QStringLiteral("6"), 10000);
    QCOMPARE(lastAward(kStudent), QStringLiteral("1"));
    QCOMPARE(m_page->prizeAnimation(kStudent), mine);
}

QTEST_MAIN(TestAwardPeers)
#include "tst_awardpeers.moc"
