// The student's classroom window: the roster it builds, the class state it
// keeps, following the teacher's mode without answering, the leave
// question and the review before leaving a long uncommented class.

#include "classroomtestsupport.h"
#include "coursedialogsrecorder.h"
#include "messagecatcher.h"
#include "scopedtimescale.h"

#include "biz/im/agora/agoraloginmgr.h"
#include "biz/im/agora/videosdk.h"
#include "mgr/appcontext.h"
#include "mgr/apprestart.h"
#include "mgr/signalqueuemgr.h"
#include "utility/userinfo.h"
#include "widget/classwidget.h"
#include "widget/networkdisconnect.h"
#include "widget/student/prizemodelwidgetstu.h"
#include "widget/student/studentclasswidget.h"
#include "widget/student/widgetreview.h"
#include "widget/widgetclassroom.h"

#include <QPointer>
#include <QSignalSpy>
#include <QTest>

using namespace ClassroomTestSupport;

class TestWidgetClassRoom : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void buildsTheStudentsPages();
    void startKeepsTheClass();
    void signedInStudentStandsAfterTheTeacher();
    void followsTheTeachersMode();
    void leaving_data();
    void leaving();
    void networkBanner_data();
    void networkBanner();

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

void TestWidgetClassRoom::leaving_data()
{
    QTest::addColumn<qint64>("elapsed");
    QTest::addColumn<bool>("commented");
    QTest::addColumn<int>("answer");
    QTest::addColumn<bool>("review");
    QTest::addColumn<bool>("closed");
    QTest::newRow("no") << qint64(1500) << false << int(QMessageBox::No) << false << false;
    QTest::newRow("under 1200 s") << qint64(1199) << false << int(QMessageBox::Yes) << false << true;
    QTest::newRow("after 1200 s") << qint64(1300) << false << int(QMessageBox::Yes) << true << false;
    QTest::newRow("commented") << qint64(1300) << true << int(QMessageBox::Yes) << false << true;
}

void TestWidgetClassRoom::leaving()
{
    QFETCH(qint64, elapsed);
    QFETCH(bool, commented);
    QFETCH(int, answer);
    QFETCH(bool, review);
    QFETCH(bool, closed);
    CourseDialogsRecorder dialogs;
    dialogs.answers << answer;
    QPointer<WidgetClassRoom> room = new WidgetClassRoom;
    ClassInfoEntity info = classInfo(elapsed);
    info.is_commented = commented;
    room->startClass(info);
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
        // The classroom closes when the review does.
        room->reviewWidget()->close();
        QCOMPARE(classroomClosed.count(), 1);
    }
    if (closed || review)
        QTRY_VERIFY(room.isNull());
    else
        delete room;
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

QTEST_MAIN(TestWidgetClassRoom)
#include "tst_widgetclassroom.moc"
