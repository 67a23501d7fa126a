#include "utility/serverconfig.h"

#include "testenvironment.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

namespace {

const char kCompleteIni[] =
    "[api]\n"
    "main=http://main.example.test\n"
    "us=http://us.example.test:8080/\n"
    "europe=http://eu.example.test\n"
    "singapore=https://sg.example.test\n"
    "development=http://dev.example.test:9000/api/\n"
    "[web]\n"
    "site=http://www.example.test/\n"
    "[mqtt]\n"
    "production_host=mqtt.example.test\n"
    "production_port=1883\n"
    "development_host=127.0.0.1\n"
    "development_port=11883\n";

QStringList g_criticals;

void captureCriticals(QtMsgType type, const QMessageLogContext &, const QString &message)
{
    if (type == QtCriticalMsg)
        g_criticals << message;
}

} // namespace

class TestServerConfig : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void completeFileIsRead();
    void badEntriesAreNamed_data();
    void badEntriesAreNamed();
    void badEntryLeavesOthersReadable();
    void relaysDefaultToProductionBroker();
    void relaySections_data();
    void relaySections();
    void missingOrUnreadableFile_data();
    void missingOrUnreadableFile();
    void environmentVariableChoosesFile();
    void shippedFileIsComplete();
    void currentLogsEachProblemOnce();
    void currentSeesTheFileChange();

private:
    QString writeIni(const QByteArray &content);

    QTemporaryDir m_dir;
    int m_fileNumber = 0;
};

void TestServerConfig::init()
{
    TestEnvironment::restoreDefaultServersIni();
}

void TestServerConfig::cleanup()
{
    TestEnvironment::restoreDefaultServersIni();
}

QString TestServerConfig::writeIni(const QByteArray &content)
{
    const QString path = m_dir.filePath(QStringLiteral("servers%1.ini").arg(++m_fileNumber));
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return QString();
    file.write(content);
    return path;
}

void TestServerConfig::completeFileIsRead()
{
    const ServerConfig config = ServerConfig::load(writeIni(kCompleteIni));
    QVERIFY2(config.isValid(), qPrintable(config.errorString()));
    QCOMPARE(config.apiBaseUrl(ServerConfig::MainApi), QStringLiteral("http://main.example.test"));
    // Trailing slashes go, so "base + /QXV1/..." never doubles the slash.
    QCOMPARE(config.apiBaseUrl(ServerConfig::UnitedStatesApi), QStringLiteral("http://us.example.test:8080"));
    QCOMPARE(config.apiBaseUrl(ServerConfig::EuropeApi), QStringLiteral("http://eu.example.test"));
    QCOMPARE(config.apiBaseUrl(ServerConfig::SingaporeApi), QStringLiteral("https://sg.example.test"));
    QCOMPARE(config.apiBaseUrl(ServerConfig::DevelopmentApi), QStringLiteral("http://dev.example.test:9000/api"));
    QCOMPARE(config.webSite(), QStringLiteral("http://www.example.test"));
    QCOMPARE(config.productionMqttBroker().host, QStringLiteral("mqtt.example.test"));
    QCOMPARE(config.productionMqttBroker().port, quint16(1883));
    QCOMPARE(config.developmentMqttBroker().host, QStringLiteral("127.0.0.1"));
    QCOMPARE(config.developmentMqttBroker().port, quint16(11883));
    QVERIFY(config.errorString().isEmpty());
}

void TestServerConfig::badEntriesAreNamed_data()
{
    QTest::addColumn<QByteArray>("from");
    QTest::addColumn<QByteArray>("to");
    QTest::addColumn<QString>("expectedError");

    QTest::newRow("missing main") << QByteArray("main=http://main.example.test\n") << QByteArray()
                                  << QStringLiteral("[api] main is missing");
    QTest::newRow("empty europe") << QByteArray("europe=http://eu.example.test\n") << QByteArray("europe=\n")
                                  << QStringLiteral("[api] europe is missing");
    QTest::newRow("not http") << QByteArray("main=http://main.example.test\n") << QByteArray("main=ftp://main.example.test\n")
                              << QStringLiteral("[api] main is not an http address");
    QTest::newRow("no scheme") << QByteArray("us=http://us.example.test:8080/\n") << QByteArray("us=us.example.test\n")
                               << QStringLiteral("[api] us is not an http address");
    QTest::newRow("production with path") << QByteArray("singapore=https://sg.example.test\n")
                                          << QByteArray("singapore=http://sg.example.test/QXV1\n")
                                          << QStringLiteral("[api] singapore must be a scheme and host only");
    QTest::newRow("missing web site") << QByteArray("site=http://www.example.test/\n") << QByteArray()
                                      << QStringLiteral("[web] site is missing");
    QTest::newRow("missing broker host") << QByteArray("production_host=mqtt.example.test\n") << QByteArray()
                                         << QStringLiteral("[mqtt] production_host is missing");
    QTest::newRow("port not a number") << QByteArray("development_port=11883\n") << QByteArray("development_port=mqtt\n")
                                       << QStringLiteral("[mqtt] development_port is not a port number");
    QTest::newRow("port out of range") << QByteArray("production_port=1883\n") << QByteArray("production_port=70000\n")
                                       << QStringLiteral("[mqtt] production_port is not a port number");
}

void TestServerConfig::badEntriesAreNamed()
{
    QFETCH(QByteArray, from);
    QFETCH(QByteArray, to);
    QFETCH(QString, expectedError);

    QByteArray content(kCompleteIni);
    QVERIFY(content.contains(from));
    content.replace(from, to);
    const ServerConfig config = ServerConfig::load(writeIni(content));
    QVERIFY(!config.isValid());
    QVERIFY2(config.errorString().contains(expectedError), qPrintable(config.errorString()));
    QCOMPARE(config.errorString().count(QLatin1Char('\n')), 0);
}

void TestServerConfig::relaysDefaultToProductionBroker()
{
    const ServerConfig config = ServerConfig::load(writeIni(kCompleteIni));
    QVERIFY2(config.isValid(), qPrintable(config.errorString()));
    QCOMPARE(config.signallingServer().host, QStringLiteral("mqtt.example.test"));
    QCOMPARE(config.signallingServer().port, quint16(1883));
    QCOMPARE(config.rtcServer().host, QStringLiteral("mqtt.example.test"));
    QCOMPARE(config.rtcServer().port, quint16(1883));
}

void TestServerConfig::relaySections_data()
{
    QTest::addColumn<QByteArray>("sections");
    QTest::addColumn<QString>("expectedError"); // empty: valid
    QTest::addColumn<quint16>("signallingPort");
    QTest::addColumn<quint16>("rtcPort");
    QTest::addColumn<QString>("mediaServer");

    QTest::newRow("both given") << QByteArray("[signalling]\nhost=127.0.0.1\nport=2001\n[rtc]\nhost=127.0.0.2\nport=2002\n")
                                << QString() << quint16(2001) << quint16(2002) << QString();
    QTest::newRow("only rtc given") << QByteArray("[rtc]\nhost=127.0.0.2\nport=2002\n") << QString() << quint16(1883)
                                    << quint16(2002) << QString();
    QTest::newRow("section without port") << QByteArray("[signalling]\nhost=127.0.0.1\n")
                                          << QStringLiteral("[signalling] port is missing") << quint16(0) << quint16(1883)
                                          << QString();
    QTest::newRow("bad rtc host") << QByteArray("[rtc]\nhost=a b\nport=2002\n")
                                  << QStringLiteral("[rtc] host is not a host name") << quint16(1883) << quint16(2002)
                                  << QString();
    // The media server: a path of its own is kept, the trailing slash goes.
    QTest::newRow("media server") << QByteArray("[rtc]\nhost=127.0.0.2\nport=2002\njanus=http://127.0.0.3:8088/janus/\n")
                                  << QString() << quint16(1883) << quint16(2002) << QStringLiteral("http://127.0.0.3:8088/janus");
    QTest::newRow("media server not http") << QByteArray("[rtc]\nhost=127.0.0.2\nport=2002\njanus=ws://127.0.0.3:8188\n")
                                           << QStringLiteral("[rtc] janus") << quint16(1883) << quint16(2002) << QString();
}

void TestServerConfig::relaySections()
{
    QFETCH(QByteArray, sections);
    QFETCH(QString, expectedError);
    QFETCH(quint16, signallingPort);
    QFETCH(quint16, rtcPort);
    QFETCH(QString, mediaServer);

    const ServerConfig config = ServerConfig::load(writeIni(QByteArray(kCompleteIni) + sections));
    if (expectedError.isEmpty())
        QVERIFY2(config.isValid(), qPrintable(config.errorString()));
    else
        QVERIFY2(config.errorString().contains(expectedError), qPrintable(config.errorString()));
    QCOMPARE(config.signallingServer().port, signallingPort);
    QCOMPARE(config.rtcServer().port, rtcPort);
    QCOMPARE(config.rtcMediaServer(), mediaServer);
}

void TestServerConfig::badEntryLeavesOthersReadable()
{
    QByteArray content(kCompleteIni);
    content.replace("main=http://main.example.test\n", "main=nonsense\n");
    const ServerConfig config = ServerConfig::load(writeIni(content));
    QVERIFY(!config.isValid());
    QCOMPARE(config.apiBaseUrl(ServerConfig::MainApi), QString());
    QCOMPARE(config.apiBaseUrl(ServerConfig::EuropeApi), QStringLiteral("http://eu.example.test"));
    QCOMPARE(config.productionMqttBroker().port, quint16(1883));
}

void TestServerConfig::missingOrUnreadableFile_data()
{
    QTest::addColumn<QString>("path");
    QTest::addColumn<QString>("expectedError");

    QTest::newRow("missing") << m_dir.filePath(QStringLiteral("nowhere.ini")) << QStringLiteral("does not exist");
    QTest::newRow("folder") << m_dir.path() << QStringLiteral("cannot be read");
    QTest::newRow("empty name") << QString() << QStringLiteral("does not exist");
}

void TestServerConfig::missingOrUnreadableFile()
{
    QFETCH(QString, path);
    QFETCH(QString, expectedError);

    const ServerConfig config = ServerConfig::load(path);
    QVERIFY(!config.isValid());
    QVERIFY2(config.errorString().contains(expectedError), qPrintable(config.errorString()));
    QVERIFY(config.errorString().contains(path));
    for (int host = ServerConfig::MainApi; host <= ServerConfig::DevelopmentApi; ++host)
        QVERIFY(config.apiBaseUrl(static_cast<ServerConfig::ApiHost>(host)).isEmpty());
    QVERIFY(config.webSite().isEmpty());
    QCOMPARE(config.productionMqttBroker().port, quint16(0));
}

void TestServerConfig::environmentVariableChoosesFile()
{
    // A test process starts on a servers file of its own.
    QCOMPARE(ServerConfig::filePath(), TestEnvironment::defaultServersIni());
    qunsetenv("LESSONRY_SERVERS_INI");
    const QString shipped = QDir(QCoreApplication::applicationDirPath()).filePath(QStringLiteral("servers.ini"));
    QCOMPARE(ServerConfig::filePath(), shipped);

    const QString other = writeIni(kCompleteIni);
    qputenv("LESSONRY_SERVERS_INI", QFile::encodeName(other));
    QCOMPARE(ServerConfig::filePath(), other);
    QCOMPARE(ServerConfig::current().apiBaseUrl(ServerConfig::MainApi), QStringLiteral("http://main.example.test"));

    // An empty variable is the same as none.
    qputenv("LESSONRY_SERVERS_INI", QByteArray());
    QCOMPARE(ServerConfig::filePath(), shipped);
}

void TestServerConfig::shippedFileIsComplete()
{
    const ServerConfig config = ServerConfig::current();
    QVERIFY2(config.isValid(), qPrintable(config.errorString()));
    for (int host = ServerConfig::MainApi; host <= ServerConfig::DevelopmentApi; ++host)
        QVERIFY(config.apiBaseUrl(static_cast<ServerConfig::ApiHost>(host)).startsWith(QLatin1String("http://127.0.0.1:")));
    QVERIFY(config.webSite().startsWith(QLatin1String("http://127.0.0.1:")));
    QCOMPARE(config.productionMqttBroker().host, QStringLiteral("127.0.0.1"));
    QCOMPARE(config.developmentMqttBroker().host, QStringLiteral("127.0.0.1"));
}

void TestServerConfig::currentLogsEachProblemOnce()
{
    QByteArray content(kCompleteIni);
    content.replace("main=http://main.example.test\n", QByteArray());
    content.replace("production_port=1883\n", "production_port=x\n");
    qputenv("LESSONRY_SERVERS_INI", QFile::encodeName(writeIni(content)));

    g_criticals.clear();
    const QtMessageHandler previous = qInstallMessageHandler(captureCriticals);
    const ServerConfig first = ServerConfig::current();
    const ServerConfig second = ServerConfig::current();
    qInstallMessageHandler(previous);

    QVERIFY(!first.isValid());
    QCOMPARE(second.errorString(), first.errorString());
    QCOMPARE(g_criticals.size(), 2);
    QVERIFY(g_criticals.at(0).contains(QLatin1String("[api] main is missing")));
    QVERIFY(g_criticals.at(1).contains(QLatin1String("[mqtt] production_port")));
}

void TestServerConfig::currentSeesTheFileChange()
{
    // The settings are kept between requests; an edited or removed file
    // must still be seen at the next request.
    const QString path = writeIni(kCompleteIni);
    qputenv("LESSONRY_SERVERS_INI", QFile::encodeName(path));
    QCOMPARE(ServerConfig::current().webSite(), QStringLiteral("http://www.example.test"));

    QByteArray edited(kCompleteIni);
    edited.replace("site=http://www.example.test", "site=http://help.example.test");
    {
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        file.write(edited);
    }
    QCOMPARE(ServerConfig::current().webSite(), QStringLiteral("http://help.example.test"));

    QVERIFY(QFile::remove(path));
    QVERIFY(!ServerConfig::current().isValid());
}

QTEST_GUILESS_MAIN(TestServerConfig)
#include "tst_serverconfig.moc"
