// The observer's classroom, started from its argument: the observer page in
// place of the student's, no drawing, a retry question while the RTC
// channel cannot be joined, and, once it is joined over a real broker, a
// muted microphone, no chat input and no tile of its own on the page.

#include "classroomtestsupport.h"
#include "coursedialogsrecorder.h"
#include "messagecatcher.h"
#include "mosquittobroker.h"
#include "scopedtimescale.h"
#include "testutil.h"

#include "biz/im/agora/videosdk.h"
#include "platform/rtc/rtctesthooks.h"
#include "widget/widgetmessage.h"
#include "widget/widgetvideoitems.h"

#include "widget/student/supervisionclasswidget.h"
#include "widget/supervisionclass.h"
#include "widget/widgetclassroom.h"

#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>

using namespace ClassroomTestSupport;

class TestSupervisionClassWidget : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void observerPageWithoutDrawing();
    void retryQuestion_data();
    void retryQuestion();
    void ownUidThatIsNoNumberJoinsNothing();
    // Last: it starts the RTC engine the retry question needs missing.
    void joinedObserverOnlyWatches();

private:
    ScopedTimeScale m_fast{ 0.02 };
};

void TestSupervisionClassWidget::initTestCase()
{
    signInStudent();
    SupervisionClass::analysisSupervisionParameter(
        QStringLiteral("velmo://supervisionClass/?token=supervisor-token&classId=10001"));
    QVERIFY(SupervisionClass::getSupervisionClassFlag());
}

void TestSupervisionClassWidget::observerPageWithoutDrawing()
{
    QScopedPointer<WidgetClassRoom> room(new WidgetClassRoom);
    QVERIFY(qobject_cast<SupervisionClassWidget *>(room->classWidget()));
    for (const char *name : { "btnPen", "btnErase", "btnColor" }) {
        auto *button = room->classWidget()->findChild<QPushButton *>(QString::fromLatin1(name));
        QVERIFY2(button, name);
        QVERIFY2(!button->isEnabled(), name);
    }
}

void TestSupervisionClassWidget::retryQuestion_data()
{
    QTest::addColumn<QList<int>>("answers");
    QTest::newRow("no") << QList<int>{ QMessageBox::No };
    QTest::newRow("yes, then no") << QList<int>{ QMessageBox::Yes, QMessageBox::Yes, QMessageBox::No };
}

void TestSupervisionClassWidget::retryQuestion()
{
    QFETCH(QList<int>, answers);
    CourseDialogsRecorder dialogs;
    dialogs.answers = answers;
    QScopedPointer<WidgetClassRoom> room(new WidgetClassRoom);
    room->show();
    // No RTC engine here: every join fails.
    room->startClass(classInfo());
    QStringList expected;
    for (int i = 0; i < answers.size(); ++i)
        expected << QStringLiteral("监课|加入课堂失败，是否重试？");
    QTRY_COMPARE(dialogs.boxes, expected);
    // Answered no: the classroom stays, without its class page.
    QVERIFY(room->classWidget()->isHidden());
    QVERIFY(room->isVisible());
}

void TestSupervisionClassWidget::ownUidThatIsNoNumberJoinsNothing()
{
    // It would join as the engine's uid 0, somebody else's; no retry can
    // mend it, so nothing asks.
    CourseDialogsRecorder dialogs;
    MessageCatcher log;
    StudentLoginDataEntity user;
    user.id = QStringLiteral("observer-7");
    Singleton<StudentCurrentUser>::instance()->setUserInfo(user);
    QScopedPointer<WidgetClassRoom> room(new WidgetClassRoom);
    room->startClass(classInfo());
    signInStudent();
    QVERIFY(log.has(QtCriticalMsg, QStringLiteral("uid is not a number, not bound: \"observer-7\"")));
    QVERIFY(log.has(QtCriticalMsg, QStringLiteral("videoTxt join failure")));
    TestUtil::drainEvents();
    QVERIFY(dialogs.boxes.isEmpty());
    QVERIFY(!room->classWidget()->isHidden());
}

void TestSupervisionClassWidget::joinedObserverOnlyWatches()
{
    // The RTC channel on a broker of this test's own: the join succeeds.
    QTemporaryDir dir;
    MosquittoBroker broker;
    QVERIFY(broker.startWithServersIni(dir.filePath(QStringLiteral("servers.ini"))));
    VideoSDK::instance()->init();
    CourseDialogsRecorder dialogs;
    MessageCatcher log;
    QScopedPointer<WidgetClassRoom> room(new WidgetClassRoom);
    room->show();
    room->startClass(classInfo());
    QTRY_VERIFY_WITH_TIMEOUT(log.has(QtInfoMsg, QStringLiteral("videoTxt join success,channel:10001")), 10000);
    QVERIFY(dialogs.boxes.isEmpty());
    ClassWidget *page = room->classWidget();
    QVERIFY(page->isVisible());

    // The microphone is off on the engine, and stays off whoever asks.
    agora::rtc::IRtcEngine *engine = VideoSDK::instance()->getRtcEngine();
    QVERIFY(RtcTestHooks::parameter(engine, QStringLiteral("rtc.audio.mute_me")).toBool(false));
    VideoSDK::instance()->muteLocalAudio(false);
    QVERIFY(RtcTestHooks::parameter(engine, QStringLiteral("rtc.audio.mute_me")).toBool(false));

    // The chat shows what others write, with nothing to write in.
    WidgetMessage *chat = page->getMessageWidget();
    QVERIFY(chat->isSupervision());
    QVERIFY(chat->findChild<QWidget *>(QStringLiteral("inputMessageWidget"))->isHidden());

    // The observer's own tile carries the engine's view but is never shown.
    QList<WidgetVideoItemS *> own;
    for (WidgetVideoItemS *tile : page->findChildren<WidgetVideoItemS *>(QString(), Qt::FindDirectChildrenOnly))
        own << tile;
    QCOMPARE(own.size(), 1);
    QVERIFY(own.first()->isHidden());
    QVERIFY(own.first()->isVideoMuted());

    // No pen, no eraser, no colours.
    for (const char *name : { "btnPen", "btnErase", "btnColor" })
        QVERIFY2(!page->findChild<QPushButton *>(QString::fromLatin1(name))->isEnabled(), name);

    page->destoryMode();
}

QTEST_MAIN(TestSupervisionClassWidget)
#include "tst_supervisionclasswidget.moc"
