// A flood of the back end's notices at a student's real classroom window in
// a process of its own, over a real broker: 5000 level-1 notices in a few
// seconds from a hundred made-up back-end uids. Each notice used to open
// its box inside the message's slot, the next inside that box's loop:
// thousands of them ran the stack out. Now one box shows at a time and the
// client lives on and ends well.

#include "classroomtestsupport.h"
#include "classroompeerprocess.h"
#include "lessonservice.h"
#include "mosquittobroker.h"
#include "testutil.h"
#include "topicwatcher.h"

#include <QDir>
#include <QElapsedTimer>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTest>
#include <QUuid>

using namespace ClassroomTestSupport;

namespace {

const int kNotices = 5000;
const int kSenders = 100;


} // namespace

class TestNoticeFlood : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void oneBoxAndALiveClient();

private:
    QJsonObject stateOf(ClassroomPeerProcess &page);

    LessonService m_service;
    MosquittoBroker m_broker;
};

void TestNoticeFlood::initTestCase()
{
    QVERIFY(m_service.start());
    QVERIFY(m_broker.start());
    QVERIFY(m_broker.useInServersIni(m_service.serversIniPath()));
}

QJsonObject TestNoticeFlood::stateOf(ClassroomPeerProcess &page)
{
    const int mark = page.lineCount();
    page.command(QStringLiteral("state"));
    const auto isState = [](const QString &line) { return line.startsWith(QLatin1String("state ")); };
    if (!page.waitForLine(isState, 10000, mark))
        return QJsonObject();
    const QStringList lines = page.linesStartingWith(QStringLiteral("state "));
    return QJsonDocument::fromJson(lines.last().mid(6).toUtf8()).object();
}

void TestNoticeFlood::oneBoxAndALiveClient()
{
    const QString me = QString::fromLatin1(kStudentId);
    ClassroomPeerProcess page;
    QVERIFY(page.startProgram(QDir(TestUtil::binDir()).filePath(QStringLiteral("lessonry-classpage-peer-student")),
                              { QStringLiteral("--uid"), me }));
    QVERIFY(page.waitForLine(QStringLiteral("inchannel"), 20000));

    QStringList flood;
    for (int i = 0; i < kNotices; ++i) {
        const QString sender = QString::number(90000 + i % kSenders);
        flood << TestUtil::classroomEnvelope(601, sender,
                          { { "classid", kClassId }, { "uid", me }, { "level", 1 }, { "content", QStringLiteral("notice %1").arg(i) } });
    }
    const QString topic = QStringLiteral("tp/velmo/signal/channel/%1/message").arg(QString::fromLatin1(kClassId));
    QElapsedTimer clock;
    clock.start();
    QVERIFY(TopicWatcher::publishAll(m_broker.port(), topic, flood));
    qInfo("%d notices published in %lld ms", kNotices, clock.elapsed());
    // The teacher's mode switch after the flood: handled once the flood
    // before it on the same topic is.
    const int mark = page.lineCount();
    QVERIFY(TopicWatcher::publish(m_broker.port(), topic,
                                  TestUtil::classroomEnvelope(410, QString::fromLatin1(kTeacherId), { { "type", 0 }, { "classid", kClassId } })));
    QVERIFY(page.waitForLine(QStringLiteral("got 410 %1").arg(QString::fromLatin1(kTeacherId)), 60000, mark));
    const QJsonObject shown = stateOf(page);
    QCOMPARE(shown.value(QStringLiteral("boxes")).toInt(), 1);
    // Alive: it still answers, and ends with status 0.
    QVERIFY(page.quit());
}

QTEST_MAIN(TestNoticeFlood)
#include "tst_noticeflood.moc"
