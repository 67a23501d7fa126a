// The private sound server the device and sound tests start.

#include "pulseaudioserver.h"

#include <QTest>

class TestPulseAudioServer : public QObject
{
    Q_OBJECT

private slots:
    void startsWithNullSinkAndEndsCleanly();
    void sinksComeAndGo();
};

void TestPulseAudioServer::startsWithNullSinkAndEndsCleanly()
{
    PulseAudioServer server;
    QVERIFY(server.start());
    QVERIFY(server.serverAddress().startsWith(QLatin1String("unix:/")));
    QByteArray sources;
    QVERIFY(server.pactl({ "list", "short", "sources" }, &sources));
    QVERIFY2(sources.contains(PulseAudioServer::nullSourceName().toUtf8()), sources.constData());
    QVERIFY(server.stop());
    QVERIFY(!server.isRunning());
    // Nobody answers there any more.
    QVERIFY(!server.pactl({ "info" }));
}

void TestPulseAudioServer::sinksComeAndGo()
{
    PulseAudioServer server;
    QVERIFY(server.start());
    const int module = server.loadNullSink("second", "Second Speaker");
    QVERIFY(module >= 0);
    QByteArray sinks;
    QVERIFY(server.pactl({ "list", "sinks" }, &sinks));
    QVERIFY2(sinks.contains("Second Speaker"), sinks.constData());
    QVERIFY(server.unloadModule(module));
    QVERIFY(server.pactl({ "list", "short", "sinks" }, &sinks));
    QVERIFY(!sinks.contains("second"));
    QVERIFY(sinks.contains("lessonry_null"));
    QVERIFY(server.stop());
}

QTEST_GUILESS_MAIN(TestPulseAudioServer)
#include "tst_pulseaudioserver.moc"
