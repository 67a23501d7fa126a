// SIGTERM and SIGINT end the client through its own quit path: exit status
// 0, "app_close" in the action log, and no single-instance socket left in
// the temporary folder. A second copy started beside the first stays silent
// on the terminal.
#include "platform/terminationsignals.h"
#include "testutil.h"

#include <QDir>
#include <QDirIterator>
#include <QProcess>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

#include <csignal>

class TestTerminationSignals : public QObject
{
    Q_OBJECT

private slots:
    void signalBecomesQueuedRequest_data();
    void signalBecomesQueuedRequest();
    void clientEndsCleanly_data();
    void clientEndsCleanly();
    void secondCopyIsSilent();

private:
    // A client process with a profile of its own in dir.
    void prepare(QProcess &client, const QTemporaryDir &dir);
    static QStringList socketsIn(const QString &folder);
    static bool waitForSocket(const QString &folder, QProcess &client);
    // Starts a prepared client; true once it holds the single-instance socket.
    bool startFirstCopy(QProcess &client, const QTemporaryDir &dir);
    static QString actionLogText(const QString &profile);
};

void TestTerminationSignals::signalBecomesQueuedRequest_data()
{
    QTest::addColumn<int>("signalNumber");
    QTest::newRow("SIGTERM") << int(SIGTERM);
    QTest::newRow("SIGINT") << int(SIGINT);
}

void TestTerminationSignals::signalBecomesQueuedRequest()
{
    QFETCH(int, signalNumber);
    TerminationSignals termination;
    QVERIFY(termination.isActive());
    QSignalSpy requested(&termination, &TerminationSignals::signal_terminationRequested);
    ::raise(signalNumber);
    // Never delivered inside the system handler.
    QCOMPARE(requested.count(), 0);
    QVERIFY(requested.wait(5000));
    QCOMPARE(requested.count(), 1);
    QCOMPARE(requested.first().at(0).toInt(), signalNumber);
}

void TestTerminationSignals::prepare(QProcess &client, const QTemporaryDir &dir)
{
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    const QString root = dir.path();
    for (const char *sub : {"home", "config", "data", "cache", "runtime", "tmp"})
        QDir(root).mkpath(QString::fromLatin1(sub));
    QFile::setPermissions(root + QStringLiteral("/runtime"), QFileDevice::ReadOwner | QFileDevice::WriteOwner
                                                                | QFileDevice::ExeOwner);
    env.insert(QStringLiteral("HOME"), root + QStringLiteral("/home"));
    env.insert(QStringLiteral("XDG_CONFIG_HOME"), root + QStringLiteral("/config"));
    env.insert(QStringLiteral("XDG_DATA_HOME"), root + QStringLiteral("/data"));
    env.insert(QStringLiteral("XDG_CACHE_HOME"), root + QStringLiteral("/cache"));
    env.insert(QStringLiteral("XDG_RUNTIME_DIR"), root + QStringLiteral("/runtime"));
    // The single-instance socket goes to the temporary folder.
    env.insert(QStringLiteral("TMPDIR"), root + QStringLiteral("/tmp"));
    env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    client.setProcessEnvironment(env);
    client.setProgram(TestUtil::binDir() + QStringLiteral("/lessonry-student"));
}

QStringList TestTerminationSignals::socketsIn(const QString &folder)
{
    return QDir(folder).entryList({QStringLiteral("TavroLessonry-*")}, QDir::System | QDir::Files);
}

bool TestTerminationSignals::waitForSocket(const QString &folder, QProcess &client)
{
    for (int i = 0; i < 300; ++i) {
        if (!socketsIn(folder).isEmpty())
            return true;
        if (client.waitForFinished(100))
            return false;
    }
    return false;
}

bool TestTerminationSignals::startFirstCopy(QProcess &client, const QTemporaryDir &dir)
{
    prepare(client, dir);
    client.start();
    return client.waitForStarted() && waitForSocket(dir.filePath(QStringLiteral("tmp")), client);
}

QString TestTerminationSignals::actionLogText(const QString &profile)
{
    QString text;
    QDirIterator it(profile, {QStringLiteral("*.action.log")}, QDir::Files, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        QFile file(it.next());
        if (file.open(QIODevice::ReadOnly))
            text += QString::fromUtf8(file.readAll());
    }
    return text;
}

void TestTerminationSignals::clientEndsCleanly_data()
{
    signalBecomesQueuedRequest_data();
}

void TestTerminationSignals::clientEndsCleanly()
{
    QFETCH(int, signalNumber);
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    QProcess client;
    QVERIFY2(startFirstCopy(client, dir), client.readAllStandardError().constData());
    ::kill(client.processId(), signalNumber);
    QVERIFY(client.waitForFinished(20000));
    QCOMPARE(client.exitStatus(), QProcess::NormalExit);
    QCOMPARE(client.exitCode(), 0);
    QCOMPARE(socketsIn(dir.filePath(QStringLiteral("tmp"))), QStringList());
    QVERIFY(actionLogText(dir.path()).contains(QStringLiteral("app_close,{code:0}")));
}

void TestTerminationSignals::secondCopyIsSilent()
{
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    QProcess first;
    QVERIFY2(startFirstCopy(first, dir), first.readAllStandardError().constData());

    QProcess second;
    prepare(second, dir);
    second.start();
    QVERIFY(second.waitForFinished(20000));
    // It found the first copy and ended; nothing of it reaches the terminal.
    QCOMPARE(second.exitStatus(), QProcess::NormalExit);
    QCOMPARE(second.readAllStandardOutput(), QByteArray());
    QCOMPARE(second.readAllStandardError(), QByteArray());

    ::kill(first.processId(), SIGTERM);
    QVERIFY(first.waitForFinished(20000));
    QCOMPARE(first.exitCode(), 0);
}

QTEST_GUILESS_MAIN(TestTerminationSignals)
#include "tst_terminationsignals.moc"
