#include "platform/filesearch.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

class TestFileSearch : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void findsByWildcard_data();
    void findsByWildcard();
    void missingFolderGivesNothing();

private:
    QTemporaryDir m_dir;
};

void TestFileSearch::initTestCase()
{
    QVERIFY(m_dir.isValid());
    const QStringList files = {"velmo_1.1.5.1_1234_2017-11-15.0.log",
                               "velmo_1.1.5.1_1234_2017-11-15.0.action.log",
                               "VELMO_1.1.5.1_99_2017-11-15.1.LOG",
                               "velmo_1.1.5.1_1234_2017-11-14.0.log",
                               "other.txt",
                               "a[1].log",
                               "ab.log"};
    for (const QString &name : files) {
        QFile file(m_dir.filePath(name));
        QVERIFY(file.open(QIODevice::WriteOnly));
    }
    QVERIFY(QDir(m_dir.path()).mkdir(QStringLiteral("velmo_folder_2017-11-15.log")));
}

void TestFileSearch::findsByWildcard_data()
{
    QTest::addColumn<QString>("pattern");
    QTest::addColumn<QStringList>("names");
    QTest::newRow("day's logs, case ignored")
        << "velmo_*2017-11-15*.log"
        << QStringList{"VELMO_1.1.5.1_99_2017-11-15.1.LOG", "velmo_1.1.5.1_1234_2017-11-15.0.action.log",
                       "velmo_1.1.5.1_1234_2017-11-15.0.log", "velmo_folder_2017-11-15.log"};
    QTest::newRow("question mark is one character") << "a?.log" << QStringList{"ab.log"};
    QTest::newRow("brackets are plain characters") << "a[1].log" << QStringList{"a[1].log"};
    QTest::newRow("whole name must match") << "other" << QStringList();
    QTest::newRow("nothing matches") << "*.zip" << QStringList();
}

void TestFileSearch::findsByWildcard()
{
    QFETCH(QString, pattern);
    QFETCH(QStringList, names);
    QStringList found;
    for (const QFileInfo &entry : findFilesByPattern(m_dir.filePath(pattern)))
        found << entry.fileName();
    found.sort(Qt::CaseSensitive);
    names.sort(Qt::CaseSensitive);
    QCOMPARE(found, names);
}

void TestFileSearch::missingFolderGivesNothing()
{
    QVERIFY(findFilesByPattern(m_dir.filePath(QStringLiteral("missing/*.log"))).isEmpty());
    QVERIFY(findFilesByPattern(m_dir.path() + QLatin1Char('/')).isEmpty());
}

QTEST_GUILESS_MAIN(TestFileSearch)

#include "tst_filesearch.moc"
