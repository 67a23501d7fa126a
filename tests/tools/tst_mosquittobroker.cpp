#include "mosquittobroker.h"
#include "testutil.h"

#include <QProcess>
#include <QSettings>
#include <QTemporaryDir>
#include <QTest>

// The broker fixture that the messaging tests stand on: a real broker that
// carries a message, and comes back on the same port after a stop.
class TestMosquittoBroker : public QObject
{
    Q_OBJECT

private slots:
    void carriesMessagesAndRestartsOnItsPort();
    void writesItselfIntoServersFile();

private:
    static QByteArray roundTrip(quint16 port);
};

QByteArray TestMosquittoBroker::roundTrip(quint16 port)
{
    // One subscriber that ends after the first message, one publisher
    // retrying until the subscriber has subscribed.
    QProcess subscriber;
    subscriber.start(QStringLiteral("mosquitto_sub"), { QStringLiteral("-h"), QStringLiteral("127.0.0.1"), QStringLiteral("-p"),
                                                         QString::number(port), QStringLiteral("-t"), QStringLiteral("fixture/check"),
                                                         QStringLiteral("-C"), QStringLiteral("1"), QStringLiteral("-W"), QStringLiteral("10") });
    if (!subscriber.waitForStarted(5000))
        return QByteArray();
    for (int attempt = 0; attempt < 100 && subscriber.state() == QProcess::Running; ++attempt) {
        const int published = QProcess::execute(QStringLiteral("mosquitto_pub"),
                                                { QStringLiteral("-h"), QStringLiteral("127.0.0.1"), QStringLiteral("-p"),
                                                  QString::number(port), QStringLiteral("-t"), QStringLiteral("fixture/check"),
                                                  QStringLiteral("-m"), QStringLiteral("hello") });
        if (published != 0) {
            TestUtil::stopHelper(subscriber, QStringLiteral("mosquitto_sub"));
            return QByteArray("<mosquitto_pub ended with status ") + QByteArray::number(published) + '>';
        }
        subscriber.waitForFinished(100);
    }
    // Ends after its one message, with status 0.
    subscriber.waitForFinished(5000);
    TestUtil::stopHelper(subscriber, QStringLiteral("mosquitto_sub"));
    return subscriber.readAllStandardOutput().trimmed();
}

void TestMosquittoBroker::carriesMessagesAndRestartsOnItsPort()
{
    MosquittoBroker broker;
    QVERIFY(broker.start());
    const quint16 port = broker.port();
    QVERIFY(port != 0);
    QCOMPARE(roundTrip(port), QByteArray("hello"));

    broker.stop();
    QVERIFY(!broker.isRunning());
    QVERIFY(broker.start());
    QCOMPARE(broker.port(), port);
    QCOMPARE(roundTrip(port), QByteArray("hello"));
}

void TestMosquittoBroker::writesItselfIntoServersFile()
{
    MosquittoBroker broker;
    QVERIFY(broker.start());
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("servers.ini"));
    {
        QSettings existing(path, QSettings::IniFormat);
        existing.setValue(QStringLiteral("web/site"), QStringLiteral("http://127.0.0.1:1"));
    }
    QVERIFY(broker.useInServersIni(path));
    QSettings settings(path, QSettings::IniFormat);
    const QString port = QString::number(broker.port());
    for (const char *key : { "mqtt/production_port", "mqtt/development_port", "signalling/port", "rtc/port" })
        QCOMPARE(settings.value(QLatin1String(key)).toString(), port);
    QCOMPARE(settings.value(QStringLiteral("web/site")).toString(), QStringLiteral("http://127.0.0.1:1"));
}

QTEST_GUILESS_MAIN(TestMosquittoBroker)
#include "tst_mosquittobroker.moc"
