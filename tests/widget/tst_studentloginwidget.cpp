#include "loginwindowtestsupport.h"

#include "biz/im/mqtt/mqttimsdk.h"
#include "mgr/http/baseentity.h"
#include "mgr/logmgr.h"
#include "mgr/signalqueuemgr.h"
#include "mgr/studentapplication.h"
#include "mgr/studentcurrentuser.h"
#include "platform/systemdescription.h"
#include "utility/appdirs.h"
#include "utility/hashutility.h"
#include "biz/login/logininfo.h"
#include "widget/netlinksetting.h"
#include "widget/student/coursemainwidget.h"
#include "widget/student/studentloginwidget.h"

#include <QDirIterator>
#include <QImage>
#include <QRegularExpression>
#include <QSignalSpy>
#include <QTranslator>
#include <QTest>
#include <QTimer>

using namespace LoginTest;

namespace {

const QString kLoginPath = QStringLiteral("/QXV1/PcStudents/login");
const QString kUser = QStringLiteral("13800000001");
const QString kPassword = QStringLiteral("student123");

QString savedJson(int remember, int autoLogin, const QString &password = kPassword)
{
    return QStringLiteral(R"({"username":"%1","password":"%2","shouldRememberPassword":%3,"shouldAutoLogin":%4,"avatarUrl":""})")
        .arg(kUser, password)
        .arg(remember)
        .arg(autoLogin);
}

} // namespace

// The student login window, driven as a user would (typing, clicking,
// reading the labels) against the stand-in lesson service over HTTP.
class tst_StudentLoginWidget : public QObject, protected LoginWindowBench<studentloginwidget>
{
    Q_OBJECT

public:
    tst_StudentLoginWidget()
        : LoginWindowBench(kLoginPath)
    {
    }

private slots:
    void initTestCase();
    void init();
    void cleanup();

    void formTexts_data();
    void formTexts();
    void loginButtonFollowsUserName_data();
    void loginButtonFollowsUserName();
    void editColoursFollowText();
    void buttonCaptionsAreBold();
    void inputErrorsSendNothing_data();
    void inputErrorsSendNothing();
    void signsInWithTheExactRequest();
    void autoLoginChoiceIsSaved();
    void refusalsShowTheirText_data();
    void refusalsShowTheirText();
    void failureCodesShowTheirText_data();
    void failureCodesShowTheirText();
    void unreadableAnswerCountsAsMinus333();
    void cancelWhileWaiting();
    void waitingAnimationRecordsNoTimeout();
    void hangingServerTimesOutOnce();
    void savedLoginAtStart_data();
    void savedLoginAtStart();
    void savedPictureIsShown_data();
    void savedPictureIsShown();
    void startArguments_data();
    void startArguments();
    void logoutOpensLoginThatStaysPut();
    void secondPressBeforeStartOpensOneCourseWindow();
    void helpAndForgotPassword();
    void networkLineDialogRunsModally();
    void closeButtons_data();
    void closeButtons();
    void typedNameKeepsLogsInLogFolder();
    void unreachableServer();
};

void tst_StudentLoginWidget::initTestCase()
{
    startBench();
}

void tst_StudentLoginWidget::init()
{
    resetBench();
    Singleton<StudentCurrentUser>::instance()->setUserInfo(StudentLoginDataEntity());
}

void tst_StudentLoginWidget::cleanup()
{
    closeAllWindows();
}

void tst_StudentLoginWidget::formTexts_data()
{
    QTest::addColumn<QString>("object");
    QTest::addColumn<QString>("property");
    QTest::addColumn<QString>("english");
    QTest::addColumn<QString>("chinese");

    QTest::newRow("title") << "" << "windowTitle" << "Login" << "登录";
    QTest::newRow("auto login") << "chkAutoLogin" << "text" << "Auto login" << "自动登录";
    QTest::newRow("remember") << "chkRememberPassword" << "text" << "Remember me" << "记住密码";
    QTest::newRow("sign in") << "btnLogin" << "text" << "Sign in" << "登录";
    QTest::newRow("phone") << "editMobile" << "placeholderText" << "Phone number" << "手机号";
    QTest::newRow("password") << "editPassword" << "placeholderText" << "Password" << "密码";
    QTest::newRow("logo") << "labelLogo" << "text" << "Velmo Subject English" << "Velmo Subject English";
    QTest::newRow("forgot") << "btnForgot" << "text" << "忘记密码?" << "忘记密码?";
    QTest::newRow("network") << "settingNetLink" << "toolTip" << "Network Settings" << "网络设置";
    QTest::newRow("help") << "pushButtonHelp" << "toolTip" << "Help" << "帮助中心";
    QTest::newRow("cancel") << "btnCancelLogin" << "text" << "Cancel" << "取消";
    QTest::newRow("loading") << "labelLoading" << "text" << "Desperately loading..." << "拼命加载中...";
}

void tst_StudentLoginWidget::formTexts()
{
    QFETCH(QString, object);
    QFETCH(QString, property);
    QFETCH(QString, english);
    QFETCH(QString, chinese);

    const auto textOf = [&](QWidget *window) {
        QObject *target = object.isEmpty() ? window : window->findChild<QObject *>(object);
        return target ? target->property(property.toLatin1().constData()).toString() : QStringLiteral("<missing>");
    };
    QPointer<studentloginwidget> window = openWindow();
    QCOMPARE(textOf(window), english);

    // The shipped catalogue gives the Chinese form of each text.
    QTranslator catalogue;
    QVERIFY(catalogue.load(QStringLiteral(":/languages/change_language_CN.qm")));
    QCoreApplication::installTranslator(&catalogue);
    QPointer<studentloginwidget> translated = openWindow();
    const QString text = textOf(translated);
    QCoreApplication::removeTranslator(&catalogue);
    QCOMPARE(text, chinese);
}

void tst_StudentLoginWidget::loginButtonFollowsUserName_data()
{
    QTest::addColumn<QString>("user");
    QTest::addColumn<QString>("password");
    QTest::addColumn<bool>("enabled");

    QTest::newRow("nothing typed") << "" << "secret" << false;
    QTest::newRow("blanks only") << "   " << "secret" << false;
    QTest::newRow("user without password") << kUser << "" << true;
    QTest::newRow("user with blanks") << " 1 " << "" << true;
}

void tst_StudentLoginWidget::loginButtonFollowsUserName()
{
    QFETCH(QString, user);
    QFETCH(QString, password);
    QFETCH(bool, enabled);

    QPointer<studentloginwidget> window = openWindow();
    QAbstractButton *button = child<QAbstractButton>(window, "btnLogin");
    QVERIFY(!button->isEnabled());
    QVERIFY(button->styleSheet().contains(QStringLiteral("background-color:#DCD2D2;")));

    typeCredentials(window, user, password);
    QCOMPARE(button->isEnabled(), enabled);
    QVERIFY(button->styleSheet().contains(enabled ? QStringLiteral("background-color:#f06450;")
                                                  : QStringLiteral("background-color:#DCD2D2;")));
    // Only one background in the section: the state replaces it.
    QCOMPARE(button->styleSheet().count(QStringLiteral("QPushButton\n{")), 1);

    if (!enabled) {
        QTest::keyClick(child(window, "editPassword"), Qt::Key_Return);
        QTest::keyClick(child(window, "editMobile"), Qt::Key_Return);
        QVERIFY(!hasPendingReply(window));
        QVERIFY(errorLine(window).isEmpty());
    }
}

void tst_StudentLoginWidget::editColoursFollowText()
{
    QPointer<studentloginwidget> window = openWindow();
    QLineEdit *mobile = child<QLineEdit>(window, "editMobile");
    QLineEdit *secret = child<QLineEdit>(window, "editPassword");

    QTest::keyClicks(mobile, QStringLiteral("1"));
    QVERIFY(mobile->styleSheet().contains(QStringLiteral("color:#2f3244;")));
    mobile->clear();
    QVERIFY(mobile->styleSheet().contains(QStringLiteral("color:#000000;")));
    QVERIFY(!mobile->styleSheet().contains(QStringLiteral("color:#2f3244;")));

    QTest::keyClicks(secret, QStringLiteral("x"));
    QVERIFY(secret->styleSheet().contains(QStringLiteral("color:#2f3244;")));
    QVERIFY(secret->styleSheet().contains(QStringLiteral("font-size:8px;")));
    secret->clear();
    QVERIFY(secret->styleSheet().contains(QStringLiteral("font-size:12px;")));
    QVERIFY(secret->styleSheet().startsWith(QStringLiteral("QLineEdit#editPassword\n{")));
}

void tst_StudentLoginWidget::buttonCaptionsAreBold()
{
    // A style weight of 75 reads as a hairline (CSS weights run to 900),
    // which left the white captions barely visible on the red buttons.
    QPointer<studentloginwidget> window = openWindow();
    for (const char *name : { "btnLogin", "btnCancelLogin" }) {
        QWidget *button = child(window, name);
        button->ensurePolished();
        QVERIFY2(button->font().weight() >= QFont::Bold, name);
    }
}

void tst_StudentLoginWidget::inputErrorsSendNothing_data()
{
    QTest::addColumn<QString>("password");
    QTest::newRow("empty password") << "";
    QTest::newRow("password of blanks") << "    ";
}

void tst_StudentLoginWidget::inputErrorsSendNothing()
{
    QFETCH(QString, password);
    QPointer<studentloginwidget> window = openWindow();
    typeCredentials(window, kUser, password);
    pressLogin(window);

    QCOMPARE(errorLine(window), QStringLiteral("密码为空"));
    QVERIFY(showsForm(window));
    QVERIFY(!hasPendingReply(window));
    QCOMPARE(m_records.count(QStringLiteral("normal,user_login,{username:%1}").arg(kUser)), 0);
    QCOMPARE(window->checkInput(QString(), QStringLiteral("x")), QStringLiteral("手机号码为空"));
    QCOMPARE(window->checkInput(QStringLiteral("abc"), QStringLiteral("x")), QString());
}

void tst_StudentLoginWidget::signsInWithTheExactRequest()
{
    // A short delay, so the waiting page can be seen.
    QVERIFY(m_service.setFault(kLoginPath, QStringLiteral("delay"), { { "delay_ms", 600 } }));
    QSignalSpy loginOk(SignalQueueMgr::instance(), &SignalQueueMgr::signal_on_login_ok);

    QPointer<studentloginwidget> window = openWindow();
    typeCredentials(window, QStringLiteral("  ") + kUser + QStringLiteral(" "), QStringLiteral(" ") + kPassword + QStringLiteral("  "));
    pressLogin(window);
    QCOMPARE(PossibleIdUtil::getPossibleId(), kUser);
    QTRY_VERIFY(isWaiting(window));
    QCOMPARE(loadingLine(window), QStringLiteral("Desperately loading..."));

    QTRY_COMPARE(visibleWindows<CourseMainWidget>().size(), 1);
    QTRY_VERIFY(window.isNull());

    const QJsonArray requests = loginRequests();
    QCOMPARE(requests.size(), 1);
    const QJsonObject request = requests.first().toObject();
    QCOMPARE(request.value("method").toString(), QStringLiteral("POST"));
    const QJsonObject form = request.value("form").toObject();
    QCOMPARE(form.value("username").toString(), kUser);
    QCOMPARE(form.value("password").toString(), HashUtility::stringToMd5(kPassword));
    QCOMPARE(form.value("password").toString(), QStringLiteral("ad6a280417a0f533d8b670c61667e1a0"));
    QCOMPARE(form.value("source").toString(), QStringLiteral("12"));
    QCOMPARE(form.value("version").toString(), QStringLiteral("1.1.5.1"));
    QCOMPARE(form.value("sdk_type").toString(), QStringLiteral("2"));
    QCOMPARE(form.value("os").toString(), getSystemDescription());
    QCOMPARE(request.value("form_order").toArray(),
             QJsonArray({ "os", "password", "sdk_type", "source", "username", "version" }));

    QCOMPARE(loginOk.count(), 1);
    const StudentLoginDataEntity user = Singleton<StudentCurrentUser>::instance()->getUserInfo();
    QCOMPARE(user.id, QStringLiteral("20001"));
    QCOMPARE(user.mobile, kUser);
    QCOMPARE(PossibleIdUtil::getPossibleId(), QStringLiteral("20001"));
    QCOMPARE(MqttImSdk::instance()->clientId(), QStringLiteral("client_student_20001"));

    const QJsonObject saved = savedLogin();
    QCOMPARE(saved.size(), 5);
    QCOMPARE(saved.value("username").toString(), kUser);
    QCOMPARE(saved.value("password").toString(), kPassword);
    QCOMPARE(saved.value("shouldRememberPassword").toInt(), 1);
    QCOMPARE(saved.value("shouldAutoLogin").toInt(), 0);
    QCOMPARE(saved.value("avatarUrl").toString(), user.avatar);
    QVERIFY(user.avatar.startsWith(QStringLiteral("http://127.0.0.1:")));

    const QStringList records = m_records.records();
    QCOMPARE(records.count(QStringLiteral("normal,user_login,{username:%1}").arg(kUser)), 1);
    QCOMPARE(records.count(QStringLiteral("normal,login_start,{slot_onWebLoginStart}")), 1);
    QCOMPARE(records.count(QStringLiteral("normal,user_login_ok,{userid:20001}")), 1);
    for (const QString &record : records)
        QVERIFY2(!record.contains(QStringLiteral("user_login_failure")), qPrintable(record));

    CourseMainWidget *course = visibleWindows<CourseMainWidget>().first();
    QCOMPARE(course->windowTitle(), QStringLiteral("Schedule"));
    QCOMPARE(child<QLabel>(course, "labelUserName")->text(), QStringLiteral("Lily"));
    QVERIFY(course->testAttribute(Qt::WA_DeleteOnClose));
}

void tst_StudentLoginWidget::autoLoginChoiceIsSaved()
{
    QPointer<studentloginwidget> window = openWindow();
    QCheckBox *remember = child<QCheckBox>(window, "chkRememberPassword");
    QCheckBox *autoLogin = child<QCheckBox>(window, "chkAutoLogin");

    // "Remember me" is fixed: clicking it changes nothing.
    QTest::mouseClick(remember, Qt::LeftButton);
    QVERIFY(!remember->isCheckable());
    QVERIFY(!remember->isChecked());

    QTest::mouseClick(autoLogin, Qt::LeftButton, {}, QPoint(10, 11));
    QVERIFY(autoLogin->isChecked());
    typeCredentials(window, kUser, kPassword);
    pressLogin(window);
    QTRY_COMPARE(visibleWindows<CourseMainWidget>().size(), 1);

    const QJsonObject saved = savedLogin();
    QCOMPARE(saved.value("shouldAutoLogin").toInt(), 1);
    QCOMPARE(saved.value("shouldRememberPassword").toInt(), 1);
    QVERIFY(savedLoginText().contains(QStringLiteral("\"shouldAutoLogin\":1")));
}

void tst_StudentLoginWidget::refusalsShowTheirText_data()
{
    QTest::addColumn<QString>("user");
    QTest::addColumn<QString>("password");
    QTest::addColumn<QString>("fault");
    QTest::addColumn<int>("status");
    QTest::addColumn<int>("code");
    QTest::addColumn<QString>("text");

    QTest::newRow("unknown phone number") << "13899999999" << "x" << "" << 0 << 404 << "手机号不存在，请检查手机号";
    QTest::newRow("wrong password") << kUser << "nope" << "" << 0 << 410 << "密码错误";
    QTest::newRow("answer not JSON") << kUser << kPassword << "nonjson" << 0 << -333 << "服务器返回值错误";
    QTest::newRow("HTTP 500") << kUser << kPassword << "status" << 500 << -401 << "登陆失败，请检查网络！错误码[-401]";
    QTest::newRow("HTTP 404") << kUser << kPassword << "status" << 404 << -203 << "登陆失败，请检查网络！错误码[-203]";
}

void tst_StudentLoginWidget::refusalsShowTheirText()
{
    QFETCH(QString, user);
    QFETCH(QString, password);
    QFETCH(QString, fault);
    QFETCH(int, status);
    QFETCH(int, code);
    QFETCH(QString, text);

    if (fault == QLatin1String("status"))
        QVERIFY(m_service.setFault(kLoginPath, fault, { { "status", status } }));
    else if (!fault.isEmpty())
        QVERIFY(m_service.setFault(kLoginPath, fault));

    QPointer<studentloginwidget> window = openWindow();
    typeCredentials(window, user, password);
    pressLogin(window);
    QTRY_COMPARE(errorLine(window), text);
    QVERIFY(showsForm(window));
    QVERIFY(child<QAbstractButton>(window, "btnLogin")->isEnabled());
    QVERIFY(visibleWindows<CourseMainWidget>().isEmpty());
    QCOMPARE(loginRequests().size(), 1);
    QCOMPARE(m_records.count(QStringLiteral("error,user_login_failure,type:2, code:%1, errMsg:%2").arg(code).arg(text)), 1);
    QCOMPARE(savedLoginText(), QString());
}

void tst_StudentLoginWidget::failureCodesShowTheirText_data()
{
    QTest::addColumn<int>("code");
    QTest::addColumn<QString>("text");

    QTest::newRow("404") << 404 << "手机号不存在，请检查手机号";
    QTest::newRow("410") << 410 << "密码错误";
    QTest::newRow("500") << 500 << "认证失败";
    QTest::newRow("501") << 501 << "配置失败";
    QTest::newRow("-333") << -333 << "服务器返回值错误";
    QTest::newRow("time-out") << 4 << "登陆失败，请检查网络！连接超时.错误码[4]";
    QTest::newRow("refused by code 1") << 1 << "登陆失败，请检查网络！连接被拒绝.错误码[1]";
    QTest::newRow("named code") << 203 << "登陆失败，请检查网络！ContentNotFoundError.错误码[203]";
    QTest::newRow("host not found") << -3 << "登陆失败，请检查网络！错误码[-3]";
    QTest::newRow("other server code") << 403 << "登陆失败，请检查网络！ServiceUnavailableError.错误码[403]";
    QTest::newRow("zero") << 0 << "登陆失败，请检查网络！错误码[0]";
    // Longer than the form's error line.
    QTest::newRow("long network name") << 202 << "登陆失败，请检查网络！ContentOperationNotPermittedError.错误码[202]";
    QTest::newRow("server error name") << 401 << "登陆失败，请检查网络！InternalServerError.错误码[401]";
}

void tst_StudentLoginWidget::failureCodesShowTheirText()
{
    QFETCH(int, code);
    QFETCH(QString, text);

    QPointer<studentloginwidget> window = openWindow();
    QCOMPARE(window->showLoginError(code), text);
    QCOMPARE(errorLine(window), text);
    QVERIFY(errorLineShowsWholeText(window));

    window->setErrorText(QString());
    QVERIFY(errorLine(window).isEmpty());
    window->slot_onWebLoginFailure(BaseEntity(code, QStringLiteral("server words")));
    QCOMPARE(errorLine(window), text);
    QVERIFY(errorLineShowsWholeText(window));
    // A short text afterwards takes the form's place again.
    window->setErrorText(QStringLiteral("密码为空"));
    QVERIFY(errorLineShowsWholeText(window));
    QCOMPARE(m_records.count(QStringLiteral("error,user_login_failure,type:2, code:%1, errMsg:%2").arg(code).arg(text)), 1);
}

void tst_StudentLoginWidget::unreadableAnswerCountsAsMinus333()
{
    QPointer<studentloginwidget> window = openWindow();
    window->slot_onWebLoginSuccess(QStringLiteral("<html>not json</html>"));
    QCOMPARE(errorLine(window), QStringLiteral("服务器返回值错误"));
    QCOMPARE(m_records.count(QStringLiteral("error,user_login_failure,type:2, code:-333, errMsg:服务器返回值错误")), 1);
    QVERIFY(showsForm(window));
    QVERIFY(!window.isNull());
    QCoreApplication::processEvents();
    QVERIFY(visibleWindows<CourseMainWidget>().isEmpty());

    // An empty but valid record is taken over as it is.
    window->slot_onWebLoginSuccess(QStringLiteral(R"({"errorCode":200,"errorMsg":"","data":{}})"));
    QCOMPARE(visibleWindows<CourseMainWidget>().size(), 1);
    QCOMPARE(PossibleIdUtil::getPossibleId(), QString());
    QCOMPARE(Singleton<StudentCurrentUser>::instance()->getUserInfo().sdk_type, 0);
}

void tst_StudentLoginWidget::cancelWhileWaiting()
{
    QVERIFY(m_service.setFault(kLoginPath, QStringLiteral("delay"), { { "delay_ms", 4000 }, { "times", 1 } }));
    QPointer<studentloginwidget> window = openWindow();
    typeCredentials(window, kUser, kPassword);
    pressLogin(window);
    QTRY_VERIFY(isWaiting(window));

    QTest::mouseClick(child<QAbstractButton>(window, "btnCancelLogin"), Qt::LeftButton);
    QCOMPARE(m_records.count(QStringLiteral("click,login_cancel,{on_btnCancelLogin_clicked}")), 1);
    QCOMPARE(m_records.count(QStringLiteral("error,user_login_failure,type:1, code:-999, errMsg:user cancel login.")), 1);
    QTRY_VERIFY(showsForm(window));
    QVERIFY(errorLine(window).isEmpty());
    QVERIFY(visibleWindows<CourseMainWidget>().isEmpty());

    // The form is usable again at once.
    pressLogin(window);
    QTRY_COMPARE(visibleWindows<CourseMainWidget>().size(), 1);
    QCOMPARE(m_records.count(QStringLiteral("normal,user_login,{username:%1}").arg(kUser)), 2);
}

void tst_StudentLoginWidget::waitingAnimationRecordsNoTimeout()
{
    // Four 800 ms ticks take 3.2 s; the answer comes well after them.
    QVERIFY(m_service.setFault(kLoginPath, QStringLiteral("delay"), { { "delay_ms", 5000 } }));
    QPointer<studentloginwidget> window = openWindow();
    typeCredentials(window, kUser, kPassword);
    pressLogin(window);
    QTRY_VERIFY(isWaiting(window));

    QTRY_COMPARE_WITH_TIMEOUT(loadingLine(window), QStringLiteral("拼命加载中."), 2000);
    QTRY_COMPARE_WITH_TIMEOUT(loadingLine(window), QStringLiteral("拼命加载中.."), 2000);
    QTRY_COMPARE_WITH_TIMEOUT(loadingLine(window), QStringLiteral("拼命加载中..."), 2000);
    QTRY_COMPARE_WITH_TIMEOUT(loadingLine(window), QStringLiteral("拼命加载中."), 2000);
    QTRY_COMPARE_WITH_TIMEOUT(visibleWindows<CourseMainWidget>().size(), 1, 10000);

    // A login that only took a while is no failure.
    for (const QString &record : m_records.records())
        QVERIFY2(!record.contains(QStringLiteral("login timeout")), qPrintable(record));
}

void tst_StudentLoginWidget::hangingServerTimesOutOnce()
{
    QVERIFY(m_service.setFault(kLoginPath, QStringLiteral("hang")));
    QPointer<studentloginwidget> window = openWindow();
    typeCredentials(window, kUser, kPassword);
    pressLogin(window);
    QTRY_VERIFY(isWaiting(window));

    // The HTTP layer gives up after 15000 ms.
    QTRY_VERIFY_WITH_TIMEOUT(showsForm(window), 25000);
    const QString text = QStringLiteral("登陆失败，请检查网络！连接超时.错误码[4]");
    QCOMPARE(errorLine(window), text);
    QCOMPARE(m_records.count(QStringLiteral("error,user_login_failure,type:2, code:-999, errMsg:login timeout")), 1);
    QCOMPARE(m_records.count(QStringLiteral("error,user_login_failure,type:2, code:4, errMsg:%1").arg(text)), 1);

    // The form is usable again.
    m_service.reset();
    QVERIFY(child<QAbstractButton>(window, "btnLogin")->isEnabled());
    pressLogin(window);
    QTRY_COMPARE(visibleWindows<CourseMainWidget>().size(), 1);
}

void tst_StudentLoginWidget::savedLoginAtStart_data()
{
    QTest::addColumn<QString>("saved");
    QTest::addColumn<bool>("allowAutoLogin");
    QTest::addColumn<bool>("restart");
    QTest::addColumn<bool>("logsIn");
    QTest::addColumn<QString>("user");
    QTest::addColumn<QString>("password");
    QTest::addColumn<bool>("autoBox");

    QTest::newRow("saved auto-login") << savedJson(1, 1) << true << false << true << kUser << kPassword << true;
    QTest::newRow("auto-login not allowed") << savedJson(1, 1) << false << false << false << kUser << kPassword << true;
    QTest::newRow("no auto-login chosen") << savedJson(1, 0) << true << false << false << kUser << kPassword << false;
    QTest::newRow("restart into a class") << savedJson(1, 0) << false << true << true << kUser << kPassword << false;
    QTest::newRow("restart without saved login") << QString() << true << true << false << QString() << QString() << false;
    QTest::newRow("saved text not JSON") << QStringLiteral("{oops") << true << false << false << QString() << QString() << false;
    QTest::newRow("password not remembered") << savedJson(0, 0) << true << false << false << kUser << QString() << false;
    QTest::newRow("auto-login with empty password")
        << savedJson(1, 1, QString()) << true << false << false << kUser << QString() << true;
}

void tst_StudentLoginWidget::savedLoginAtStart()
{
    QFETCH(QString, saved);
    QFETCH(bool, allowAutoLogin);
    QFETCH(bool, restart);
    QFETCH(bool, logsIn);
    QFETCH(QString, user);
    QFETCH(QString, password);
    QFETCH(bool, autoBox);

    if (!saved.isEmpty())
        saveLogin(saved);
    Singleton<AppRestart>::instance()->setAppRestart(restart);

    QPointer<studentloginwidget> window = openWindow(allowAutoLogin);
    QCOMPARE(child<QLineEdit>(window, "editMobile")->text(), user);
    QCOMPARE(child<QLineEdit>(window, "editPassword")->text(), password);
    QCOMPARE(child<QCheckBox>(window, "chkAutoLogin")->isChecked(), autoBox);

    if (logsIn) {
        QTRY_COMPARE(visibleWindows<CourseMainWidget>().size(), 1);
        QCOMPARE(loginRequests().size(), 1);
    } else {
        QVERIFY(!hasPendingReply(window));
        QVERIFY(showsForm(window));
        QCOMPARE(m_records.count(QStringLiteral("normal,user_login,{username:%1}").arg(kUser)), 0);
    }
}

void tst_StudentLoginWidget::savedPictureIsShown_data()
{
    QTest::addColumn<QString>("source");
    QTest::newRow("from the server") << "remote";
    QTest::newRow("local file") << "local";
    QTest::newRow("none saved") << "";
}

void tst_StudentLoginWidget::savedPictureIsShown()
{
    QFETCH(QString, source);
    QString url;
    if (source == QLatin1String("remote")) {
        url = m_service.fixtureUrl(QStringLiteral("avatar-student.png"));
    } else if (source == QLatin1String("local")) {
        url = m_folder.filePath(QStringLiteral("saved avatar.png"));
        QImage picture(90, 120, QImage::Format_RGB32);
        picture.fill(Qt::darkCyan);
        QVERIFY(picture.save(url));
    }
    LoginInfo info;
    info.username = kUser;
    info.password = kPassword;
    info.shouldRememberPassword = 1;
    info.avatarUrl = url;
    saveLogin(info.toJsonText());

    QPointer<studentloginwidget> window = openWindow();
    QLabel *avatar = child<QLabel>(window, "labelAvatar");
    QLabel *waitingAvatar = child<QLabel>(window, "labelAvatarLoading");
    // The picture is cut to the 60 x 60 label and set in each label's own section.
    const QRegularExpression picture(QStringLiteral("background-image:\\s*url\\((.+\\.60_60)\\);"));
    if (source.isEmpty()) {
        QVERIFY(avatar->styleSheet().contains(QStringLiteral(":/image/login/default_avatar.png")));
        QVERIFY(!picture.match(avatar->styleSheet()).hasMatch());
        QVERIFY(!picture.match(waitingAvatar->styleSheet()).hasMatch());
        return;
    }
    QTRY_VERIFY(picture.match(avatar->styleSheet()).hasMatch());
    QTRY_VERIFY(picture.match(waitingAvatar->styleSheet()).hasMatch());
    QVERIFY(avatar->styleSheet().startsWith(QStringLiteral("QLabel#labelAvatar")));
    QVERIFY(waitingAvatar->styleSheet().startsWith(QStringLiteral("QLabel")));
    QVERIFY(QFileInfo::exists(picture.match(avatar->styleSheet()).captured(1)));
}

void tst_StudentLoginWidget::startArguments_data()
{
    QTest::addColumn<QString>("argument");
    QTest::addColumn<int>("savedAutoLogin");
    QTest::addColumn<bool>("logsIn");

    QTest::newRow("no argument, saved auto-login") << QString() << 1 << true;
    QTest::newRow("observer start") << QStringLiteral("velmo://supervisionClass/?token=abc&classId=9") << 1 << false;
    QTest::newRow("restart into class 4711") << QStringLiteral("AppRestart:4711") << 0 << true;
}

void tst_StudentLoginWidget::startArguments()
{
    QFETCH(QString, argument);
    QFETCH(int, savedAutoLogin);
    QFETCH(bool, logsIn);

    saveLogin(savedJson(1, savedAutoLogin));
    QByteArray program("lessonry-student");
    QByteArray first = argument.toLocal8Bit();
    char *argv[] = { program.data(), first.data(), nullptr };
    StudentApplication application;
    application.showLoginWidget(argument.isEmpty() ? 1 : 2, argv);

    QList<studentloginwidget *> logins = visibleWindows<studentloginwidget>();
    QCOMPARE(logins.size(), 1);
    QCOMPARE(child<QLineEdit>(logins.first(), "editMobile")->text(), kUser);
    if (logsIn) {
        QTRY_COMPARE(visibleWindows<CourseMainWidget>().size(), 1);
    } else {
        QVERIFY(!hasPendingReply(logins.first()));
        QVERIFY(showsForm(logins.first()));
    }
}

void tst_StudentLoginWidget::logoutOpensLoginThatStaysPut()
{
    QPointer<studentloginwidget> window = openWindow();
    QTest::mouseClick(child<QCheckBox>(window, "chkAutoLogin"), Qt::LeftButton, {}, QPoint(10, 11));
    typeCredentials(window, kUser, kPassword);
    pressLogin(window);
    QTRY_COMPARE(visibleWindows<CourseMainWidget>().size(), 1);
    QTRY_VERIFY(window.isNull());
    QCOMPARE(savedLogin().value("shouldAutoLogin").toInt(), 1);

    QPointer<CourseMainWidget> course = visibleWindows<CourseMainWidget>().first();
    QTest::mouseClick(child<QAbstractButton>(course, "pushButtonLogout"), Qt::LeftButton);
    QTRY_VERIFY(course.isNull());

    const QList<studentloginwidget *> logins = visibleWindows<studentloginwidget>();
    QCOMPARE(logins.size(), 1);
    studentloginwidget *login = logins.first();
    QCOMPARE(child<QLineEdit>(login, "editMobile")->text(), kUser);
    QCOMPARE(child<QLineEdit>(login, "editPassword")->text(), kPassword);
    QVERIFY(child<QCheckBox>(login, "chkAutoLogin")->isChecked());
    QVERIFY(login->testAttribute(Qt::WA_DeleteOnClose));
    QVERIFY(!hasPendingReply(login));
    QCoreApplication::processEvents();
    QVERIFY(showsForm(login));
    QCOMPARE(loginRequests().size(), 1);
}

void tst_StudentLoginWidget::secondPressBeforeStartOpensOneCourseWindow()
{
    QPointer<studentloginwidget> window = openWindow();
    typeCredentials(window, kUser, kPassword);
    QAbstractButton *button = child<QAbstractButton>(window, "btnLogin");
    button->click();
    button->click();

    QTRY_COMPARE(visibleWindows<CourseMainWidget>().size(), 1);
    // Once the login window is gone no answer can reach it any more.
    QTRY_VERIFY(window.isNull());
    QCoreApplication::processEvents();
    QCOMPARE(visibleWindows<CourseMainWidget>().size(), 1);
    QCOMPARE(m_records.count(QStringLiteral("normal,user_login_ok,{userid:20001}")), 1);
}

void tst_StudentLoginWidget::helpAndForgotPassword()
{
    QPointer<studentloginwidget> window = openWindow();

    QTest::mouseClick(child<QAbstractButton>(window, "pushButtonHelp"), Qt::LeftButton);
    const QString helpUrl = m_service.baseUrl() + QStringLiteral("/Web/Index/helph5");
    QCOMPARE(m_urls, QStringList{ helpUrl });
    QCOMPARE(m_records.count(QStringLiteral("click,click_help,{code:1,url:%1}").arg(helpUrl)), 1);

    QTest::mouseClick(child<QAbstractButton>(window, "btnForgot"), Qt::LeftButton);
    QCOMPARE(m_notices, QStringList{ QStringLiteral("Velmo|跳转到官网修改密码") });
    QCOMPARE(m_urls.size(), 2);
    QCOMPARE(m_urls.last(), m_service.baseUrl() + QStringLiteral("/"));
    QVERIFY(!hasPendingReply(window));
}

void tst_StudentLoginWidget::networkLineDialogRunsModally()
{
    QPointer<studentloginwidget> window = openWindow();
    bool seen = false;
    bool modal = false;
    bool testing = false;
    QTimer closer;
    connect(&closer, &QTimer::timeout, this, [&] {
        for (NetLinkSetting *dialog : visibleWindows<NetLinkSetting>()) {
            seen = true;
            modal = dialog->testAttribute(Qt::WA_ShowModal);
            testing = dialog->testThread(0) != nullptr;
            if (testing)
                dialog->close();
        }
    });
    closer.start(20);

    // Returns once the dialog is closed.
    QTest::mouseClick(child<QAbstractButton>(window, "settingNetLink"), Qt::LeftButton);
    closer.stop();
    QVERIFY(seen);
    QVERIFY(modal);
    QVERIFY(testing);
    QVERIFY(visibleWindows<NetLinkSetting>().isEmpty());
    QVERIFY(!window.isNull());
    QVERIFY(showsForm(window));
}

void tst_StudentLoginWidget::closeButtons_data()
{
    QTest::addColumn<QString>("button");
    QTest::newRow("form page") << "closePushButton";
    QTest::newRow("waiting page") << "closePushButtonLoading";
}

void tst_StudentLoginWidget::closeButtons()
{
    QFETCH(QString, button);
    QPointer<studentloginwidget> window = openWindow();
    if (button == QLatin1String("closePushButtonLoading")) {
        QVERIFY(m_service.setFault(kLoginPath, QStringLiteral("delay"), { { "delay_ms", 3000 } }));
        typeCredentials(window, kUser, kPassword);
        pressLogin(window);
        QTRY_VERIFY(isWaiting(window));
    }
    QTest::mouseClick(child<QAbstractButton>(window, button.toLatin1().constData()), Qt::LeftButton);
    QTRY_VERIFY(window.isNull());
    QVERIFY(visibleWindows<CourseMainWidget>().isEmpty());
}

void tst_StudentLoginWidget::typedNameKeepsLogsInLogFolder()
{
    const QString logDir = QDir(getLogDir()).canonicalPath();
    QPointer<studentloginwidget> window = openWindow();
    typeCredentials(window, QStringLiteral("../../evil/x"), QStringLiteral("pw"));
    pressLogin(window);
    QCOMPARE(PossibleIdUtil::getPossibleId(), QStringLiteral("../../evil/x"));
    QTRY_VERIFY(!errorLine(window).isEmpty());

    // The log files are named after the possible id when they are opened.
    LogMgr *logMgr = Singleton<LogMgr>::instance();
    logMgr->openLogFiles();
    const QFileInfo logFile(logMgr->logFilePath());
    QCOMPARE(logFile.absoluteDir().canonicalPath(), logDir);
    QVERIFY2(logFile.fileName().contains(QStringLiteral("evil")), qPrintable(logFile.fileName()));
    QVERIFY(!logFile.fileName().contains(QLatin1Char('/')));

    // Nothing named after the user landed anywhere else in the data folders.
    QDirIterator it(QFileInfo(getAppDataDir()).absolutePath(), QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden,
                    QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QFileInfo entry(it.next());
        if (entry.fileName().contains(QStringLiteral("evil")))
            QCOMPARE(entry.absoluteDir().canonicalPath(), logDir);
    }
    logMgr->closeLogFile();
}

void tst_StudentLoginWidget::unreachableServer()
{
    m_service.stop();
    QPointer<studentloginwidget> window = openWindow();
    typeCredentials(window, kUser, kPassword);
    pressLogin(window);
    QTRY_COMPARE(errorLine(window), QStringLiteral("登陆失败，请检查网络！错误码[-1]"));
    QVERIFY(showsForm(window));
    QVERIFY(m_service.start());
}

QTEST_MAIN(tst_StudentLoginWidget)
#include "tst_studentloginwidget.moc"
