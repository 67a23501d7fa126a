// The class-time strip on the teacher's whiteboard, on a clock the test
// sets: the countdown before the class, the bar and the clock times during
// it, the one finishing notice at its second, and a server clock ahead or
// behind the client's.

#include "coursedialogsrecorder.h"

#include "mgr/appcontext.h"
#include "mgr/singleton.h"
#include "utility/timeutility.h"
#include "widget/classtimeprogress.h"
#include "widget/widgettimeprogress.h"
#include "widget/widgetwhiteboard.h"

#include <QTest>

namespace {

// A begin time on a whole minute, so the clock labels are exact.
const qint64 kBegin = 1765432800;

} // namespace

class TestClassTimeProgress : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();
    void theWhiteBoardHasTheStrip();
    void shows_data();
    void shows();
    void serverClockOffset_data();
    void serverClockOffset();
    void finishedNoticeOnce();
    void skippedSecondShowsNoNotice();
    void noNoticeOutsideAClass();

private:
    ClassTimeProgress *tick(qint64 clientNow);

    qint64 m_now = 0;
    WidgetWhiteBoard *m_board = nullptr;
};

void TestClassTimeProgress::init()
{
    TimeUtility::setClockForTests([this]() { return m_now * 1000; });
    AppContext *context = Singleton<AppContext>::instance();
    context->resetClassInfo();
    context->setClassBeginTime(quint32(kBegin));
    context->setClassLength(1500);
    context->setInClass(true);
    m_board = new WidgetWhiteBoard;
}

void TestClassTimeProgress::cleanup()
{
    delete m_board;
    m_board = nullptr;
    TimeUtility::setClockForTests(nullptr);
    Singleton<AppContext>::instance()->resetClassInfo();
}

ClassTimeProgress *TestClassTimeProgress::tick(qint64 clientNow)
{
    m_now = clientNow;
    auto *strip = m_board->findChild<ClassTimeProgress *>();
    strip->slot_updateTime();
    return strip;
}

void TestClassTimeProgress::theWhiteBoardHasTheStrip()
{
    auto *strip = m_board->findChild<ClassTimeProgress *>();
    QVERIFY(strip);
    QVERIFY(!strip->isHidden());
}

void TestClassTimeProgress::shows_data()
{
    QTest::addColumn<qint64>("elapsed");
    QTest::addColumn<bool>("countingDown");
    QTest::addColumn<QString>("text"); // the countdown, or the time left on the bar
    QTest::addColumn<int>("value");
    QTest::newRow("90 s before") << qint64(-90) << true << QStringLiteral("This class will start in 00:01:30") << 0;
    QTest::newRow("1 s before") << qint64(-1) << true << QStringLiteral("This class will start in 00:00:01") << 0;
    QTest::newRow("at the start") << qint64(0) << false << QStringLiteral("25:00") << 0;
    QTest::newRow("during") << qint64(61) << false << QStringLiteral("23:59") << 61;
    QTest::newRow("at the end") << qint64(1500) << false << QStringLiteral("00:00") << 1500;
    QTest::newRow("after the end") << qint64(1600) << false << QStringLiteral("00:00") << 1500;
}

void TestClassTimeProgress::shows()
{
    QFETCH(qint64, elapsed);
    QFETCH(bool, countingDown);
    QFETCH(QString, text);
    QFETCH(int, value);
    ClassTimeProgress *strip = tick(kBegin + elapsed);
    QCOMPARE(strip->isCountingDown(), countingDown);
    if (countingDown) {
        QCOMPARE(strip->countdownText(), text);
        return;
    }
    QCOMPARE(strip->bar()->leftTimeText(), text);
    QCOMPARE(strip->bar()->value(), value);
    QCOMPARE(strip->beginTimeText(), TimeUtility::timestampToString(QStringLiteral("hh:mm"), uint(kBegin)));
    // The standard length: exactly 25 minutes apart.
    QCOMPARE(strip->endTimeText(), TimeUtility::timestampToString(QStringLiteral("hh:mm"), uint(kBegin + 1500)));
}

void TestClassTimeProgress::serverClockOffset_data()
{
    QTest::addColumn<qint64>("offsetSecs");
    QTest::newRow("server ahead") << qint64(60);
    QTest::newRow("server behind") << qint64(-60);
}

void TestClassTimeProgress::serverClockOffset()
{
    QFETCH(qint64, offsetSecs);
    Singleton<AppContext>::instance()->setServerTimeOffset(offsetSecs * 1000);
    // One second before the start by the server's clock.
    ClassTimeProgress *strip = tick(kBegin - offsetSecs - 1);
    QCOMPARE(strip->countdownText(), QStringLiteral("This class will start in 00:00:01"));
    // The start by the server's clock; the labels read the client's.
    strip = tick(kBegin - offsetSecs);
    QVERIFY(!strip->isCountingDown());
    QCOMPARE(strip->bar()->leftTimeText(), QStringLiteral("25:00"));
    QCOMPARE(strip->beginTimeText(), TimeUtility::timestampToString(QStringLiteral("hh:mm"), uint(kBegin - offsetSecs)));
    QCOMPARE(strip->endTimeText(),
             TimeUtility::timestampToString(QStringLiteral("hh:mm"), uint(kBegin + 1500 - offsetSecs)));
}

void TestClassTimeProgress::finishedNoticeOnce()
{
    CourseDialogsRecorder dialogs;
    tick(kBegin + 1679);
    QVERIFY(dialogs.boxes.isEmpty());
    tick(kBegin + 1680);
    QCOMPARE(dialogs.boxes,
             QStringList{ QStringLiteral("Velmo|This class is finished, please exit and get ready for the next class.") });
    tick(kBegin + 1680);
    tick(kBegin + 1681);
    QCOMPARE(dialogs.boxes.size(), 1);
}

void TestClassTimeProgress::skippedSecondShowsNoNotice()
{
    CourseDialogsRecorder dialogs;
    tick(kBegin + 1679);
    tick(kBegin + 1681);
    QVERIFY(dialogs.boxes.isEmpty());
}

void TestClassTimeProgress::noNoticeOutsideAClass()
{
    CourseDialogsRecorder dialogs;
    Singleton<AppContext>::instance()->setInClass(false);
    tick(kBegin + 1680);
    QVERIFY(dialogs.boxes.isEmpty());
}

QTEST_MAIN(TestClassTimeProgress)
#include "tst_classtimeprogress_teacher.moc"
