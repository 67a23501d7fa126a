// The award message between two processes over a real broker: this
// teacher's award page gives a prize and the student (a classroom peer
// process) receives it once, with every awarded uid and the prize id as a
// number; a second press while the prize still flies sends nothing.
//
// This process is teacher 30001 with a real teacher award page.

#include "awardpeertestsupport.h"
#include "classroompeerprocess.h"

#include "widget/prizemodelanimation.h"
#include "widget/teacher/prizemodelwidget.h"

#include <QJsonArray>
#include <QJsonDocument>
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
const QString kClassId = QStringLiteral("award-peers-t");

bool isAward(const QString &line, const QJsonArray &sids, int prize)
{
    const QString prefix = QStringLiteral("recv signal_receiveAwardControl %1 ").arg(kTeacher);
    if (!line.startsWith(prefix))
        return false;
    const QJsonObject payload = QJsonDocument::fromJson(line.mid(prefix.size()).toUtf8()).object();
    return payload == QJsonObject { { "classid", kClassId }, { "tid", kTeacher }, { "sids", sids }, { "awardid", prize } };
}

} // namespace

class TestAwardPeersTeacher : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void cleanupTestCase();

    void crownReachesTheStudentOnce();

private:
    MosquittoBroker m_broker;
    QTemporaryDir m_dir;
    std::unique_ptr<BoardClass> m_session;
    std::unique_ptr<PrizeModelWidget> m_page;
    std::unique_ptr<ClassroomPeerProcess> m_student;
};

void TestAwardPeersTeacher::initTestCase()
{
    m_page = std::make_unique<PrizeModelWidget>();
    PrizeModelWidget *page = m_page.get();
    QVERIFY(joinAwardClass(m_broker, m_dir, kTeacher, kClassId, m_session, *page, [page](WidgetVideoItem *tile) {
        page->addStudentTile(tile);
        page->addRankRow(tile);
    }));

    m_student = std::make_unique<ClassroomPeerProcess>();
    QVERIFY(m_student->start(ClassroomPeerProcess::Student, kStudent, kClassId));
}

void TestAwardPeersTeacher::cleanupTestCase()
{
    if (m_student)
        QVERIFY(m_student->quit());
    m_student.reset();
    if (m_session)
        m_session->leave();
    m_page.reset();
    m_session.reset();
}

void TestAwardPeersTeacher::crownReachesTheStudentOnce()
{
    const QJsonArray both { kStudent, kClassmate };
    const int from = m_student->lineCount();
    m_page->on_pushButton_crown_clicked();
    QVERIFY(m_student->waitForLine([&](const QString &line) { return isAward(line, both, 1); }, 10000, from));
    // Pressed again while the crowns fly: nobody can take it, nothing goes.
    m_page->on_pushButton_medal_clicked();
    // Land both crowns, then a third prize goes out as the second message.
    for (const QString &uid : { kStudent, kClassmate })
        m_page->prizeAnimation(uid)->flight()->setCurrentTime(PrizeModelAnimation::kFlightMs);
    m_page->on_pushButton_ball_clicked();
    QVERIFY(m_student->waitForLine([&](const QString &line) { return isAward(line, both, 6); }, 10000, from));
    int awards = 0;
    for (const QString &line : m_student->lines().mid(from))
        awards += line.startsWith(QStringLiteral("recv signal_receiveAwardControl"));
    QCOMPARE(awards, 2);
}

QTEST_MAIN(TestAwardPeersTeacher)
#include "tst_awardpeers_teacher.moc"
