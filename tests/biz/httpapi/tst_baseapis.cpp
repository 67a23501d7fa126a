#include "biz/httpapi/baseapis.h"

#include <QFile>
#include <QTemporaryDir>
#include <QRegularExpression>
#include <QTest>

// The shipped build talks to production: the line picks the host.
class TestBaseApis : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void cleanup();

    void serverBaseUrlPerLine_data();
    void serverBaseUrlPerLine();
    void urlFollowsCurrentLine_data();
    void urlFollowsCurrentLine();
    void lineStartsAtMain();
    void missingHostIsEmptyNotGuessed();

private:
    QTemporaryDir m_dir;
    QString m_ini;
};

void TestBaseApis::initTestCase()
{
    // Checked first: nothing has changed the line yet in this process.
    QCOMPARE(BaseApis::getNetLinkType(), NETLINK_MAIN);

    m_ini = m_dir.filePath(QStringLiteral("servers.ini"));
    QFile file(m_ini);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write("[api]\n"
               "main=http://main.example.test\n"
               "us=http://us.example.test\n"
               "europe=http://eu.example.test\n"
               "singapore=http://sg.example.test/\n"
               "development=http://dev.example.test:9000/dev\n"
               "[web]\nsite=http://www.example.test\n"
               "[mqtt]\nproduction_host=mqtt.example.test\nproduction_port=1883\n"
               "development_host=127.0.0.1\ndevelopment_port=1883\n");
    file.close();
    qputenv("LESSONRY_SERVERS_INI", QFile::encodeName(m_ini));
}

void TestBaseApis::cleanup()
{
    BaseApis::setNetLinkType(NETLINK_MAIN);
    qputenv("LESSONRY_SERVERS_INI", QFile::encodeName(m_ini));
}

void TestBaseApis::lineStartsAtMain()
{
    QCOMPARE(BaseApis::getBaseUrl(), QStringLiteral("http://main.example.test"));
}

void TestBaseApis::serverBaseUrlPerLine_data()
{
    QTest::addColumn<int>("line");
    QTest::addColumn<QString>("expected");
    QTest::newRow("main") << 0 << QStringLiteral("http://main.example.test");
    QTest::newRow("united states") << 1 << QStringLiteral("http://us.example.test");
    QTest::newRow("europe") << 2 << QStringLiteral("http://eu.example.test");
    QTest::newRow("singapore, slash dropped") << 3 << QStringLiteral("http://sg.example.test");
    QTest::newRow("unknown above") << 7 << QStringLiteral("http://main.example.test");
    QTest::newRow("unknown below") << -1 << QStringLiteral("http://main.example.test");
}

void TestBaseApis::serverBaseUrlPerLine()
{
    QFETCH(int, line);
    QFETCH(QString, expected);
    QCOMPARE(BaseApis::getServerBaseUrl(static_cast<NETLINK_TYPE>(line)), expected);
}

void TestBaseApis::urlFollowsCurrentLine_data()
{
    QTest::addColumn<int>("line");
    QTest::addColumn<QString>("expected");
    QTest::newRow("line 0") << 0 << QStringLiteral("http://main.example.test/QXV1/Config/getAll");
    QTest::newRow("line 3") << 3 << QStringLiteral("http://sg.example.test/QXV1/Config/getAll");
    QTest::newRow("line 7") << 7 << QStringLiteral("http://main.example.test/QXV1/Config/getAll");
}

void TestBaseApis::urlFollowsCurrentLine()
{
    QFETCH(int, line);
    QFETCH(QString, expected);
    BaseApis::setNetLinkType(static_cast<NETLINK_TYPE>(line));
    QCOMPARE(static_cast<int>(BaseApis::getNetLinkType()), line);
    QCOMPARE(BaseApis::getUrl(QStringLiteral("/QXV1/Config/getAll")), expected);
}

void TestBaseApis::missingHostIsEmptyNotGuessed()
{
    qputenv("LESSONRY_SERVERS_INI", QFile::encodeName(m_dir.filePath(QStringLiteral("absent.ini"))));
    QTest::ignoreMessage(QtCriticalMsg, QRegularExpression("server settings:.*does not exist"));
    QCOMPARE(BaseApis::getServerBaseUrl(NETLINK_EUROPE), QString());
    // The path alone: the request fails visibly instead of reaching a host
    // nobody configured.
    QCOMPARE(BaseApis::getUrl(QStringLiteral("/QXV1/Public/test")), QStringLiteral("/QXV1/Public/test"));
}

QTEST_GUILESS_MAIN(TestBaseApis)
#include "tst_baseapis.moc"
