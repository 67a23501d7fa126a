// The teacher's course window against the stand-in lesson service: the
// class list of today and tomorrow, the details pane with its student
// cards, Start Class by class state and tool, the class pages, resource
// downloads, failures and the close question.

#include "coursewindowtestsupport.h"
#include "messagecatcher.h"
#include "testutil.h"

#include "mgr/teachercurrentuser.h"
#include "mgr/teacherdownloadresourcemgr.h"
#include "utility/timeutility.h"
#include "utility/translatelanguage.h"
#include "widget/teacher/classlistitem.h"
#include "widget/teacher/classtimeitem.h"
#include "widget/teacher/studentsinfoitem.h"
#include "widget/teacher/teachercoursemainwidget.h"
#include "widget/teacher/teacherloginwidget.h"

#include <QDateTime>
#include <QPushButton>
#include <QTimer>
#include <QVBoxLayout>

using namespace CourseTest;
using TestUtil::drainEvents;

class tst_TeacherCourseMainWidget : public QObject, public CourseWindowBench
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();

    void listsTodayAndTomorrow();
    void detailsAndStudentCards();
    void meetingClassOpensTheMeeting();
    void meetingAddress_data();
    void meetingAddress();
    void finishedClassCannotStart();
    void startClassEnters();
    void laterClassGivesTheStartNotice();
    void finishedClassEnteredGivesTheOverNotice();
    void classPages_data();
    void classPages();
    void unreadDetailsStartNothing();
    void scheduleFailures_data();
    void scheduleFailures();
    void reloadKeepsTheSelectedClass();
    void downloads();
    void closeQuestion_data();
    void closeQuestion();

private:
    QPointer<TeacherCourseMainWidget> openWindow();
    void waitForDetails(TeacherCourseMainWidget *window, const QString &classId);
    int rowOf(TeacherCourseMainWidget *window, const QString &classId);
    ClassListItem *classRow(TeacherCourseMainWidget *window, int row);
    void select(TeacherCourseMainWidget *window, const QString &classId);
    void startClass(TeacherCourseMainWidget *window);
};

void tst_TeacherCourseMainWidget::initTestCase()
{
    startBench();
    TeacherLoginDataEntity green;
    green.id = QStringLiteral("30001");
    green.nickname = QStringLiteral("Ms. Green");
    green.avatar = m_service.fixtureUrl(QStringLiteral("avatar-teacher.png"));
    Singleton<TeacherCurrentUser>::instance()->setUserInfo(green);
}

void tst_TeacherCourseMainWidget::init()
{
    resetBench();
    DownloadResourceMgr::instance()->abort();
}

void tst_TeacherCourseMainWidget::cleanup()
{
    endBench();
}

QPointer<TeacherCourseMainWidget> tst_TeacherCourseMainWidget::openWindow()
{
    auto *window = new TeacherCourseMainWidget(nullptr);
    window->setAttribute(Qt::WA_DeleteOnClose);
    window->show();
    return window;
}

ClassListItem *tst_TeacherCourseMainWidget::classRow(TeacherCourseMainWidget *window, int row)
{
    auto *list = child<QListWidget>(window, "teacherClassList");
    return dynamic_cast<ClassListItem *>(list->itemWidget(list->item(row)));
}

int tst_TeacherCourseMainWidget::rowOf(TeacherCourseMainWidget *window, const QString &classId)
{
    auto *list = child<QListWidget>(window, "teacherClassList");
    for (int i = 0; i < list->count(); ++i) {
        if (ClassListItem *row = classRow(window, i); row && row->getClassId() == classId)
            return i;
    }
    return -1;
}

void tst_TeacherCourseMainWidget::waitForDetails(TeacherCourseMainWidget *window, const QString &classId)
{
    QTRY_COMPARE(window->shownDetails().id, classId);
    QTRY_COMPARE(window->detailsPanel()->getLoadingState(), int(LoadingWidget::StateHidden));
}

void tst_TeacherCourseMainWidget::select(TeacherCourseMainWidget *window, const QString &classId)
{
    QTRY_VERIFY(rowOf(window, classId) >= 0);
    child<QListWidget>(window, "teacherClassList")->setCurrentRow(rowOf(window, classId));
    waitForDetails(window, classId);
}

void tst_TeacherCourseMainWidget::startClass(TeacherCourseMainWidget *window)
{
    QTest::mouseClick(child<QPushButton>(window, "pushButtonJoinClass"), Qt::LeftButton);
}

void tst_TeacherCourseMainWidget::listsTodayAndTomorrow()
{
    MessageCatcher log;
    QPointer<TeacherCourseMainWidget> window = openWindow();
    QVERIFY(!log.has(QtWarningMsg, QStringLiteral("No matching signal")));
    QCOMPARE(window->windowTitle(), QStringLiteral("Schedule"));
    QCOMPARE(window->minimumSize(), QSize(1024, 700));
    QCOMPARE(window->reloadTimerForTests()->interval(), 120000);
    QVERIFY(window->reloadTimerForTests()->isSingleShot()); // started again after each reload
    // The first class that can still be entered is selected, not the
    // finished one before it.
    waitForDetails(window, QStringLiteral("10001"));

    const QJsonArray schedule = requestsOf(QStringLiteral("/QXV1/PcTeacher/getScheduleByDay"));
    QCOMPARE(schedule.size(), 1);
    QCOMPARE(queryValue(schedule.first(), "date"), QString::number(TimeUtility::getZeroTimestamp()));
    QCOMPARE(queryValue(requestsOf(QStringLiteral("/QXV1/PcTeacher/getClassInfo")).first(), "cid"), QStringLiteral("10001"));
    // Both answers, the schedule's and the details', logged whole under one text.
    QCOMPARE(log.count(QtInfoMsg, QStringLiteral("slot_onSuccess_getTeacherCourseList, response:{\"data\":")), 2);

    auto *list = child<QListWidget>(window, "teacherClassList");
    auto *todayRow = dynamic_cast<ClassTimeItem *>(list->itemWidget(list->item(0)));
    QVERIFY(todayRow);
    QCOMPARE(todayRow->timeText(), QDate::currentDate().toString(QStringLiteral("yyyy-MM-dd")));
    QCOMPARE(list->item(0)->flags(), Qt::NoItemFlags);
    int dateRows = 0;
    int classRows = 0;
    for (int i = 0; i < list->count(); ++i) {
        if (dynamic_cast<ClassTimeItem *>(list->itemWidget(list->item(i))))
            ++dateRows;
        else if (classRow(window, i) && !classRow(window, i)->getClassId().isEmpty())
            ++classRows;
    }
    // What the service lists (near midnight a later class of today falls
    // on the day after tomorrow and is not listed).
    const LessonService::ControlReply answer = m_service.control(
        "GET", "/QXV1/PcTeacher/getScheduleByDay?date=" + QByteArray::number(TimeUtility::getZeroTimestamp()));
    int listed = 0;
    int inClassroom = 0;
    for (const QJsonValue &day : QJsonDocument::fromJson(answer.body).object().value(QStringLiteral("data")).toArray()) {
        for (const QJsonValue &lesson : day.toObject().value(QStringLiteral("data")).toArray()) {
            ++listed;
            inClassroom += lesson.toObject().value(QStringLiteral("use_tool")).toInt() == 2 ? 1 : 0;
        }
    }
    QCOMPARE(dateRows, 2);
    QCOMPARE(classRows, listed);
    QVERIFY(listed >= 4);

    ClassListItem *finished = classRow(window, rowOf(window, QStringLiteral("10010")));
    QCOMPARE(finished->badgeText(), QStringLiteral("R"));
    QVERIFY(finished->badgeStyle().contains(QStringLiteral("#d8d8d8")));
    QCOMPARE(finished->styleSheet(), QStringLiteral("color: #999999;"));
    ClassListItem *selected = classRow(window, list->currentRow());
    QCOMPARE(selected->getClassId(), QStringLiteral("10001"));
    QVERIFY(selected->badgeStyle().contains(QStringLiteral("rgba(198, 76, 59, 0.9)")));
    QVERIFY(classRow(window, rowOf(window, QStringLiteral("10004")))->badgeStyle().contains(QStringLiteral("#bec8c8")));
    QCOMPARE(classRow(window, rowOf(window, QStringLiteral("10003")))->badgeText(), QStringLiteral("T"));

    // Every class held in the classroom feeds the all-classes download: its
    // three files and the video's sound.
    QCOMPARE(window->allFiles().size(), 4 * inClassroom);
}

void tst_TeacherCourseMainWidget::detailsAndStudentCards()
{
    QPointer<TeacherCourseMainWidget> window = openWindow();
    waitForDetails(window, QStringLiteral("10001"));
    QCOMPARE(child<QLabel>(window, "classId")->text(), QStringLiteral("10001"));
    QCOMPARE(child<QLabel>(window, "toolName")->text(), QStringLiteral("Velmo Subject English"));
    const QDateTime begin = QDateTime::fromSecsSinceEpoch(window->shownDetails().begin_time);
    QCOMPARE(child<QLabel>(window, "labelClassTime")->text(), begin.toString(QStringLiteral("hh:mm")));
    QCOMPARE(child<QLabel>(window, "labelDate")->text(), QStringLiteral("(%1)").arg(begin.toString(QStringLiteral("yyyy-MM-dd"))));
    QCOMPARE(child<QLabel>(window, "labelCST")->text(),
             begin.toString(QStringLiteral("yyyy-MM-dd hh:mm")) + QStringLiteral("(Beijing Time ")
                 + begin.toUTC().addSecs(8 * 3600).toString(QStringLiteral("yyyy-MM-dd hh:mm")) + QStringLiteral(")"));
    QVERIFY(child<QPushButton>(window, "btnClassDownload")->isVisible());
    QCOMPARE(window->classFiles().size(), 4);
    // The cover opens the teacher's courseware.
    QTest::mouseClick(child<QWidget>(window, "labelClassCover"), Qt::LeftButton);
    QCOMPARE(m_urls, QStringList{ m_service.fixtureUrl(QStringLiteral("courseware.pdf")) });

    // Five students: two rows of two cards and one of one, in answer order.
    select(window, QStringLiteral("10004"));
    auto *cards = child<QWidget>(window, "studentsWidget");
    const QList<StudentsInfoItem *> shown = cards->findChildren<StudentsInfoItem *>();
    QCOMPARE(shown.size(), 5);
    QCOMPARE(child<QVBoxLayout>(window, "studentFormLayout")->count(), 3);
    StudentsInfoItem *lily = shown.first();
    QCOMPARE(child<QLabel>(lily, "labelStudentName")->text(), QStringLiteral("Lily"));
    QCOMPARE(child<QLabel>(lily, "labelUid")->text(), QStringLiteral("20001"));
    QCOMPARE(child<QLabel>(lily, "labelGender")->text(), QStringLiteral("Girl"));
    QCOMPARE(child<QLabel>(shown.at(1), "labelGender")->text(), QStringLiteral("Boy"));
    // The avatar replaces the default picture once fetched.
    QTRY_VERIFY(child<QLabel>(lily, "labelStudentHead")->styleSheet().contains(QStringLiteral("download/image")));
}

void tst_TeacherCourseMainWidget::meetingClassOpensTheMeeting()
{
    QPointer<TeacherCourseMainWidget> window = openWindow();
    waitForDetails(window, QStringLiteral("10001"));
    if (rowOf(window, QString::fromLatin1(LessonService::kMeetingClassId)) < 0)
        QSKIP("the meeting class falls after tomorrow (the service started late in the evening)");
    select(window, QString::fromLatin1(LessonService::kMeetingClassId));
    QCOMPARE(child<QLabel>(window, "toolName")->text(), QStringLiteral("Zoom"));
    QVERIFY(!child<QPushButton>(window, "btnClassDownload")->isVisible());
    startClass(window);
    QCOMPARE(m_urls, QStringList{ QStringLiteral("https://zoom.us/j/8123456789") });
    QVERIFY(requestsOf(QStringLiteral("/QXV1/Config/getAll")).isEmpty());
    QVERIFY(!openClassroom());
}

void tst_TeacherCourseMainWidget::meetingAddress_data()
{
    QTest::addColumn<QString>("id");
    QTest::addColumn<QString>("url");
    QTest::newRow("number") << "8123456789" << "https://zoom.us/j/8123456789";
    QTest::newRow("query and fragment stay in the id") << "1?pwd=x#top" << "https://zoom.us/j/1%3Fpwd%3Dx%23top";
    QTest::newRow("no other path") << "../admin" << "https://zoom.us/j/..%2Fadmin";
    QTest::newRow("none") << "" << "";
}

void tst_TeacherCourseMainWidget::meetingAddress()
{
    QFETCH(QString, id);
    QFETCH(QString, url);
    const QString built = TeacherCourseMainWidget::meetingUrl(id);
    QCOMPARE(built, url);
    if (!built.isEmpty()) {
        const QUrl parsed(built);
        QVERIFY(!parsed.hasQuery());
        QVERIFY(!parsed.hasFragment());
        QCOMPARE(parsed.host(), QStringLiteral("zoom.us"));
    }
}

void tst_TeacherCourseMainWidget::finishedClassCannotStart()
{
    QPointer<TeacherCourseMainWidget> window = openWindow();
    select(window, QString::fromLatin1(LessonService::kFinishedClassId));
    QVERIFY(child<QPushButton>(window, "pushButtonJoinClass")->styleSheet().contains(QStringLiteral("#dcd2d2")));
    startClass(window);
    drainEvents();
    QVERIFY(requestsOf(QStringLiteral("/QXV1/Config/getAll")).isEmpty());
    QVERIFY(!openClassroom());
}

void tst_TeacherCourseMainWidget::startClassEnters()
{
    QPointer<TeacherCourseMainWidget> window = openWindow();
    waitForDetails(window, QStringLiteral("10001"));
    DownloadResourceMgr::instance()->download(QStringLiteral("velmo"), window->allFiles());
    startClass(window);
    QTRY_VERIFY(openClassroom());
    QCOMPARE(openClassroom()->getClassId(), QStringLiteral("10001"));
    QCOMPARE(queryValue(requestsOf(QStringLiteral("/QXV1/PcClass/classInfo")).first(), "cid"), QStringLiteral("10001"));
    // Entering a class stops the resource download; a class under way
    // gives no notice.
    QCOMPARE(DownloadResourceMgr::instance()->currentResourceId(), QString());
    QVERIFY(m_dialogs.boxes.isEmpty());
    QTRY_VERIFY(events().contains(QStringLiteral("class/join=10001")));
    QTRY_VERIFY(events().contains(QStringLiteral("user/login=1")));
}

void tst_TeacherCourseMainWidget::laterClassGivesTheStartNotice()
{
    QPointer<TeacherCourseMainWidget> window = openWindow();
    waitForDetails(window, QStringLiteral("10001"));
    if (rowOf(window, QString::fromLatin1(LessonService::kLaterClassId)) < 0)
        QSKIP("the later class falls after tomorrow (the service started late in the evening)");
    select(window, QString::fromLatin1(LessonService::kLaterClassId));
    startClass(window);
    QTRY_VERIFY(openClassroom());
    QCOMPARE(m_dialogs.boxes.size(), 1);
    QVERIFY2(m_dialogs.boxes.first().startsWith(QStringLiteral("Velmo|This class will start in ")), qPrintable(m_dialogs.boxes.first()));
}

void tst_TeacherCourseMainWidget::finishedClassEnteredGivesTheOverNotice()
{
    // Entered another way than Start Class (a restart, a switch).
    QPointer<TeacherCourseMainWidget> window = openWindow();
    waitForDetails(window, QStringLiteral("10001"));
    window->joinClass(QString::fromLatin1(LessonService::kFinishedClassId));
    QTRY_VERIFY(openClassroom());
    const qint64 begun = QDateTime::currentSecsSinceEpoch() - Singleton<AppContext>::instance()->getClassBeginTime();
    if (begun <= WidgetClassRoom::kClassLengthSecs)
        QSKIP("the finished class began less than a class length ago (the service started just after midnight)");
    QCOMPARE(m_dialogs.boxes, QStringList{ QStringLiteral("Velmo|The class is over.") });
}

void tst_TeacherCourseMainWidget::classPages_data()
{
    QTest::addColumn<QString>("button");
    QTest::addColumn<QString>("type");
    QTest::addColumn<QString>("answer");
    QTest::addColumn<QString>("opened");
    QTest::newRow("memo") << "pushButtonMemo" << "2" << "" << "/Web/Index/memo?class_id=10001";
    QTest::newRow("material") << "pushButtonMeterial" << "3" << "" << "/Web/Index/material?class_id=10001";
    QTest::newRow("script refused") << "pushButtonMemo" << "2" << "javascript:alert(1)" << "";
    QTest::newRow("file refused") << "pushButtonMeterial" << "3" << "file:///tmp/x.exe" << "";
}

void tst_TeacherCourseMainWidget::classPages()
{
    QFETCH(QString, button);
    QFETCH(QString, type);
    QFETCH(QString, answer);
    QFETCH(QString, opened);
    QPointer<TeacherCourseMainWidget> window = openWindow();
    waitForDetails(window, QStringLiteral("10001"));
    if (!answer.isEmpty()) {
        QVERIFY(m_service.setFault(QStringLiteral("/QXV1/Public/webUrl"), QStringLiteral("body"),
                                   { { QStringLiteral("body"), QStringLiteral(R"({"errorCode":200,"errorMsg":"","data":{"url":"%1"}})").arg(answer) } }));
    }
    MessageCatcher log;
    QTest::mouseClick(child<QPushButton>(window, button.toLatin1().constData()), Qt::LeftButton);
    QTRY_COMPARE(requestsOf(QStringLiteral("/QXV1/Public/webUrl")).size(), 1);
    const QJsonValue request = requestsOf(QStringLiteral("/QXV1/Public/webUrl")).first();
    QCOMPARE(queryValue(request, "type"), type);
    QCOMPARE(queryValue(request, "class_id"), QStringLiteral("10001"));
    if (opened.isEmpty()) {
        QTRY_VERIFY(log.contains(QStringLiteral("refused to open the class page address, not an http(s) address: %1").arg(answer)));
        QVERIFY(m_urls.isEmpty());
    } else {
        QTRY_COMPARE(m_urls, QStringList{ m_service.baseUrl() + opened });
    }
}

void tst_TeacherCourseMainWidget::unreadDetailsStartNothing()
{
    QVERIFY(m_service.setFault(QStringLiteral("/QXV1/PcTeacher/getClassInfo"), QStringLiteral("body"),
                               { { QStringLiteral("body"), QStringLiteral(R"({"errorCode":200,"errorMsg":"","data":[]})") } }));
    QPointer<TeacherCourseMainWidget> window = openWindow();
    QTRY_VERIFY(!requestsOf(QStringLiteral("/QXV1/PcTeacher/getClassInfo")).isEmpty());
    QTRY_COMPARE(window->detailsPanel()->getLoadingState(), int(LoadingWidget::StateHidden));
    QCOMPARE(window->currentClassId(), QString());
    startClass(window);
    drainEvents();
    QVERIFY(requestsOf(QStringLiteral("/QXV1/Config/getAll")).isEmpty());
}

void tst_TeacherCourseMainWidget::scheduleFailures_data()
{
    QTest::addColumn<int>("code");
    QTest::addColumn<int>("state");
    QTest::addColumn<QStringList>("boxes");
    QTest::newRow("404 no classes") << 404 << int(LoadingWidget::StateNoData) << QStringList{};
    QTest::newRow("500") << 500 << int(LoadingWidget::StateNetworkFailure) << QStringList{};
    QTest::newRow("401") << 401 << int(LoadingWidget::StateNetworkFailure)
                         << QStringList{ QStringLiteral("velmo|server error, please logout and re-login!") };
}

void tst_TeacherCourseMainWidget::scheduleFailures()
{
    QFETCH(int, code);
    QFETCH(int, state);
    QFETCH(QStringList, boxes);
    QVERIFY(m_service.setFault(QStringLiteral("/QXV1/PcTeacher/getScheduleByDay"), QStringLiteral("body"),
                               { { QStringLiteral("times"), 1 },
                                 { QStringLiteral("body"), QStringLiteral(R"({"errorCode":%1,"errorMsg":"x","data":[]})").arg(code) } }));
    QPointer<TeacherCourseMainWidget> window = openWindow();
    QTRY_COMPARE(window->detailsPanel()->getLoadingState(), state);
    QCOMPARE(m_dialogs.boxes, boxes);
    if (state == LoadingWidget::StateNetworkFailure) {
        QTest::mouseClick(child<QPushButton>(window->detailsPanel(), "pushButtonReload"), Qt::LeftButton);
        waitForDetails(window, QStringLiteral("10001"));
    } else {
        QCOMPARE(child<QLabel>(window->detailsPanel(), "labelLoadingNoData")->text(),
                 Translatelanguage::instance()->getText(QStringLiteral("noclass")));
    }
}

void tst_TeacherCourseMainWidget::reloadKeepsTheSelectedClass()
{
    QPointer<TeacherCourseMainWidget> window = openWindow();
    select(window, QStringLiteral("10004"));
    ScopedTimeScale fast(0.001);
    window->reloadTimerForTests()->start(Durations::ms(TeacherCourseMainWidget::kReloadIntervalMs));
    QTRY_COMPARE(requestsOf(QStringLiteral("/QXV1/PcTeacher/getScheduleByDay")).size(), 2);
    window->reloadTimerForTests()->stop();
    QTRY_COMPARE(queryValue(requestsOf(QStringLiteral("/QXV1/PcTeacher/getClassInfo")).last(), "cid"), QStringLiteral("10004"));
    auto *list = child<QListWidget>(window, "teacherClassList");
    QCOMPARE(classRow(window, list->currentRow())->getClassId(), QStringLiteral("10004"));
    // A periodic reload never shows the animation.
    QVERIFY(window->detailsPanel()->getLoadingState() != LoadingWidget::StateLoading);
}

void tst_TeacherCourseMainWidget::downloads()
{
    QPointer<TeacherCourseMainWidget> window = openWindow();
    waitForDetails(window, QStringLiteral("10001"));
    auto *button = child<QPushButton>(window, "btnClassDownload");
    QTest::mouseClick(button, Qt::LeftButton);
    QCOMPARE(DownloadResourceMgr::instance()->currentResourceId(), QStringLiteral("10001"));
    QCOMPARE(DownloadResourceMgr::instance()->currentFiles().size(), 4);
    QVERIFY(m_records.records().contains(QStringLiteral("click,click_download_class_res,{classid:10001}")));
    // A second press stops it.
    QTest::mouseClick(button, Qt::LeftButton);
    QCOMPARE(DownloadResourceMgr::instance()->currentResourceId(), QString());
    QCOMPARE(button->text(), QStringLiteral("Download"));

    QTest::mouseClick(child<QPushButton>(window, "btnClassDownloadAll"), Qt::LeftButton);
    QCOMPARE(m_dialogs.boxes.size(), 1);
    QVERIFY(m_dialogs.boxes.first().startsWith(QStringLiteral("velmo|Clicking the \"Ok\" button to download all")));
    QCOMPARE(DownloadResourceMgr::instance()->currentResourceId(), QStringLiteral("velmo"));
    QCOMPARE(DownloadResourceMgr::instance()->currentFiles().size(), window->allFiles().size());
    QVERIFY(m_records.records().contains(QStringLiteral("click,click_all_downlaod_res,{}")));
}

void tst_TeacherCourseMainWidget::closeQuestion_data()
{
    QTest::addColumn<int>("answer");
    QTest::addColumn<bool>("closed");
    QTest::addColumn<bool>("loginShown");
    QTest::newRow("Exit") << 0 << true << false;
    QTest::newRow("Log out") << 1 << true << true;
    QTest::newRow("Cancel") << 2 << false << false;
    QTest::newRow("closed without a button") << -1 << false << false;
}

void tst_TeacherCourseMainWidget::closeQuestion()
{
    QFETCH(int, answer);
    QFETCH(bool, closed);
    QFETCH(bool, loginShown);
    QPointer<TeacherCourseMainWidget> window = openWindow();
    m_dialogs.answers = { answer };
    QTest::mouseClick(child<QPushButton>(window, "closePushButton"), Qt::LeftButton);
    QCOMPARE(m_dialogs.boxes, QStringList{ QStringLiteral("velmo|Are you sure you want to close the platform?") });
    if (closed)
        QTRY_VERIFY(window.isNull());
    else
        QVERIFY(window && window->isVisible());
    QCOMPARE(visibleWindows<teacherloginwidget>().size(), loginShown ? 1 : 0);
}

QTEST_MAIN(tst_TeacherCourseMainWidget)
#include "tst_teachercoursemainwidget_teacher.moc"
