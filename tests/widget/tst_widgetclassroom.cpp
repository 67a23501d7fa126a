// The student's classroom window: the roster it builds, the class state it
// keeps, following the teacher's mode without answering, the leave
// question and the review before leaving a long uncommented class.

#include "classroomtestsupport.h"
#include "coursedialogsrecorder.h"
#include "messagecatcher.h"
#include "scopedtimescale.h"
#include "testutil.h"

#include "biz/im/agora/agoraloginmgr.h"
#include "biz/im/agora/videosdk.h"
#include "mgr/appcontext.h"
#include "mgr/apprestart.h"
#include "mgr/signalqueuemgr.h"
#include "utility/timeutility.h"
#include "utility/userinfo.h"
#include "widget/classwidget.h"
#include "widget/networkdisconnect.h"
#include "widget/student/prizemodelwidgetstu.h"
#include "widget/student/studentclasswidget.h"
#include "widget/student/widgetreview.h"
#include "widget/widgetclassroom.h"
#include "widget/widgetmessage.h"

#include <QApplication>
#include <QMessageBox>
#include <QPointer>
#include <QSignalSpy>
#include <QTest>

#include <algorithm>

using namespace ClassroomTestSupport;

namespace {

// Keeps the states a window changes to, in order.
class StateRecorder : public QObject
{
public:
    explicit StateRecorder(QVector<Qt::WindowStates> *states)
        : m_states(states)
    {
    }

    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() == QEvent::WindowStateChange)
            m_states->append(static_cast<QWidget *>(watched)->windowState());
        return false;
    }

private:
    QVector<Qt::WindowStates> *m_states;
};

} // namespace

class TestWidgetClassRoom : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void cleanup();
    void buildsTheStudentsPages();
    void startKeepsTheClass();
    void videoProfileFromTheClassInfo_data();
    void videoProfileFromTheClassInfo();
    void signedInStudentStandsAfterTheTeacher();
    void followsTheTeachersMode();
    void noticesShowOneBoxAtATime();
    void noticeBoxesWaitForTheEventLoop();
    void leaving_data();
    void leaving();
    void networkBanner_data();
    void networkBanner();
    void noConnectByNameWarnings();
    void shiftCutMinimisesTheClassroom_data();
    void shiftCutMinimisesTheClassroom();

private:
    ScopedTimeScale m_fast{ 0.02 };
};

void TestWidgetClassRoom::initTestCase()
{
    signInStudent();
}

void TestWidgetClassRoom::buildsTheStudentsPages()
{
    QScopedPointer<WidgetClassRoom> room(new WidgetClassRoom);
    QVERIFY(qobject_cast<StudentClassWidget *>(room->classWidget()));
    QVERIFY(qobject_cast<PrizemodelwidgetStu *>(room->modes().at(1)));
    QCOMPARE(room->currentMode(), room->classWidget());
}

void TestWidgetClassRoom::startKeepsTheClass()
{
    QScopedPointer<WidgetClassRoom> room(new WidgetClassRoom);
    const ClassInfoEntity info = classInfo(90);
    room->startClass(info);
    const AppContext *context = Singleton<AppContext>::instance();
    QCOMPARE(room->getClassId(), QString::fromLatin1(kClassId));
    QCOMPARE(context->getClassId(), QString::fromLatin1(kClassId));
    QCOMPARE(context->getClassBeginTime(), info.begin_time.toUInt());
    QCOMPARE(context->getClassLength(), 1500);
    QVERIFY(context->isInClass());
    QCOMPARE(Singleton<AppRestart>::instance()->getCurClassId(), QString::fromLatin1(kClassId));
    // A student's classroom always opens maximised.
    QVERIFY(room->isMaximized() || room->windowState().testFlag(Qt::WindowMaximized));
}

void TestWidgetClassRoom::videoProfileFromTheClassInfo_data()
{
    QTest::addColumn<int>("fps");
    QTest::addColumn<int>("profile");
    QTest::newRow("fps 20") << 20 << 20;
    QTest::newRow("fps 0") << 0 << 0;
    QTest::newRow("fps -1 gives profile 40") << -1 << 40;
}

void TestWidgetClassRoom::videoProfileFromTheClassInfo()
{
    // The class information's "fps" is the video profile the window asks
    // of the engine; a negative one means the default profile, 40.
    QFETCH(int, fps);
    QFETCH(int, profile);
    QScopedPointer<WidgetClassRoom> room(new WidgetClassRoom);
    ClassInfoEntity info = classInfo();
    info.app_config.fps = fps;
    MessageCatcher log;
    room->startClass(info);
    const QString asked = QStringLiteral("enter setVideoProfile, profile:");
    QCOMPARE(log.count(QtInfoMsg, asked), 1);
    QVERIFY(log.has(QtInfoMsg, asked + QString::number(profile)));
}

void TestWidgetClassRoom::signedInStudentStandsAfterTheTeacher()
{
    QScopedPointer<WidgetClassRoom> room(new WidgetClassRoom);
    room->startClass(classInfo());
    const UserList *roster = room->getUserList();
    QCOMPARE(roster->getUserCount(), 3);
    QCOMPARE(roster->getUserInfoByIdx(0).uid, QString::fromLatin1(kTeacherId));
    QCOMPARE(roster->getUserInfoByIdx(0).userType, 2);
    QCOMPARE(roster->getUserInfoByIdx(1).uid, QString::fromLatin1(kStudentId));
    QCOMPARE(roster->getUserInfoByIdx(1).likeNum, 7);
    QCOMPARE(roster->getUserInfoByIdx(2).uid, QString::fromLatin1(kClassmateId));
    QCOMPARE(roster->getTeacherIdx(), 0);
    QCOMPARE(roster->getCurUserIdx(), 1);
}

void TestWidgetClassRoom::followsTheTeachersMode()
{
    QScopedPointer<WidgetClassRoom> room(new WidgetClassRoom);
    room->startClass(classInfo());
    MessageCatcher log;
    ClassModelControl control;
    control.type = WidgetClassMode::PrizeMode;
    control.classid = QString::fromLatin1(kClassId);
    room->slot_receiveSwitchClassModel(ImMsgInfo{ QString(), QString::fromLatin1(kTeacherId) }, control);
    QCOMPARE(room->currentMode()->getClassMode(), int(WidgetClassMode::PrizeMode));
    // A student never sends the mode.
    QCOMPARE(log.count(QtInfoMsg, QStringLiteral("\"type\":410")), 0);
    room->slot_videoChannelSomeOneJoined(QString::fromLatin1(kTeacherId));
    QCOMPARE(log.count(QtInfoMsg, QStringLiteral("\"type\":410")), 0);
    QCOMPARE(log.count(QtInfoMsg, QStringLiteral("\"source\":\"12\"")), 1);
}

namespace {

QList<QMessageBox *> visibleBoxes()
{
    QList<QMessageBox *> boxes;
    for (QWidget *widget : QApplication::topLevelWidgets()) {
        if (auto *box = qobject_cast<QMessageBox *>(widget); box && box->isVisible())
            boxes << box;
    }
    return boxes;
}

SendSysMsg notice(const QString &content)
{
    SendSysMsg msg;
    msg.classid = QString::fromLatin1(kClassId);
    msg.uid = QString::fromLatin1(kStudentId);
    msg.level = 1;
    msg.content = content;
    return msg;
}

} // namespace

void TestWidgetClassRoom::noticesShowOneBoxAtATime()
{
    // Real boxes: no handler answers them.
    QScopedPointer<WidgetClassRoom> room(new WidgetClassRoom);
    room->startClass(classInfo());
    room->show();
    const ImMsgInfo backEnd{ QString(), QStringLiteral("90001") };
    // A flood of notices, each a box before: every one of them opened
    // inside the one before and 5000 of them ran the stack out.
    for (int i = 0; i < 5000; ++i)
        room->slot_receiveSendSysMsg(backEnd, notice(QStringLiteral("notice %1").arg(i)));
    QTRY_COMPARE(visibleBoxes().size(), 1);
    QCOMPARE(visibleBoxes().first()->text(), QStringLiteral("notice 0"));
    // Closed, the next waiting ones show, one at a time, the newest last.
    QStringList shown;
    for (int round = 0; round < 10 && !visibleBoxes().isEmpty(); ++round) {
        QMessageBox *box = visibleBoxes().first();
        QCOMPARE(visibleBoxes().size(), 1);
        shown << box->text();
        box->accept();
        TestUtil::drainEvents();
    }
    QCOMPARE(shown, QStringList({ "notice 0", "notice 1", "notice 2", "notice 4999" }));
    QVERIFY(visibleBoxes().isEmpty());
    // A repeat of the notice on screen adds nothing.
    room->slot_receiveSendSysMsg(backEnd, notice(QStringLiteral("again")));
    room->slot_receiveSendSysMsg(backEnd, notice(QStringLiteral("again")));
    QTRY_COMPARE(visibleBoxes().size(), 1);
    visibleBoxes().first()->accept();
    TestUtil::drainEvents();
    QVERIFY(visibleBoxes().isEmpty());
}

void TestWidgetClassRoom::noticeBoxesWaitForTheEventLoop()
{
    CourseDialogsRecorder dialogs;
    QScopedPointer<WidgetClassRoom> room(new WidgetClassRoom);
    room->startClass(classInfo());
    room->slot_receiveSendSysMsg(ImMsgInfo{ QString(), QStringLiteral("90001") }, notice(QStringLiteral("later")));
    // Nothing is shown from inside the message's slot.
    QVERIFY(dialogs.boxes.isEmpty());
    QTRY_COMPARE(dialogs.boxes.size(), 1);
    QVERIFY(dialogs.boxes.first().endsWith(QStringLiteral("|later")));
}

void TestWidgetClassRoom::leaving_data()
{
    // The client's clock stands still at begin + clientMs; the server's
    // runs serverOffsetMs ahead of it. Whole seconds by the server's clock
    // count: a review comes only after more than 1200 of them.
    QTest::addColumn<qint64>("clientMs");
    QTest::addColumn<qint64>("serverOffsetMs");
    QTest::addColumn<bool>("commented");
    QTest::addColumn<int>("answer");
    QTest::addColumn<bool>("review");
    QTest::addColumn<bool>("closed");
    QTest::newRow("no") << qint64(1500000) << qint64(0) << false << int(QMessageBox::No) << false << false;
    QTest::newRow("1199 s") << qint64(1199000) << qint64(0) << false << int(QMessageBox::Yes) << false << true;
    QTest::newRow("1200 s and 999 ms") << qint64(1200999) << qint64(0) << false << int(QMessageBox::Yes) << false
                                       << true;
    QTest::newRow("1201 s") << qint64(1201000) << qint64(0) << false << int(QMessageBox::Yes) << true << false;
    QTest::newRow("1201 s, server 60 s ahead")
        << qint64(1141000) << qint64(60000) << false << int(QMessageBox::Yes) << true << false;
    QTest::newRow("1200 s, server 60 s behind")
        << qint64(1260999) << qint64(-60000) << false << int(QMessageBox::Yes) << false << true;
    QTest::newRow("commented, 1201 s") << qint64(1201000) << qint64(0) << true << int(QMessageBox::Yes) << false
                                       << true;
    QTest::newRow("commented, 1 h") << qint64(3600000) << qint64(0) << true << int(QMessageBox::Yes) << false
                                    << true;
}

void TestWidgetClassRoom::leaving()
{
    QFETCH(qint64, clientMs);
    QFETCH(qint64, serverOffsetMs);
    QFETCH(bool, commented);
    QFETCH(int, answer);
    QFETCH(bool, review);
    QFETCH(bool, closed);
    const qint64 begin = 1709521200;
    TimeUtility::setClockForTests([=]() { return begin * 1000 + clientMs; });
    CourseDialogsRecorder dialogs;
    dialogs.answers << answer;
    QPointer<WidgetClassRoom> room = new WidgetClassRoom;
    ClassInfoEntity info = classInfo();
    info.begin_time = QString::number(begin);
    info.is_commented = commented;
    room->startClass(info);
    Singleton<AppContext>::instance()->setServerTimeOffset(serverOffsetMs);
    room->show();
    QSignalSpy confirmed(room.data(), &WidgetClassRoom::signal_close);
    QSignalSpy classroomClosed(SignalQueueMgr::instance(), &SignalQueueMgr::signal_classroom_close);
    room->slot_closeWidget();
    QCOMPARE(dialogs.boxes.size(), 1);
    QCOMPARE(confirmed.count(), answer == QMessageBox::Yes ? 1 : 0);
    QCOMPARE(classroomClosed.count(), closed ? 1 : 0);
    QCOMPARE(room->reviewWidget() != nullptr, review);
    if (review) {
        QVERIFY(room->reviewWidget()->isVisible());
        // The classroom stays open until the review closes.
        QVERIFY(room->isVisible());
        room->reviewWidget()->close();
        QCOMPARE(classroomClosed.count(), 1);
    }
    if (closed || review)
        QTRY_VERIFY(room.isNull());
    else
        delete room;
}

void TestWidgetClassRoom::cleanup()
{
    TimeUtility::setClockForTests(nullptr);
    Singleton<AppContext>::instance()->resetClassInfo();
}

void TestWidgetClassRoom::networkBanner_data()
{
    // Reports in order: 'r'/'R' the RTC engine lost/connected, 's'/'S' the
    // signalling service lost/connected.
    QTest::addColumn<QString>("reports");
    QTest::addColumn<bool>("shown");
    QTest::newRow("nothing reported") << QString() << false;
    QTest::newRow("rtc lost") << QStringLiteral("r") << true;
    QTest::newRow("signalling lost") << QStringLiteral("s") << true;
    QTest::newRow("rtc lost, signalling connected") << QStringLiteral("rS") << false;
    QTest::newRow("lost twice") << QStringLiteral("rr") << true;
    QTest::newRow("lost, back, lost") << QStringLiteral("rRs") << true;
}

void TestWidgetClassRoom::networkBanner()
{
    QFETCH(QString, reports);
    QFETCH(bool, shown);
    QScopedPointer<WidgetClassRoom> room(new WidgetClassRoom);
    room->show();
    auto *banner = room->classWidget()->findChild<NetworkDisconnect *>();
    QVERIFY(banner);
    for (const QChar report : reports) {
        if (report.toLower() == QLatin1Char('r'))
            emit VideoSDK::instance()->signal_networkStatusChanged(report.isUpper());
        else
            emit AgoraLoginMgr::instance()->signal_networkStatusChanged(report.isUpper());
    }
    QCOMPARE(banner->isVisible(), shown);
    if (shown) {
        // Over the top of the class page, its full width.
        QCOMPARE(banner->geometry().topLeft(), QPoint(0, 0));
        QCOMPARE(banner->width(), room->classWidget()->width());
    }
}

void TestWidgetClassRoom::noConnectByNameWarnings()
{
    // Every form of the classroom connects its slots by name; a slot named
    // for a child the form lacks is a button that does nothing.
    MessageCatcher log;
    {
        QScopedPointer<WidgetClassRoom> room(new WidgetClassRoom);
        room->startClass(classInfo());
    }
    QCOMPARE(log.count(QtWarningMsg, QStringLiteral("connectSlotsByName")), 0);
}

void TestWidgetClassRoom::shiftCutMinimisesTheClassroom_data()
{
    QTest::addColumn<bool>("shift");
    QTest::newRow("SHIFT held") << true;
    QTest::newRow("without SHIFT") << false;
}

void TestWidgetClassRoom::shiftCutMinimisesTheClassroom()
{
    // With SHIFT held the chat's screenshot first gets the classroom
    // window out of the way and brings it back, maximised as it was, once
    // the tool has ended (offscreen it ends at once, without a picture).
    QFETCH(bool, shift);
    QScopedPointer<WidgetClassRoom> room(new WidgetClassRoom);
    room->startClass(classInfo());
    room->show();
    QVERIFY(room->isMaximized());
    ClassWidget *page = room->classWidget();
    QVector<Qt::WindowStates> states;
    StateRecorder recorder(&states);
    room->installEventFilter(&recorder);
    if (shift)
        QTest::keyPress(page, Qt::Key_Shift);
    emit page->getMessageWidget()->signal_clickCutImage();
    room->removeEventFilter(&recorder);
    const bool minimised = std::any_of(states.cbegin(), states.cend(),
                                       [](Qt::WindowStates state) { return state.testFlag(Qt::WindowMinimized); });
    QCOMPARE(minimised, shift);
    if (shift)
        QCOMPARE(states.last(), Qt::WindowStates(Qt::WindowMaximized));
    QVERIFY(room->isMaximized());
    QVERIFY(!room->isMinimized());
    QVERIFY(room->isVisible());
    // Nothing of the page's own: the page is no window.
    QVERIFY(!page->isMinimized());
}

QTEST_MAIN(TestWidgetClassRoom)
#include "tst_widgetclassroom.moc"
