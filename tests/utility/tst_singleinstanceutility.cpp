#include "mgr/logmgr.h"
#include "utility/singleinstanceutility.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QStandardPaths>
#include <QTest>

#include <signal.h>

// Starts the real student client several times in one data folder.
namespace {

QString clientPath()
{
    return QStringLiteral(LESSONRY_BIN_DIR "/lessonry-student");
}

QString clientLogDir()
{
    return QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation) + QStringLiteral("/lessonry-student/log");
}

// Text of every file of the client's log folder matching suffix.
QString readLogs(const QString &suffix)
{
    QString text;
    QDir dir(clientLogDir());
    for (const QString &name : dir.entryList(QDir::Files, QDir::Name)) {
        if (!name.endsWith(suffix) || (suffix == QLatin1String(".log") && name.endsWith(QLatin1String(".action.log"))))
            continue;
        QFile file(dir.filePath(name));
        if (file.open(QIODevice::ReadOnly))
            text += QString::fromUtf8(file.readAll());
    }
    return text;
}

int appStarts()
{
    return readLogs(QStringLiteral(".action.log")).count(QLatin1String(",app_start,{StudentApplication}"));
}

// The message log of the copy that started n-th (0 first) in a clean folder.
QString messageLogOfStart(int n)
{
    QDir dir(clientLogDir());
    for (const QString &name : dir.entryList({QStringLiteral("*.log")}, QDir::Files)) {
        if (!name.endsWith(QLatin1String(".action.log")) && LogMgr::sequenceOf(name) == n) {
            QFile file(dir.filePath(name));
            return file.open(QIODevice::ReadOnly) ? QString::fromUtf8(file.readAll()) : QString();
        }
    }
    return QString();
}

void startClient(QProcess &process)
{
    process.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    process.start(clientPath(), QStringList());
    QVERIFY(process.waitForStarted());
}

void stop(QProcess &process)
{
    if (process.state() == QProcess::NotRunning)
        return;
    ::kill(pid_t(process.processId()), SIGCONT);
    process.kill();
    QVERIFY(process.waitForFinished());
}

} // namespace

class TestSingleInstanceUtility : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void titlesComeFromLanguageDocument();
    void secondCopyRaisesFirstAndEnds();
    void unansweringCopyCountsAsNotFound();
};

void TestSingleInstanceUtility::init()
{
    QDir(clientLogDir()).removeRecursively();
}

void TestSingleInstanceUtility::titlesComeFromLanguageDocument()
{
    const QStringList titles = SingleInstanceUtility::appWindowTitles();
    QCOMPARE(titles.size(), 3);
    for (const QString &title : titles)
        QVERIFY(!title.isEmpty());
}

void TestSingleInstanceUtility::secondCopyRaisesFirstAndEnds()
{
    QProcess first;
    startClient(first);
    QTRY_COMPARE_WITH_TIMEOUT(appStarts(), 1, 30000);

    QProcess second;
    second.start(clientPath(), QStringList());
    QVERIFY(second.waitForFinished(30000));
    QCOMPARE(second.exitStatus(), QProcess::NormalExit);
    QCOMPARE(second.exitCode(), 255); // -1
    QCOMPARE(appStarts(), 1);
    QTRY_VERIFY_WITH_TIMEOUT(readLogs(QStringLiteral(".log")).contains(QLatin1String("asked to raise a window, found:")), 10000);
    QVERIFY(!readLogs(QStringLiteral(".log")).contains(QLatin1String("found:\n")));
    QCOMPARE(first.state(), QProcess::Running);

    // A copy that crashed leaves its lock behind; the next one starts anyway.
    stop(first);
    QProcess third;
    startClient(third);
    QTRY_COMPARE_WITH_TIMEOUT(appStarts(), 2, 30000);
    QCOMPARE(third.state(), QProcess::Running);
    stop(third);
}

void TestSingleInstanceUtility::unansweringCopyCountsAsNotFound()
{
    QProcess first;
    startClient(first);
    QTRY_COMPARE_WITH_TIMEOUT(appStarts(), 1, 30000);

    // The first copy hangs: the next one gives up waiting and starts fully.
    QCOMPARE(::kill(pid_t(first.processId()), SIGSTOP), 0);
    QProcess second;
    startClient(second);
    QTRY_COMPARE_WITH_TIMEOUT(appStarts(), 2, 30000);
    QCOMPARE(second.state(), QProcess::Running);

    // Once the first copy answers again, it is the one a third copy reaches:
    // the second, which does not hold the lock, took nothing over.
    QCOMPARE(::kill(pid_t(first.processId()), SIGCONT), 0);
    QProcess third;
    third.start(clientPath(), QStringList());
    QVERIFY(third.waitForFinished(30000));
    QCOMPARE(third.exitCode(), 255); // -1
    QCOMPARE(appStarts(), 2);
    QVERIFY(!messageLogOfStart(1).contains(QLatin1String("asked to raise a window")));
    QTRY_VERIFY_WITH_TIMEOUT(messageLogOfStart(0).contains(QLatin1String("asked to raise a window")), 10000);

    stop(second);
    stop(first);
}

QTEST_GUILESS_MAIN(TestSingleInstanceUtility)

#include "tst_singleinstanceutility.moc"
