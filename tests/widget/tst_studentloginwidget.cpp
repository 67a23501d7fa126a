#include "studentlogintest.h"

#include "mgr/http/baseentity.h"
#include "widget/netlinksetting.h"
#include "widget/student/coursemainwidget.h"

#include <QTranslator>
#include <QTest>
#include <QTimer>

using namespace LoginTest;

// The student login window's form, texts and error line, driven as a user
// would (typing, clicking, reading the labels) against the stand-in lesson
// service over HTTP. Signing in and the saved login have tests of their own.
class tst_StudentLoginWidget : public StudentLoginTest
{
    Q_OBJECT

private slots:
    void formTexts_data();
    void formTexts();
    void loginButtonFollowsUserName_data();
    void loginButtonFollowsUserName();
    void editColoursFollowText();
    void buttonCaptionsAreBold();
    void inputErrorsSendNothing_data();
    void inputErrorsSendNothing();
    void failureCodesShowTheirText_data();
    void failureCodesShowTheirText();
    void unreadableAnswerCountsAsMinus333();
    void helpAndForgotPassword();
    void networkLineDialogRunsModally();
    void closeButtons_data();
    void closeButtons();
};

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

QTEST_MAIN(tst_StudentLoginWidget)
#include "tst_studentloginwidget.moc"
#include "moc_studentlogintest.cpp"
