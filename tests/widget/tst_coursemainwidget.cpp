// The student's course window against the stand-in lesson service: the
// week strip and the lessons of a day, reloads and failures, and the whole
// road into a class with its records, event reports and every refusal.

#include "coursewindowtestsupport.h"
#include "messagecatcher.h"
#include "testutil.h"

#include "biz/im/agora/agoraloginmgr.h"
#include "mgr/apprestart.h"
#include "mgr/message/immsginfo.h"
#include "mgr/message/controlmessages.h"
#include "mgr/message/classordergate.h"
#include "mgr/message/sendandreceivemsg.h"
#include "mgr/signalqueuemgr.h"
#include "mgr/studentcurrentuser.h"
#include "mgr/teacherdownloadresourcemgr.h"
#include "utility/appdirs.h"
#include "utility/translatelanguage.h"
#include "utility/widget/promptmessagewidget.h"
#include "widget/student/coursedetailsitem.h"
#include "widget/student/coursemainwidget.h"
#include "widget/student/timetableitem.h"
#include "widget/supervisionclass.h"

#include <QDateTime>
#include <QNetworkReply>
#include <QPushButton>
#include <QSignalSpy>
#include <QTimer>

using namespace CourseTest;
using TestUtil::drainEvents;

class tst_CourseMainWidget : public QObject, public CourseWindowBench
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();

    void showsTheWeekAndTheDaysLessons();
    void reloadIsQuietAndKeepsTheDay();
    void firstStartAsksForTheDeviceTest_data();
    void firstStartAsksForTheDeviceTest();
    void listFailures_data();
    void listFailures();
    void emptyDayShowsNoData();
    void noLessonsLeftFromAnotherDay_data();
    void noLessonsLeftFromAnotherDay();
    void entersAClass();
    void twoQuickClicksMakeOneChain();
    void theOpenClassIsOnlyRaised();
    void switchingClassAsksFirst();
    void configurationFailureStillEnters_data();
    void configurationFailureStillEnters();
    void classInformationRefusals_data();
    void classInformationRefusals();
    void unreadableClassInformationEndsTheEntry();
    void restartReEntersTheClass_data();
    void restartReEntersTheClass();
    void serverRefreshRequests_data();
    void serverRefreshRequests();
    void signedInElsewhereClosesTheClassroom();
    void reEnterRequestEntersAgain();
    void observerStart_data();
    void observerStart();
    void memberCentreOpensOnlyWebAddresses_data();
    void memberCentreOpensOnlyWebAddresses();
    void closeAsksOnlyWhileInClass();

private:
    QPointer<CourseMainWidget> openWindow();
    CourseDetailsItem *lessonRow(CourseMainWidget *window, int row);
    void waitForLessons(CourseMainWidget *window);
    void enter(CourseMainWidget *window, int row = 0);
    QString text(const char *key) { return Translatelanguage::instance()->getText(QLatin1String(key)); }
};

void tst_CourseMainWidget::initTestCase()
{
    startBench();
    StudentLoginDataEntity lily;
    lily.id = QStringLiteral("20001");
    lily.nickname = QStringLiteral("Lily");
    lily.avatar = m_service.fixtureUrl(QStringLiteral("avatar-student.png"));
    Singleton<StudentCurrentUser>::instance()->setUserInfo(lily);
}

void tst_CourseMainWidget::init()
{
    resetBench();
    SupervisionClass::setSupervisionClassFlag(false);
    // The back end's re-entries and restarts are limited per sender: each
    // case starts with a whole allowance.
    ClassOrderGate::instance()->forgetAllowancesForTests();
}

void tst_CourseMainWidget::cleanup()
{
    endBench();
}

QPointer<CourseMainWidget> tst_CourseMainWidget::openWindow()
{
    auto *window = new CourseMainWidget(nullptr);
    window->setAttribute(Qt::WA_DeleteOnClose);
    window->show();
    return window;
}

CourseDetailsItem *tst_CourseMainWidget::lessonRow(CourseMainWidget *window, int row)
{
    auto *list = child<QListWidget>(window, "listWidgetCourseDetails");
    return row < list->count() ? qobject_cast<CourseDetailsItem *>(list->itemWidget(list->item(row))) : nullptr;
}

void tst_CourseMainWidget::waitForLessons(CourseMainWidget *window)
{
    QTRY_VERIFY(lessonRow(window, 0));
    QTRY_COMPARE(window->listLoadingWidget()->getLoadingState(), int(LoadingWidget::StateHidden));
}

void tst_CourseMainWidget::enter(CourseMainWidget *window, int row)
{
    QTest::mouseClick(child<QPushButton>(lessonRow(window, row), "pushButtonJoinClass"), Qt::LeftButton);
}

void tst_CourseMainWidget::showsTheWeekAndTheDaysLessons()
{
    MessageCatcher log;
    QPointer<CourseMainWidget> window = openWindow();
    // Every slot named after a form object has its object.
    QVERIFY(!log.has(QtWarningMsg, QStringLiteral("No matching signal")));
    QCOMPARE(window->windowTitle(), QStringLiteral("Schedule"));
    QCOMPARE(window->minimumSize(), QSize(1024, 690));
    QCOMPARE(window->reloadTimer()->interval(), 120000);
    QVERIFY(window->reloadTimer()->isSingleShot()); // started again after each reload
    QVERIFY(window->reloadTimer()->isActive());
    waitForLessons(window);

    // Five of the seven listed days have lessons; today comes first.
    auto *strip = child<QListWidget>(window, "listWidgetTimetable");
    QCOMPARE(strip->count(), 5);
    QCOMPARE(strip->currentRow(), 0);
    auto *today = qobject_cast<TimetableItem *>(strip->itemWidget(strip->item(0)));
    QVERIFY(child<QLabel>(today, "labelDay")->isVisible());
    QVERIFY(child<QLabel>(today, "labelDay")->text().contains(QDate::currentDate().toString(QStringLiteral("dddd"))));
    QCOMPARE(child<QLabel>(today, "labelDate")->text(), QDate::currentDate().toString(QStringLiteral("yyyy-MM-dd")));
    auto *later = qobject_cast<TimetableItem *>(strip->itemWidget(strip->item(2)));
    QVERIFY(!child<QLabel>(later, "labelDay")->isVisible());
    QCOMPARE(child<QLabel>(later, "labelClassNum")->text(), TimetableItem::tr("Booked %1 classes").arg(1));

    // The day's lessons were asked for with the day of the first row.
    const QJsonArray dayRequests = requestsOf(QStringLiteral("/QXV1/PcStudents/getBookedClass"));
    QCOMPARE(dayRequests.size(), 1);
    QCOMPARE(queryValue(dayRequests.first(), "date"), QString::number(today->getClassInfo().date_time));

    CourseDetailsItem *first = lessonRow(window, 0);
    const QVector<BookedCourseDetail> lessons = window->shownLessons();
    QCOMPARE(lessons.first().id, QString::fromLatin1(LessonService::kClassId));
    QCOMPARE(child<QLabel>(first, "labelClassLevel")->text(), QStringLiteral("Level 1"));
    QCOMPARE(child<QLabel>(first, "labelClassUnit")->text(), QStringLiteral("Unit 3: Colours"));
    QCOMPARE(child<QLabel>(first, "labelTeacherName")->text(), QStringLiteral("Ms. Green"));
    QCOMPARE(child<QLabel>(first, "labelClassTime")->text(),
             QDateTime::fromSecsSinceEpoch(lessons.first().begin_time.toLongLong()).toString(QStringLiteral("hh:mm")));
    // Begun now: the red button.
    QVERIFY(!child<QPushButton>(first, "pushButtonJoinClass")->styleSheet().contains(QStringLiteral("#dcd2d2")));

    // The lesson picture is fetched and shown (it never was with the
    // arguments in the wrong places).
    QTRY_VERIFY(!requestsOf(QStringLiteral("/files/cover.png")).isEmpty());
    QTRY_VERIFY(child<QLabel>(first, "labelClassPic")->styleSheet().contains(QStringLiteral("download/image")));

    // The lesson videos go to the download cache: video, then its sound.
    QVERIFY(log.has(QtInfoMsg, QStringLiteral("resourcedownload:download resources, resourceId:today's_resource")));
    const QVector<DownloadFileInfo> files = DownloadResourceMgr::instance()->currentFiles();
    QCOMPARE(files.size(), 2 * lessons.size());
    QCOMPARE(files.at(0).url, m_service.fixtureUrl(QStringLiteral("lesson-video.mp4")));
    QVERIFY(files.at(1).url.endsWith(QStringLiteral("lesson-video-sound.mp3")));
}

void tst_CourseMainWidget::reloadIsQuietAndKeepsTheDay()
{
    QPointer<CourseMainWidget> window = openWindow();
    waitForLessons(window);
    auto *strip = child<QListWidget>(window, "listWidgetTimetable");
    strip->setCurrentRow(2);
    QTRY_COMPARE(requestsOf(QStringLiteral("/QXV1/PcStudents/getBookedClass")).size(), 2);
    QTRY_COMPARE(window->listLoadingWidget()->getLoadingState(), int(LoadingWidget::StateHidden));

    // The next periodic reloads, at a thousandth of the time. A busy
    // machine may let several go by before the test looks: each asks for
    // the list and then for the chosen day again, quietly.
    {
        ScopedTimeScale fast(0.001);
        window->reloadTimer()->start(Durations::ms(CourseMainWidget::kReloadIntervalMs));
    }
    QTRY_VERIFY(requestsOf(QStringLiteral("/QXV1/PcStudents/getBookedClassList")).size() >= 2);
    QVERIFY(window->listLoadingWidget()->getLoadingState() != LoadingWidget::StateLoading);
    // Back to the real interval, so a reload still under way does not
    // start the next one soon.
    window->reloadTimer()->setInterval(Durations::ms(CourseMainWidget::kReloadIntervalMs));
    window->reloadTimer()->stop();
    QTRY_COMPARE(requestsOf(QStringLiteral("/QXV1/PcStudents/getBookedClass")).size(),
                 requestsOf(QStringLiteral("/QXV1/PcStudents/getBookedClassList")).size() + 1);
    QCOMPARE(strip->currentRow(), 2);
    QVERIFY(window->listLoadingWidget()->getLoadingState() != LoadingWidget::StateLoading);
}

void tst_CourseMainWidget::firstStartAsksForTheDeviceTest_data()
{
    QTest::addColumn<bool>("tested");
    QTest::addColumn<QStringList>("modalWindows");
    QTest::newRow("never tested") << false << QStringList{ QStringLiteral("DeviceDetectingWidget") };
    QTest::newRow("devices saved") << true << QStringList{};
}

void tst_CourseMainWidget::firstStartAsksForTheDeviceTest()
{
    QFETCH(bool, tested);
    QFETCH(QStringList, modalWindows);
    QFile config(getDeviceConfigFilePath());
    if (tested)
        QVERIFY(config.open(QIODevice::WriteOnly));
    else
        config.remove();
    config.close();
    ScopedTimeScale fast(0.01);
    MessageCatcher log;
    QPointer<CourseMainWidget> window = openWindow();
    QTRY_VERIFY(log.contains(tested ? QStringLiteral("startEnumDevices") : QStringLiteral("DeviceDetectingWidget")) || !m_dialogs.modalWindows.isEmpty());
    QCOMPARE(m_dialogs.modalWindows, modalWindows);
    config.remove();
}

void tst_CourseMainWidget::listFailures_data()
{
    QTest::addColumn<QString>("mode");
    QTest::addColumn<int>("code");
    QTest::addColumn<int>("state");
    QTest::addColumn<QStringList>("boxes");

    QTest::newRow("transport") << "status" << 500 << int(LoadingWidget::StateNetworkFailure) << QStringList{};
    QTest::newRow("404 no classes") << "body" << 404 << int(LoadingWidget::StateNoData) << QStringList{};
    QTest::newRow("401 signed out")
        << "body" << 401 << int(LoadingWidget::StateNetworkFailure)
        << QStringList{ QStringLiteral("Velmo|") + CourseMainWidget::tr("Server error, please leave the platform and sign in again!") };
}

void tst_CourseMainWidget::listFailures()
{
    QFETCH(QString, mode);
    QFETCH(int, code);
    QFETCH(int, state);
    QFETCH(QStringList, boxes);

    QJsonObject extra{ { QStringLiteral("times"), 1 }, { QStringLiteral("status"), code } };
    if (mode == QLatin1String("body"))
        extra.insert(QStringLiteral("body"), QStringLiteral(R"({"errorCode":%1,"errorMsg":"no","data":[]})").arg(code));
    QVERIFY(m_service.setFault(QStringLiteral("/QXV1/PcStudents/getBookedClassList"), mode, extra));
    QPointer<CourseMainWidget> window = openWindow();
    QTRY_COMPARE(window->listLoadingWidget()->getLoadingState(), state);
    QCOMPARE(m_dialogs.boxes, boxes);
    // A transport failure carries the negated network error.
    const QString record = QStringLiteral("error,getBookedClassList_failure,{code%1:}")
                               .arg(mode == QLatin1String("status") ? -QNetworkReply::InternalServerError : code);
    QVERIFY2(m_records.records().contains(record), qPrintable(m_records.records().join(QLatin1Char('\n'))));

    // The retry of the failure page loads again (the fault was for one request).
    if (state == LoadingWidget::StateNetworkFailure) {
        QTest::mouseClick(child<QPushButton>(window->listLoadingWidget(), "pushButtonReload"), Qt::LeftButton);
        waitForLessons(window);
    }
}

void tst_CourseMainWidget::emptyDayShowsNoData()
{
    QVERIFY(m_service.setFault(QStringLiteral("/QXV1/PcStudents/getBookedClass"), QStringLiteral("body"),
                               { { QStringLiteral("body"), QStringLiteral(R"({"errorCode":200,"errorMsg":"","data":[]})") } }));
    QPointer<CourseMainWidget> window = openWindow();
    QTRY_COMPARE(window->listLoadingWidget()->getLoadingState(), int(LoadingWidget::StateNoData));
}

void tst_CourseMainWidget::noLessonsLeftFromAnotherDay_data()
{
    QTest::addColumn<QString>("emptied");
    QTest::newRow("chosen day without lessons") << "/QXV1/PcStudents/getBookedClass";
    QTest::newRow("no day listed any more") << "/QXV1/PcStudents/getBookedClassList";
}

void tst_CourseMainWidget::noLessonsLeftFromAnotherDay()
{
    QFETCH(QString, emptied);
    QPointer<CourseMainWidget> window = openWindow();
    waitForLessons(window);
    QVERIFY(!DownloadResourceMgr::instance()->currentFiles().isEmpty());

    QVERIFY(m_service.setFault(emptied, QStringLiteral("body"),
                               { { QStringLiteral("body"), QStringLiteral(R"({"errorCode":200,"errorMsg":"","data":[]})") } }));
    if (emptied.endsWith(QLatin1String("List"))) {
        ScopedTimeScale fast(0.001);
        // One reload: the timer stops after its first tick, so a test that
        // looks late (a loaded machine) still finds exactly one.
        QTimer *reload = window->reloadTimer();
        const QMetaObject::Connection once = connect(reload, &QTimer::timeout, reload, &QTimer::stop);
        reload->start(Durations::ms(CourseMainWidget::kReloadIntervalMs));
        QTRY_COMPARE(requestsOf(emptied).size(), 2);
        disconnect(once);
    } else {
        child<QListWidget>(window, "listWidgetTimetable")->setCurrentRow(2);
    }
    QTRY_COMPARE(window->listLoadingWidget()->getLoadingState(), int(LoadingWidget::StateNoData));
    QVERIFY(!lessonRow(window, 0));
    QVERIFY(window->shownLessons().isEmpty());

    // A class closing now fetches nothing of the day shown before.
    SignalQueueMgr::instance()->signalClassWidgetClosed();
    QVERIFY(DownloadResourceMgr::instance()->currentFiles().isEmpty());
}

void tst_CourseMainWidget::entersAClass()
{
    QPointer<CourseMainWidget> window = openWindow();
    waitForLessons(window);
    const qint64 before = QDateTime::currentMSecsSinceEpoch();
    enter(window);
    QTRY_VERIFY(openClassroom());
    WidgetClassRoom *room = openClassroom();

    // The configuration, then the class information with the client's clock.
    const QJsonArray requests = m_service.requests();
    const QJsonArray config = requestsTo(requests, QStringLiteral("/QXV1/Config/getAll"));
    const QJsonArray info = requestsTo(requests, QStringLiteral("/QXV1/PcClass/classInfo"));
    QCOMPARE(config.size(), 1);
    QCOMPARE(info.size(), 1);
    QCOMPARE(queryValue(info.first(), "cid"), QStringLiteral("10001"));
    const qint64 clientTs = queryValue(info.first(), "client_local_ts").toLongLong();
    QVERIFY(clientTs >= before && clientTs <= QDateTime::currentMSecsSinceEpoch());

    QCOMPARE(room->windowTitle(), text("Classroom"));
    QCOMPARE(room->getClassId(), QStringLiteral("10001"));
    AppContext *context = Singleton<AppContext>::instance();
    QVERIFY(context->isInClass());
    QCOMPARE(context->getClassId(), QStringLiteral("10001"));
    QCOMPARE(context->getClassLength(), 1500);
    QCOMPARE(Singleton<AppRestart>::instance()->getCurClassId(), QStringLiteral("10001"));
    QCOMPARE(context->getAppConfig().materialProxyServer, m_service.baseUrl() + QStringLiteral("/proxy/"));
    // Both clocks are this machine's: the offset is the few milliseconds of
    // the request, not decades.
    QVERIFY(qAbs(ActionLog::instance()->timeOffset()) < 5000);
    QVERIFY(window->isVisible());
    QVERIFY(!window->classLoadingWidget());

    const QStringList records = m_records.records();
    QVERIFY(records.contains(QStringLiteral("click,click_join_class,{classId:10001}")));
    QVERIFY(records.contains(QStringLiteral("normal,get_calssinfo_success,classid=10001")));
    QTRY_VERIFY(events().contains(QStringLiteral("class/join=10001")));
    QTRY_VERIFY(events().contains(QStringLiteral("user/login=1")));

    room->close();
    QTRY_VERIFY(events().contains(QStringLiteral("class/exit=10001")));
    QVERIFY(!context->isInClass());
    QVERIFY(!window->classRoomWindow());
}

void tst_CourseMainWidget::twoQuickClicksMakeOneChain()
{
    QPointer<CourseMainWidget> window = openWindow();
    waitForLessons(window);
    enter(window);
    enter(window);
    QTRY_VERIFY(openClassroom());
    drainEvents();
    QCOMPARE(requestsOf(QStringLiteral("/QXV1/Config/getAll")).size(), 1);
    QCOMPARE(requestsOf(QStringLiteral("/QXV1/PcClass/classInfo")).size(), 1);
    QCOMPARE(m_records.count(QStringLiteral("click,click_join_class,{classId:10001}")), 2);
}

void tst_CourseMainWidget::theOpenClassIsOnlyRaised()
{
    QPointer<CourseMainWidget> window = openWindow();
    waitForLessons(window);
    enter(window);
    QTRY_VERIFY(openClassroom());
    WidgetClassRoom *room = openClassroom();
    enter(window);
    drainEvents();
    QCOMPARE(requestsOf(QStringLiteral("/QXV1/PcClass/classInfo")).size(), 1);
    QCOMPARE(openClassroom(), room);
    QVERIFY(m_dialogs.boxes.isEmpty());
}

void tst_CourseMainWidget::switchingClassAsksFirst()
{
    QPointer<CourseMainWidget> window = openWindow();
    waitForLessons(window);
    enter(window);
    QTRY_VERIFY(openClassroom());
    QPointer<WidgetClassRoom> first = openClassroom();

    // No: the open class stays, and stays the current one.
    m_dialogs.answers = { QMessageBox::No };
    window->joinClass(QStringLiteral("10002"));
    QCOMPARE(m_dialogs.boxes, QStringList{ text("velmo") + QLatin1Char('|') + text("switchclass") });
    QCOMPARE(window->currentClassId(), QStringLiteral("10001"));
    QCOMPARE(requestsOf(QStringLiteral("/QXV1/PcClass/classInfo")).size(), 1);
    QVERIFY(first);

    // Yes: the old classroom closes (reported with its own class), a new one
    // enters the other class.
    m_dialogs.answers = { QMessageBox::Yes };
    window->joinClass(QStringLiteral("10002"));
    QTRY_VERIFY(first.isNull());
    QTRY_VERIFY(openClassroom() && openClassroom()->getClassId() == QLatin1String("10002"));
    // Each report is a request of its own: they may arrive in any order.
    QTRY_VERIFY(events().contains(QStringLiteral("class/join=10002")));
    QTRY_VERIFY(events().contains(QStringLiteral("class/exit=10001")));
    drainEvents();
    const QStringList reported = events();
    QCOMPARE(reported.count(QStringLiteral("class/exit=10001")), 1);
    QCOMPARE(reported.count(QStringLiteral("class/exit=10002")), 0);
}

void tst_CourseMainWidget::configurationFailureStillEnters_data()
{
    QTest::addColumn<QString>("mode");
    QTest::newRow("server error") << "status";
    QTest::newRow("not JSON") << "nonjson";
    QTest::newRow("refused") << "body";
    QTest::newRow("time-out") << "hang";
}

void tst_CourseMainWidget::configurationFailureStillEnters()
{
    QFETCH(QString, mode);
    QPointer<CourseMainWidget> window = openWindow();
    waitForLessons(window);
    QVERIFY(m_service.setFault(QStringLiteral("/QXV1/Config/getAll"), mode,
                               { { QStringLiteral("status"), 500 },
                                 { QStringLiteral("body"), QStringLiteral(R"({"errorCode":500,"errorMsg":"x","data":{}})") } }));
    {
        // The configuration's time-out is read when it is asked for: only
        // it is shortened, the class information keeps its own.
        ScopedTimeScale fast(0.05);
        enter(window);
    }
    QTRY_VERIFY_WITH_TIMEOUT(openClassroom(), 15000);
    drainEvents();
    QCOMPARE(requestsOf(QStringLiteral("/QXV1/PcClass/classInfo")).size(), 1);
    // The configuration stays as it was.
    QCOMPARE(Singleton<AppContext>::instance()->getAppConfig().materialStagnateTimeout, QStringLiteral("15"));
}

void tst_CourseMainWidget::classInformationRefusals_data()
{
    QTest::addColumn<int>("code");
    QTest::addColumn<bool>("toast");
    QTest::newRow("410 the server's message") << 410 << true;
    QTest::newRow("404") << 404 << false;
    QTest::newRow("401") << 401 << false;
    QTest::newRow("500") << 500 << false;
}

void tst_CourseMainWidget::classInformationRefusals()
{
    QFETCH(int, code);
    QFETCH(bool, toast);
    QPointer<CourseMainWidget> window = openWindow();
    waitForLessons(window);
    QVERIFY(m_service.setFault(QStringLiteral("/QXV1/PcClass/classInfo"), QStringLiteral("body"),
                               { { QStringLiteral("times"), 1 },
                                 { QStringLiteral("body"), QStringLiteral(R"({"errorCode":%1,"errorMsg":"The class has ended","data":{}})").arg(code) } }));
    enter(window);
    QTRY_VERIFY(!requestsOf(QStringLiteral("/QXV1/PcClass/classInfo")).isEmpty());
    QTRY_VERIFY(!window->classLoadingWidget());
    if (toast) {
        QTRY_VERIFY(window->findChild<promptMessageWidget *>());
        QCOMPARE(window->findChild<promptMessageWidget *>()->shownText(), QStringLiteral("The class has ended"));
        QVERIFY(m_dialogs.boxes.isEmpty());
    } else {
        QCOMPARE(m_dialogs.boxes, QStringList{ text("velmo") + QLatin1Char('|') + text("startclassfailedchecknetwork")
                                               + QStringLiteral("\n[%1]").arg(code) });
    }
    QVERIFY(m_records.records().contains(
        QStringLiteral("error,get_classinfo_failure,{classid:10001,code:%1,errMsg:The class has ended}").arg(code)));
    QVERIFY(!openClassroom());

    // Nothing is left blocking: the next click enters.
    enter(window);
    QTRY_VERIFY(openClassroom());
}

void tst_CourseMainWidget::unreadableClassInformationEndsTheEntry()
{
    QPointer<CourseMainWidget> window = openWindow();
    waitForLessons(window);
    QVERIFY(m_service.setFault(QStringLiteral("/QXV1/PcClass/classInfo"), QStringLiteral("hang"), { { QStringLiteral("times"), 1 } }));
    enter(window);
    QTRY_VERIFY(!requestsOf(QStringLiteral("/QXV1/PcClass/classInfo")).isEmpty());
    QVERIFY(window->classLoadingWidget());

    window->slot_onSuccess_getClassInfo(QStringLiteral("{\"errorCode\":200,"));
    QVERIFY(!window->classLoadingWidget());
    QCOMPARE(m_dialogs.boxes, QStringList{ text("velmo") + QLatin1Char('|') + text("startclassfailedchecknetwork")
                                           + QStringLiteral("\n[-333]") });
    enter(window);
    QTRY_COMPARE(requestsOf(QStringLiteral("/QXV1/Config/getAll")).size(), 2);
    QVERIFY(m_service.reset());
}

void tst_CourseMainWidget::restartReEntersTheClass_data()
{
    QTest::addColumn<QString>("classId");
    QTest::newRow("stored class") << "10001";
    QTest::newRow("nothing stored") << "";
}

void tst_CourseMainWidget::restartReEntersTheClass()
{
    QFETCH(QString, classId);
    AppRestart *restart = Singleton<AppRestart>::instance();
    restart->setAppRestart(true);
    restart->setCurClassId(classId);
    QPointer<CourseMainWidget> window = openWindow();
    QVERIFY(!restart->isAppRestart());
    if (classId.isEmpty()) {
        waitForLessons(window);
        QVERIFY(requestsOf(QStringLiteral("/QXV1/Config/getAll")).isEmpty());
        QVERIFY(!openClassroom());
    } else {
        QTRY_VERIFY(openClassroom());
        QCOMPARE(openClassroom()->getClassId(), classId);
    }
}

void tst_CourseMainWidget::serverRefreshRequests_data()
{
    QTest::addColumn<QString>("uid");
    QTest::addColumn<int>("type");
    QTest::addColumn<QString>("sender");
    QTest::addColumn<QList<int>>("exitCodes");
    QTest::addColumn<int>("reEnterRequests");
    const QString backEnd = QStringLiteral("90001");
    QTest::newRow("restart for me") << "20001" << 3 << backEnd << QList<int>{ 773 } << 0;
    QTest::newRow("re-enter for me") << "20001" << 2 << backEnd << QList<int>{} << 1;
    QTest::newRow("restart for another") << "20002" << 3 << backEnd << QList<int>{} << 0;
    QTest::newRow("unknown type") << "20001" << 5 << backEnd << QList<int>{} << 0;
    // A classmate is never the back end.
    QTest::newRow("restart from a classmate") << "20001" << 3 << "20002" << QList<int>{} << 0;
    QTest::newRow("re-enter from the teacher") << "20001" << 2 << "30001" << QList<int>{} << 0;
}

void tst_CourseMainWidget::serverRefreshRequests()
{
    QFETCH(QString, uid);
    QFETCH(int, type);
    QFETCH(QString, sender);
    QFETCH(QList<int>, exitCodes);
    QFETCH(int, reEnterRequests);
    QPointer<CourseMainWidget> window = openWindow();
    QSignalSpy reEnter(SignalQueueMgr::instance(), &SignalQueueMgr::signal_logoutMqttToReEnterClassroom);
    ScopedTimeScale fast(0.01);
    RefreshApp message;
    message.uid = uid;
    message.type = type;
    // The class of a classroom: its roster is known to the order gate.
    ClassOrderGate::instance()->setClass(QStringLiteral("10001"), QStringLiteral("30001"),
                                         { QStringLiteral("30001"), QStringLiteral("20001"), QStringLiteral("20002") });
    MessageCatcher log;
    emit SendAndReceiveMsg::instance()->signal_receiveRefreshApp(ImMsgInfo{ QString(), sender }, message);
    ClassOrderGate::instance()->clearClass();
    // Dropped before any timer could start.
    QCOMPARE(log.has(QtWarningMsg, QStringLiteral("a participant is not the back end")), sender != QStringLiteral("90001"));
    // Acted on after the pause; a message not for this user starts no timer.
    QTRY_COMPARE(m_dialogs.exitCodes, exitCodes);
    QTRY_COMPARE(reEnter.count(), reEnterRequests);
    drainEvents();
    QCOMPARE(m_dialogs.exitCodes, exitCodes);
}

void tst_CourseMainWidget::signedInElsewhereClosesTheClassroom()
{
    QPointer<CourseMainWidget> window = openWindow();
    waitForLessons(window);
    enter(window);
    QTRY_VERIFY(openClassroom());
    emit AgoraLoginMgr::instance()->signal_onKicked();
    QVERIFY(!window->classRoomWindow());
    QTRY_VERIFY(!openClassroom());
    QCOMPARE(m_dialogs.boxes, QStringList{ text("velmo") + QLatin1Char('|') + text("loginedonanotherdevice") });
    QVERIFY(window->isVisible());
}

void tst_CourseMainWidget::reEnterRequestEntersAgain()
{
    QPointer<CourseMainWidget> window = openWindow();
    waitForLessons(window);
    enter(window);
    QTRY_VERIFY(openClassroom());
    QPointer<WidgetClassRoom> first = openClassroom();
    {
        // Only the pause before entering again is shortened: the requests
        // of the entry keep their time-outs, which a busy machine needs.
        ScopedTimeScale fast(0.01);
        SignalQueueMgr::instance()->signalReEnterClassroom();
    }
    QTRY_VERIFY(first.isNull());
    QTRY_COMPARE(requestsOf(QStringLiteral("/QXV1/PcClass/classInfo")).size(), 2);
    QTRY_VERIFY(openClassroom());
    QCOMPARE(openClassroom()->getClassId(), QStringLiteral("10001"));
}

void tst_CourseMainWidget::observerStart_data()
{
    QTest::addColumn<QString>("token");
    QTest::addColumn<bool>("allowed");
    QTest::newRow("allowed") << QString::fromLatin1(LessonService::kSupervisionToken) << true;
    QTest::newRow("wrong token") << "guess" << false;
}

void tst_CourseMainWidget::observerStart()
{
    QFETCH(QString, token);
    QFETCH(bool, allowed);
    SupervisionClass::setSupervisionClassFlag(true);
    SupervisionClass::setSupervisionToken(token);
    SupervisionClass::setSupervisionClassId(QStringLiteral("10001"));
    QPointer<CourseMainWidget> window = openWindow();
    QVERIFY(!window->reloadTimer()->isActive());
    QTRY_COMPARE(requestsOf(QStringLiteral("/QXV1/Supervise/hasPermissionSupervise")).size(), 1);
    const QJsonValue check = requestsOf(QStringLiteral("/QXV1/Supervise/hasPermissionSupervise")).first();
    QCOMPARE(queryValue(check, "token"), token);
    QCOMPARE(queryValue(check, "cid"), QStringLiteral("10001"));
    if (allowed) {
        QTRY_VERIFY(openClassroom());
        QTRY_VERIFY(!window->isVisible());
    } else {
        QTRY_VERIFY(window.isNull());
        QCOMPARE(m_dialogs.boxes, QStringList{ CourseMainWidget::tr("Supervision") + QLatin1Char('|')
                                               + CourseMainWidget::tr("Supervision permission check failed, please enter again from the back office!") });
    }
    QVERIFY(requestsOf(QStringLiteral("/QXV1/PcStudents/getBookedClassList")).isEmpty());
    SupervisionClass::setSupervisionClassFlag(false);
}

void tst_CourseMainWidget::memberCentreOpensOnlyWebAddresses_data()
{
    QTest::addColumn<QString>("url");
    QTest::addColumn<bool>("opened");
    QTest::newRow("service page") << QString() << true;
    QTest::newRow("https") << "https://example.invalid/member" << true;
    QTest::newRow("script") << "javascript:alert(1)" << false;
    QTest::newRow("local file") << "file:///etc/passwd" << false;
    QTest::newRow("program") << "calc.exe" << false;
}

void tst_CourseMainWidget::memberCentreOpensOnlyWebAddresses()
{
    QFETCH(QString, url);
    QFETCH(bool, opened);
    if (!url.isEmpty()) {
        QVERIFY(m_service.setFault(QStringLiteral("/QXV1/Public/webUrl"), QStringLiteral("body"),
                                   { { QStringLiteral("body"), QStringLiteral(R"({"errorCode":200,"errorMsg":"","data":{"url":"%1"}})").arg(url) } }));
    }
    QPointer<CourseMainWidget> window = openWindow();
    MessageCatcher log;
    QTest::mouseClick(child<QPushButton>(window, "btnPersonCenter"), Qt::LeftButton);
    QTRY_COMPARE(requestsOf(QStringLiteral("/QXV1/Public/webUrl")).size(), 1);
    QCOMPARE(queryValue(requestsOf(QStringLiteral("/QXV1/Public/webUrl")).first(), "type"), QStringLiteral("1"));
    if (opened) {
        QTRY_COMPARE(m_urls.size(), 1);
        QVERIFY(m_urls.first().startsWith(QStringLiteral("http")));
    } else {
        QTRY_VERIFY(log.contains(QStringLiteral("memberCenter url:%1").arg(url)));
        QVERIFY(m_urls.isEmpty());
    }
}

void tst_CourseMainWidget::closeAsksOnlyWhileInClass()
{
    QPointer<CourseMainWidget> window = openWindow();
    waitForLessons(window);
    enter(window);
    QTRY_VERIFY(openClassroom());
    m_dialogs.answers = { QMessageBox::No };
    QTest::mouseClick(child<QPushButton>(window, "closePushButton"), Qt::LeftButton);
    QCOMPARE(m_dialogs.boxes, QStringList{ text("velmo") + QLatin1Char('|') + text("suretoleaveplatform") });
    QVERIFY(window && window->isVisible());
    QVERIFY(openClassroom());

    m_dialogs.answers = { QMessageBox::Yes };
    QTest::mouseClick(child<QPushButton>(window, "closePushButton"), Qt::LeftButton);
    QTRY_VERIFY(window.isNull());
    QTRY_VERIFY(!openClassroom());

    // Without a running class it closes at once.
    QPointer<CourseMainWidget> second = openWindow();
    m_dialogs.clear();
    QTest::mouseClick(child<QPushButton>(second, "closePushButton"), Qt::LeftButton);
    QTRY_VERIFY(second.isNull());
    QVERIFY(m_dialogs.boxes.isEmpty());
}

QTEST_MAIN(tst_CourseMainWidget)
#include "tst_coursemainwidget.moc"
