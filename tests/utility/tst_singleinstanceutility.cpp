#include "utility/singleinstanceutility.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QStandardPaths>
#include <QtTest>

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

} // namespace

class TestSingleInstanceUtility : public QObject
{
    Q_OBJECT

private slots:
    void titlesComeFromLanguageDocument();
    void secondCopyRaisesFirstAndEnds();
};

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
    first.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    first.start(clientPath(), QStringList());
    QVERIFY(first.waitForStarted());
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
    first.kill();
    QVERIFY(first.waitForFinished());
    QProcess third;
    third.start(clientPath(), QStringList());
    QVERIFY(third.waitForStarted());
    QTRY_COMPARE_WITH_TIMEOUT(appStarts(), 2, 30000);
    QCOMPARE(third.state(), QProcess::Running);
    third.kill();
    QVERIFY(third.waitForFinished());
}

QTEST_GUILESS_MAIN(TestSingleInstanceUtility)

#include "tst_singleinstanceutility.moc"
