#include "biz/login/logininfo.h"

#include <QJsonDocument>
#include <QJsonObject>
#include <QTest>

namespace {

LoginInfo loginInfo(const QString &username, const QString &password, int remember, int autoLogin,
                    const QString &avatarUrl = QString())
{
    LoginInfo info;
    info.username = username;
    info.password = password;
    info.shouldRememberPassword = remember;
    info.shouldAutoLogin = autoLogin;
    info.avatarUrl = avatarUrl;
    return info;
}

} // namespace

// The saved login is read back by later versions too: its JSON form must
// keep exactly its five keys and types, and reading must be tolerant.
class tst_LoginInfo : public QObject
{
    Q_OBJECT

private slots:
    void writesExactlyFiveKeysCompact();
    void roundTrip();
    void readsTolerantly_data();
    void readsTolerantly();
    void notJsonKeepsEverything();
};

void tst_LoginInfo::writesExactlyFiveKeysCompact()
{
    const LoginInfo info = loginInfo(QStringLiteral("13800000001"), QStringLiteral("student123"), 1, 1,
                                     QStringLiteral("http://127.0.0.1:1/files/a.png"));

    const QString text = info.toJsonText();
    QVERIFY(!text.contains(QLatin1Char('\n')));
    QVERIFY(!text.contains(QStringLiteral(": ")));
    QVERIFY(text.contains(QStringLiteral("\"shouldAutoLogin\":1")));
    QVERIFY(text.contains(QStringLiteral("\"shouldRememberPassword\":1")));

    const QJsonObject object = QJsonDocument::fromJson(text.toUtf8()).object();
    QStringList keys = object.keys();
    keys.sort();
    QCOMPARE(keys, QStringList({ "avatarUrl", "password", "shouldAutoLogin", "shouldRememberPassword", "username" }));
    QVERIFY(object.value(QStringLiteral("shouldAutoLogin")).isDouble());
    QVERIFY(object.value(QStringLiteral("shouldRememberPassword")).isDouble());
    QCOMPARE(object.value(QStringLiteral("password")).toString(), QStringLiteral("student123"));
}

void tst_LoginInfo::roundTrip()
{
    const LoginInfo info =
        loginInfo(QStringLiteral("teacher+1@example.com"), QStringLiteral("p\"a,s:s"), 1, 0, QStringLiteral("C:/pics/a.png"));

    LoginInfo back;
    QVERIFY(LoginInfo::fromJsonText(info.toJsonText(), back));
    QCOMPARE(back.username, info.username);
    QCOMPARE(back.password, info.password);
    QCOMPARE(back.shouldRememberPassword, 1);
    QCOMPARE(back.shouldAutoLogin, 0);
    QCOMPARE(back.avatarUrl, info.avatarUrl);
}

void tst_LoginInfo::readsTolerantly_data()
{
    QTest::addColumn<QString>("json");
    QTest::addColumn<QString>("username");
    QTest::addColumn<QString>("password");
    QTest::addColumn<int>("remember");
    QTest::addColumn<int>("autoLogin");

    // Start values: "old", "oldpass", 7, 7; a missing key keeps them.
    QTest::newRow("empty object keeps all") << "{}" << "old" << "oldpass" << 7 << 7;
    QTest::newRow("only username") << R"({"username":"u"})" << "u" << "oldpass" << 7 << 7;
    QTest::newRow("ints as text") << R"({"shouldRememberPassword":"1","shouldAutoLogin":"0"})" << "old" << "oldpass" << 1 << 0;
    QTest::newRow("number as user name") << R"({"username":13800000001})" << "0" << "oldpass" << 7 << 7;
    QTest::newRow("small number as user name") << R"({"username":12345})" << "12345" << "oldpass" << 7 << 7;
    QTest::newRow("null clears") << R"({"username":null,"shouldAutoLogin":null})" << "" << "oldpass" << 7 << 0;
    QTest::newRow("top-level array") << "[1,2]" << "old" << "oldpass" << 7 << 7;
}

void tst_LoginInfo::readsTolerantly()
{
    QFETCH(QString, json);
    LoginInfo info = loginInfo(QStringLiteral("old"), QStringLiteral("oldpass"), 7, 7);

    QVERIFY(LoginInfo::fromJsonText(json, info));
    QTEST(info.username, "username");
    QTEST(info.password, "password");
    QTEST(info.shouldRememberPassword, "remember");
    QTEST(info.shouldAutoLogin, "autoLogin");
}

void tst_LoginInfo::notJsonKeepsEverything()
{
    LoginInfo info;
    info.username = QStringLiteral("kept");
    // The broken text still carries the password: the log names only where
    // parsing stopped, never the text itself.
    QTest::ignoreMessage(QtCriticalMsg, QRegularExpression(QStringLiteral("^parse json error:\\d+, offset:\\d+, length:36$")));
    QVERIFY(!LoginInfo::fromJsonText(QStringLiteral("{\"username\":\"a\",\"password\":\"secret1\""), info));
    QCOMPARE(info.username, QStringLiteral("kept"));
    QCOMPARE(info.shouldAutoLogin, 0);
}

QTEST_GUILESS_MAIN(tst_LoginInfo)
#include "tst_logininfo.moc"
