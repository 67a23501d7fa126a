// The whole's progress of files downloaded one after another: equal
// shares, a finished file counted once, a start from files already there,
// and a run without files.

#include "messagecatcher.h"

#include "utility/downloadsequenceprogress.h"

#include <QTest>

class TestDownloadSequenceProgress : public QObject
{
    Q_OBJECT

private slots:
    void wholeFollowsTheFiles_data();
    void wholeFollowsTheFiles();
    void noFilesTellsNothing();
};

void TestDownloadSequenceProgress::wholeFollowsTheFiles_data()
{
    QTest::addColumn<int>("files");
    QTest::addColumn<int>("already");
    // Reports of the file under way; "next" begins the next file.
    QTest::addColumn<QStringList>("reports");
    QTest::addColumn<QList<int>>("wholes");

    QTest::newRow("two halves") << 2 << 0 << QStringList{ "50", "100", "next", "40", "100" }
                                << QList<int>{ 25, 50, 70, 100 };
    QTest::newRow("thirds are cut, not rounded") << 3 << 0 << QStringList{ "100", "next", "100", "next", "100" }
                                                 << QList<int>{ 33, 66, 99 };
    QTest::newRow("a repeated whole counts once") << 2 << 0 << QStringList{ "100", "100", "next", "100" }
                                                  << QList<int>{ 50, -1, 100 };
    QTest::newRow("from files already there") << 4 << 50 << QStringList{ "50", "100", "next", "100" }
                                              << QList<int>{ 62, 75, 100 };
}

void TestDownloadSequenceProgress::wholeFollowsTheFiles()
{
    QFETCH(int, files);
    QFETCH(int, already);
    QFETCH(QStringList, reports);
    QFETCH(QList<int>, wholes);
    DownloadSequenceProgress progress("test:");
    progress.start(files, already);
    progress.nextFile();
    QList<int> seen;
    for (const QString &report : reports) {
        if (report == QLatin1String("next"))
            progress.nextFile();
        else
            seen << progress.update(report.toDouble());
    }
    QCOMPARE(seen, wholes);
    QCOMPARE(progress.fileCount(), files);
}

void TestDownloadSequenceProgress::noFilesTellsNothing()
{
    MessageCatcher catcher;
    DownloadSequenceProgress progress("resourcedownload:");
    progress.start(0);
    QCOMPARE(progress.update(100), -1);
    QVERIFY(catcher.has(QtCriticalMsg, QStringLiteral("resourcedownload:cnt is 0")));
    QCOMPARE(progress.percent(), 0);
}

QTEST_MAIN(TestDownloadSequenceProgress)
#include "tst_downloadsequenceprogress.moc"
