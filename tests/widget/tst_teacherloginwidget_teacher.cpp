#include "loginwindowtestsupport.h"
#include "scopedtimescale.h"

#include "biz/im/mqtt/mqttimsdk.h"
#include "mgr/http/baseentity.h"
#include "mgr/studentcurrentuser.h"
#include "mgr/teacherapplication.h"
#include "mgr/teachercurrentuser.h"
#include "utility/hashutility.h"
#include "widget/student/coursemainwidget.h"
#include "widget/teacher/teachercoursemainwidget.h"
#include "widget/teacher/teacherloginwidget.h"

#include <QTest>

#include <limits>

using namespace LoginTest;

namespace {

const QString kLoginPath = QStringLiteral("/QXV1/PcTeacher/login");
const QString kUser = QStringLiteral("teacher@example.com");
const QString kPassword = QStringLiteral("teacher123");

} // namespace

// The teacher login window on the shared form, against the stand-in
// lesson service over HTTP.
class tst_TeacherLoginWidget : public QObject, protected LoginWindowBench<teacherloginwidget>
{
    Q_OBJECT

public:
    tst_TeacherLoginWidget()
        : LoginWindowBench(kLoginPath)
    {
    }

private slots:
    void initTestCase();
    void init();
    void cleanup();

    void englishTexts();
    void inputErrors_data();
    void inputErrors();
    void signsInWithTheExactRequest();
    void refusalsShowTheirText_data();
    void refusalsShowTheirText();
    void failureCodesShowTheirText_data();
    void failureCodesShowTheirText();
    void plusSignArrivesIntact();
    void waitingAnimationUsesEnglishWord();
    void logoutOpensTeacherLogin();
    void forgotPasswordAndFaq();
};

void tst_TeacherLoginWidget::initTestCase()
{
    startBench();
}

void tst_TeacherLoginWidget::init()
{
    resetBench();
}

void tst_TeacherLoginWidget::cleanup()
{
    closeAllWindows();
}

void tst_TeacherLoginWidget::englishTexts()
{
    QPointer<teacherloginwidget> window = openWindow();
    QCOMPARE(window->windowTitle(), QStringLiteral("Login"));
    QCOMPARE(child<QLineEdit>(window, "editMobile")->placeholderText(), QStringLiteral("Email"));
    QCOMPARE(child<QLineEdit>(window, "editPassword")->placeholderText(), QStringLiteral("Password"));
    QCOMPARE(child<QLabel>(window, "labelLogo")->text(), QStringLiteral("LEARN & DISCOVER"));
    QCOMPARE(child<QAbstractButton>(window, "chkRememberPassword")->text(), QStringLiteral("Remember me"));
    QCOMPARE(child<QAbstractButton>(window, "chkAutoLogin")->text(), QStringLiteral("Auto login"));
    QCOMPARE(child<QAbstractButton>(window, "btnLogin")->text(), QStringLiteral("Login"));
    QCOMPARE(child<QAbstractButton>(window, "btnCancelLogin")->text(), QStringLiteral("Cancel"));
    QCOMPARE(child<QAbstractButton>(window, "btnForgot")->text(), QStringLiteral("Forgot?"));
    QCOMPARE(child<QLabel>(window, "labelLoading")->text(), QStringLiteral("loading..."));
    QCOMPARE(window->loadingText(), QStringLiteral("loading"));
    QCOMPARE(child(window, "settingNetLink")->toolTip(), QStringLiteral("Network Settings"));
    QVERIFY(!child(window, "labelErrorMsg")->isVisible());
}

void tst_TeacherLoginWidget::inputErrors_data()
{
    QTest::addColumn<QString>("user");
    QTest::addColumn<QString>("password");
    QTest::addColumn<QString>("text");

    QTest::newRow("password of blanks") << kUser << "   " << "empty password";
    QTest::newRow("no password") << "not-an-email" << "" << "empty password";
}

void tst_TeacherLoginWidget::inputErrors()
{
    QFETCH(QString, user);
    QFETCH(QString, password);
    QFETCH(QString, text);

    QPointer<teacherloginwidget> window = openWindow();
    QVERIFY(!child<QAbstractButton>(window, "btnLogin")->isEnabled());
    typeCredentials(window, user, password);
    pressLogin(window);
    QCOMPARE(errorLine(window), text);
    QVERIFY(!hasPendingReply(window));
    QCOMPARE(window->checkInput(QString(), QStringLiteral("x")), QStringLiteral("empty email"));
    // No format check: anything not empty is sent.
    QCOMPARE(window->checkInput(QStringLiteral("no at sign"), QStringLiteral("x")), QString());
}

void tst_TeacherLoginWidget::signsInWithTheExactRequest()
{
    QPointer<teacherloginwidget> window = openWindow();
    typeCredentials(window, QStringLiteral(" ") + kUser, kPassword + QStringLiteral(" "));
    pressLogin(window);
    QTRY_COMPARE(visibleWindows<TeacherCourseMainWidget>().size(), 1);
    QTRY_VERIFY(window.isNull());
    QVERIFY(visibleWindows<CourseMainWidget>().isEmpty());

    const QJsonArray requests = loginRequests();
    QCOMPARE(requests.size(), 1);
    const QJsonObject form = requests.first().toObject().value("form").toObject();
    QCOMPARE(form.value("username").toString(), kUser);
    QCOMPARE(form.value("password").toString(), QStringLiteral("a426dcf72ba25d046591f81a5495eab7"));
    QCOMPARE(form.value("source").toString(), QStringLiteral("13"));
    QCOMPARE(form.value("version").toString(), QStringLiteral("1.1.5.1"));
    QCOMPARE(form.value("sdk_type").toString(), QStringLiteral("2"));
    QVERIFY(form.contains("os"));
    QCOMPARE(form.size(), 6);

    const TeacherLoginDataEntity teacher = Singleton<TeacherCurrentUser>::instance()->getUserInfo();
    QCOMPARE(teacher.id, QStringLiteral("30001"));
    QCOMPARE(teacher.email, kUser);
    QCOMPARE(PossibleIdUtil::getPossibleId(), QStringLiteral("30001"));
    QCOMPARE(MqttImSdk::instance()->clientId(), QStringLiteral("client_teacher_30001"));
    QCOMPARE(m_records.count(QStringLiteral("normal,user_login_ok,{userid:30001}")), 1);

    // The saved picture comes from the student record, empty for a teacher.
    const QJsonObject saved = savedLogin();
    QCOMPARE(saved.value("username").toString(), kUser);
    QCOMPARE(saved.value("password").toString(), kPassword);
    QCOMPARE(saved.value("avatarUrl").toString(), QString());

    TeacherCourseMainWidget *course = visibleWindows<TeacherCourseMainWidget>().first();
    QCOMPARE(course->windowTitle(), QStringLiteral("Schedule"));
    // The course window asks for today's schedule at once.
    QTRY_VERIFY(!m_service.lastRequest(QStringLiteral("/QXV1/PcTeacher/getScheduleByDay")).isEmpty());
}

void tst_TeacherLoginWidget::refusalsShowTheirText_data()
{
    QTest::addColumn<QString>("user");
    QTest::addColumn<QString>("password");
    QTest::addColumn<QString>("fault");
    QTest::addColumn<int>("code");
    QTest::addColumn<QString>("text");

    QTest::newRow("unknown e-mail") << "nobody@example.com" << "x" << "" << 404 << "user not exist";
    QTest::newRow("wrong password") << kUser << "nope" << "" << 410 << "wrong password";
    QTest::newRow("answer not JSON") << kUser << kPassword << "nonjson" << -333 << "wrong server response";
}

void tst_TeacherLoginWidget::refusalsShowTheirText()
{
    QFETCH(QString, user);
    QFETCH(QString, password);
    QFETCH(QString, fault);
    QFETCH(int, code);
    QFETCH(QString, text);

    if (!fault.isEmpty())
        QVERIFY(m_service.setFault(kLoginPath, fault));
    QPointer<teacherloginwidget> window = openWindow();
    typeCredentials(window, user, password);
    pressLogin(window);
    QTRY_COMPARE(errorLine(window), text);
    QVERIFY(showsForm(window));
    QCOMPARE(m_records.count(QStringLiteral("error,user_login_failure,type:2, code:%1, errMsg:%2").arg(code).arg(text)), 1);
    QVERIFY(visibleWindows<TeacherCourseMainWidget>().isEmpty());
}

void tst_TeacherLoginWidget::failureCodesShowTheirText_data()
{
    QTest::addColumn<int>("code");
    QTest::addColumn<QString>("text");

    QTest::newRow("404") << 404 << "user not exist";
    QTest::newRow("410") << 410 << "wrong password";
    QTest::newRow("500") << 500 << " Get Agora certification failure";
    QTest::newRow("501") << 501 << "Get Agora config failure";
    QTest::newRow("-333") << -333 << "wrong server response";
    QTest::newRow("time-out") << 4 << "login failed!please check your network!code[4]";
    QTest::newRow("refused") << -1 << "login failed!please check your network!code[-1]";
    QTest::newRow("longest code") << std::numeric_limits<int>::min() << "login failed!please check your network!code[-2147483648]";
}

void tst_TeacherLoginWidget::failureCodesShowTheirText()
{
    QFETCH(int, code);
    QFETCH(QString, text);

    QPointer<teacherloginwidget> window = openWindow();
    window->slot_onWebLoginFailure(BaseEntity(code, QStringLiteral("failed")));
    QCOMPARE(errorLine(window), text);
    QVERIFY(errorLineShowsWholeText(window));
    QCOMPARE(m_records.count(QStringLiteral("error,user_login_failure,type:2, code:%1, errMsg:%2").arg(code).arg(text)), 1);
}

void tst_TeacherLoginWidget::plusSignArrivesIntact()
{
    QPointer<teacherloginwidget> window = openWindow();
    typeCredentials(window, QStringLiteral("t+1@example.com"), kPassword);
    pressLogin(window);
    QTRY_COMPARE(errorLine(window), QStringLiteral("user not exist"));
    QCOMPARE(m_service.lastRequest(kLoginPath).value("form").toObject().value("username").toString(),
             QStringLiteral("t+1@example.com"));
}

void tst_TeacherLoginWidget::waitingAnimationUsesEnglishWord()
{
    // 160 ms ticks and a 3 s time-out; the service holds its answer until
    // the first tick was seen (a reset ends the delay).
    ScopedTimeScale fast(0.2);
    QVERIFY(m_service.setFault(kLoginPath, QStringLiteral("delay"), { { "delay_ms", 60000 } }));
    QPointer<teacherloginwidget> window = openWindow();
    LoadingTicks ticks(window);
    typeCredentials(window, kUser, kPassword);
    pressLogin(window);
    QTRY_VERIFY(isWaiting(window));
    QCOMPARE(loadingLine(window), QStringLiteral("loading..."));
    QTRY_VERIFY(!ticks.lines.isEmpty());
    QCOMPARE(ticks.lines.first(), QStringLiteral("loading."));
    QVERIFY(m_service.reset());
    QTRY_COMPARE(visibleWindows<TeacherCourseMainWidget>().size(), 1);
}

void tst_TeacherLoginWidget::logoutOpensTeacherLogin()
{
    saveLogin(QStringLiteral(R"({"username":"%1","password":"%2","shouldRememberPassword":1,"shouldAutoLogin":1,"avatarUrl":""})")
                  .arg(kUser, kPassword));
    QByteArray program("lessonry-teacher");
    char *argv[] = { program.data(), nullptr };
    TeacherApplication application;
    application.showLoginWidget(1, argv);
    QTRY_COMPARE(visibleWindows<TeacherCourseMainWidget>().size(), 1);
    QTRY_VERIFY(visibleWindows<teacherloginwidget>().isEmpty());

    QPointer<TeacherCourseMainWidget> course = visibleWindows<TeacherCourseMainWidget>().first();
    // The close question's second button logs out.
    m_courseDialogs.answers = { 1 };
    QTest::mouseClick(child<QAbstractButton>(course, "closePushButton"), Qt::LeftButton);
    QCOMPARE(m_courseDialogs.boxes, QStringList{ QStringLiteral("velmo|Are you sure you want to close the platform?") });
    QTRY_VERIFY(course.isNull());

    const QList<teacherloginwidget *> logins = visibleWindows<teacherloginwidget>();
    QCOMPARE(logins.size(), 1);
    QCOMPARE(child<QLineEdit>(logins.first(), "editMobile")->text(), kUser);
    QCOMPARE(child<QLineEdit>(logins.first(), "editMobile")->placeholderText(), QStringLiteral("Email"));
    QVERIFY(!hasPendingReply(logins.first()));
    QCOMPARE(loginRequests().size(), 1);
}

void tst_TeacherLoginWidget::forgotPasswordAndFaq()
{
    QPointer<teacherloginwidget> window = openWindow();
    QTest::mouseClick(child<QAbstractButton>(window, "btnForgot"), Qt::LeftButton);
    QCOMPARE(m_notices, QStringList{ QStringLiteral("velmo|Please contact your Group leader(FM/TC) to reset your password.") });
    QVERIFY(m_urls.isEmpty());

    QTest::mouseClick(child<QAbstractButton>(window, "pushButtonHelp"), Qt::LeftButton);
    const QString faq = m_service.baseUrl() + QStringLiteral("/Web/Index/faq");
    QCOMPARE(m_urls, QStringList{ faq });
    QCOMPARE(m_records.count(QStringLiteral("click,click_help,{code:1,url:%1}").arg(faq)), 1);
}

QTEST_MAIN(tst_TeacherLoginWidget)
#include "tst_teacherloginwidget_teacher.moc"
