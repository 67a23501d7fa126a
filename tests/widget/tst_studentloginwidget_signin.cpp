#include "studentlogintest.h"
#include "scopedtimescale.h"

#include "biz/im/mqtt/mqttimsdk.h"
#include "mgr/logmgr.h"
#include "mgr/signalqueuemgr.h"
#include "platform/systemdescription.h"
#include "utility/appdirs.h"
#include "utility/hashutility.h"
#include "widget/student/coursemainwidget.h"

#include <QDirIterator>
#include <QSignalSpy>
#include <QTest>

using namespace LoginTest;

// Signing in through the student login window against the stand-in lesson
// service: the request, the waiting page, refusals, cancel, time-out.
class tst_StudentLoginWidget_SignIn : public StudentLoginTest
{
    Q_OBJECT

private slots:
    void signsInWithTheExactRequest();
    void autoLoginChoiceIsSaved();
    void refusalsShowTheirText_data();
    void refusalsShowTheirText();
    void cancelWhileWaiting();
    void waitingAnimationRecordsNoTimeout();
    void hangingServerTimesOutOnce();
    void secondPressBeforeStartOpensOneCourseWindow();
    void typedNameKeepsLogsInLogFolder();
    void unreachableServer();
};

void tst_StudentLoginWidget_SignIn::signsInWithTheExactRequest()
{
    // A short delay, so the waiting page can be seen.
    QVERIFY(m_service.setFault(kLoginPath, QStringLiteral("delay"), { { "delay_ms", 300 } }));
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

void tst_StudentLoginWidget_SignIn::autoLoginChoiceIsSaved()
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

void tst_StudentLoginWidget_SignIn::refusalsShowTheirText_data()
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

void tst_StudentLoginWidget_SignIn::refusalsShowTheirText()
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

void tst_StudentLoginWidget_SignIn::cancelWhileWaiting()
{
    QVERIFY(m_service.setFault(kLoginPath, QStringLiteral("delay"), { { "delay_ms", 500 }, { "times", 1 } }));
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

void tst_StudentLoginWidget_SignIn::waitingAnimationRecordsNoTimeout()
{
    // 160 ms ticks and a 3 s time-out. The service holds its answer until
    // four ticks were seen (a reset ends the delay), so the answer never
    // overtakes the ticks however the two processes are scheduled.
    ScopedTimeScale fast(0.2);
    QVERIFY(m_service.setFault(kLoginPath, QStringLiteral("delay"), { { "delay_ms", 60000 } }));
    QPointer<studentloginwidget> window = openWindow();
    LoadingTicks ticks(window);
    typeCredentials(window, kUser, kPassword);
    pressLogin(window);
    QTRY_VERIFY(isWaiting(window));
    QTRY_VERIFY_WITH_TIMEOUT(ticks.lines.size() >= 4, 2500);
    QVERIFY(m_service.reset());
    QTRY_COMPARE(visibleWindows<CourseMainWidget>().size(), 1);

    QVERIFY2(ticks.lines.size() >= 4, qPrintable(ticks.lines.join(QLatin1Char('|'))));
    QCOMPARE(ticks.lines.mid(0, 4), (QStringList{ "拼命加载中.", "拼命加载中..", "拼命加载中...", "拼命加载中." }));

    // A login that only took a while is no failure.
    for (const QString &record : m_records.records())
        QVERIFY2(!record.contains(QStringLiteral("login timeout")), qPrintable(record));
}

void tst_StudentLoginWidget_SignIn::hangingServerTimesOutOnce()
{
    // The HTTP layer gives up after its 15000 ms time-out, here 300 ms.
    ScopedTimeScale fast(0.02);
    QVERIFY(m_service.setFault(kLoginPath, QStringLiteral("hang")));
    QPointer<studentloginwidget> window = openWindow();
    typeCredentials(window, kUser, kPassword);
    pressLogin(window);
    QTRY_VERIFY(isWaiting(window));
    QTRY_VERIFY(showsForm(window));
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

void tst_StudentLoginWidget_SignIn::secondPressBeforeStartOpensOneCourseWindow()
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

void tst_StudentLoginWidget_SignIn::typedNameKeepsLogsInLogFolder()
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

void tst_StudentLoginWidget_SignIn::unreachableServer()
{
    m_service.stop();
    QPointer<studentloginwidget> window = openWindow();
    typeCredentials(window, kUser, kPassword);
    pressLogin(window);
    QTRY_COMPARE(errorLine(window), QStringLiteral("登陆失败，请检查网络！错误码[-1]"));
    QVERIFY(showsForm(window));
    QVERIFY(m_service.start());
}

QTEST_MAIN(tst_StudentLoginWidget_SignIn)
#include "tst_studentloginwidget_signin.moc"
#include "moc_studentlogintest.cpp"
