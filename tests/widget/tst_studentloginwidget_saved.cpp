#include "studentlogintest.h"

#include "biz/login/logininfo.h"
#include "mgr/studentapplication.h"
#include "utility/appdirs.h"
#include "widget/student/coursemainwidget.h"

#include <QDir>
#include <QImage>
#include <QRegularExpression>
#include <QMenu>
#include <QTest>

using namespace LoginTest;

namespace {

QString savedJson(int remember, int autoLogin, const QString &password = StudentLoginTest::kPassword)
{
    return QStringLiteral(R"({"username":"%1","password":"%2","shouldRememberPassword":%3,"shouldAutoLogin":%4,"avatarUrl":""})")
        .arg(StudentLoginTest::kUser, password)
        .arg(remember)
        .arg(autoLogin);
}

} // namespace

// The student login window with a saved login: filling in, the saved
// picture, automatic login at start-up and after a logout.
class tst_StudentLoginWidget_Saved : public StudentLoginTest
{
    Q_OBJECT

private slots:
    void savedLoginAtStart_data();
    void savedLoginAtStart();
    void savedPictureIsShown_data();
    void savedPictureIsShown();
    void startArguments_data();
    void startArguments();
    void logoutOpensLoginThatStaysPut();
};

void tst_StudentLoginWidget_Saved::savedLoginAtStart_data()
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

void tst_StudentLoginWidget_Saved::savedLoginAtStart()
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

void tst_StudentLoginWidget_Saved::savedPictureIsShown_data()
{
    QTest::addColumn<QString>("source");
    QTest::addColumn<bool>("shown");
    QTest::newRow("from the server") << "remote" << true;
    QTest::newRow("earlier download") << "download" << true;
    // A saved login is only a file in the user's settings: a path into any
    // other folder is neither read nor given a cropped copy beside it.
    QTest::newRow("file elsewhere") << "elsewhere" << false;
    QTest::newRow("none saved") << "" << false;
}

void tst_StudentLoginWidget_Saved::savedPictureIsShown()
{
    QFETCH(QString, source);
    QFETCH(bool, shown);
    QString url;
    if (source == QLatin1String("remote")) {
        url = m_service.fixtureUrl(QStringLiteral("avatar-student.png"));
    } else if (!source.isEmpty()) {
        const QDir folder(source == QLatin1String("download") ? getDownloadImageDir() : m_folder.path());
        url = folder.filePath(QStringLiteral("saved avatar.png"));
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
    if (!shown) {
        QVERIFY(avatar->styleSheet().contains(QStringLiteral(":/image/login/default_avatar.png")));
        QVERIFY(!picture.match(avatar->styleSheet()).hasMatch());
        QVERIFY(!picture.match(waitingAvatar->styleSheet()).hasMatch());
        if (!url.isEmpty())
            QVERIFY(!QFileInfo::exists(url + QStringLiteral(".60_60")));
        return;
    }
    QTRY_VERIFY(picture.match(avatar->styleSheet()).hasMatch());
    QTRY_VERIFY(picture.match(waitingAvatar->styleSheet()).hasMatch());
    QVERIFY(avatar->styleSheet().startsWith(QStringLiteral("QLabel#labelAvatar")));
    QVERIFY(waitingAvatar->styleSheet().startsWith(QStringLiteral("QLabel")));
    QVERIFY(QFileInfo::exists(picture.match(avatar->styleSheet()).captured(1)));
}

void tst_StudentLoginWidget_Saved::startArguments_data()
{
    QTest::addColumn<QString>("argument");
    QTest::addColumn<int>("savedAutoLogin");
    QTest::addColumn<bool>("logsIn");

    QTest::newRow("no argument, saved auto-login") << QString() << 1 << true;
    QTest::newRow("observer start") << QStringLiteral("velmo://supervisionClass/?token=abc&classId=9") << 1 << false;
    QTest::newRow("restart into class 4711") << QStringLiteral("AppRestart:4711") << 0 << true;
}

void tst_StudentLoginWidget_Saved::startArguments()
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

void tst_StudentLoginWidget_Saved::logoutOpensLoginThatStaysPut()
{
    QPointer<studentloginwidget> window = openWindow();
    QTest::mouseClick(child<QCheckBox>(window, "chkAutoLogin"), Qt::LeftButton, {}, QPoint(10, 11));
    typeCredentials(window, kUser, kPassword);
    pressLogin(window);
    QTRY_COMPARE(visibleWindows<CourseMainWidget>().size(), 1);
    QTRY_VERIFY(window.isNull());
    QCOMPARE(savedLogin().value("shouldAutoLogin").toInt(), 1);

    QPointer<CourseMainWidget> course = visibleWindows<CourseMainWidget>().first();
    // The user menu's last entry logs out.
    course->findChild<QMenu *>()->actions().last()->trigger();
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

QTEST_MAIN(tst_StudentLoginWidget_Saved)
#include "tst_studentloginwidget_saved.moc"
#include "moc_studentlogintest.cpp"
