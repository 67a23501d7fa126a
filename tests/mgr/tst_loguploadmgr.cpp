#include "lessonservice.h"
#include "mgr/http/httpmgr.h"
#include "mgr/logmgr.h"
#include "mgr/loguploadmgr.h"
#include "mgr/signalqueuemgr.h"
#include "mgr/singleton.h"
#include "mgr/studentcurrentuser.h"
#include "utility/actionlog.h"
#include "utility/appdirs.h"
#include "utility/compressutil.h"
#include "utility/possibleidutil.h"
#include "biz/login/studentlogindataentity.h"

#include <QCryptographicHash>
#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QProcess>
#include <QRegularExpression>
#include <QTest>

namespace {

QString logPath(const QString &name)
{
    return QDir(getLogDir()).filePath(name);
}

void writeFile(const QString &path, const QByteArray &content)
{
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(content);
}

QByteArray readAll(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

QStringList logFiles(const QString &filter)
{
    return QDir(getLogDir()).entryList({ filter }, QDir::Files, QDir::Name);
}

// The archive as Info-ZIP's unzip reads it: entry names in order.
QStringList zipEntries(const QString &zipPath)
{
    QProcess unzip;
    unzip.start(QStringLiteral("unzip"), { QStringLiteral("-Z1"), zipPath });
    if (!unzip.waitForFinished(30000) || unzip.exitStatus() != QProcess::NormalExit || unzip.exitCode() != 0)
        return { QStringLiteral("<unzip failed>") };
    return QString::fromUtf8(unzip.readAllStandardOutput()).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
}

QByteArray zipEntry(const QString &zipPath, const QString &entry)
{
    QProcess unzip;
    unzip.start(QStringLiteral("unzip"), { QStringLiteral("-p"), zipPath, entry });
    if (!unzip.waitForFinished(30000) || unzip.exitStatus() != QProcess::NormalExit || unzip.exitCode() != 0)
        return QByteArray();
    return unzip.readAllStandardOutput();
}

QString fileMd5(const QString &path)
{
    return QString::fromLatin1(QCryptographicHash::hash(readAll(path), QCryptographicHash::Md5).toHex());
}

} // namespace

class TestLogUploadMgr : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanupTestCase();

    void uploadedNameKeepsLastSuffix_data();
    void uploadedNameKeepsLastSuffix();
    void zipKeepsOnlyReadableFiles();
    void zipOfNothingReadableIsNotWritten();

    void loginUploadsUnsentFilesAndRenamesThem();
    void classCloseUploadsToo();
    void failedUploadRenamesNothing();
    void secondTriggerAbortsTheFirstUpload();
    void emptyDumpIsNeverUploaded();

private:
    // Files of a fresh run: three unsent files, one sent, one foreign.
    void writeCandidates();
    QJsonArray uploads();

    LessonService m_service;
    QString m_dump;
};

void TestLogUploadMgr::initTestCase()
{
    QVERIFY(m_service.start());
    Singleton<HttpMgr>::instance()->init();
    PossibleIdUtil::setPossibleId(QStringLiteral("20001"));
    StudentLoginDataEntity student;
    student.id = QStringLiteral("20001");
    Singleton<StudentCurrentUser>::instance()->setUserInfo(student);
    Singleton<LogMgr>::instance()->init();
    Singleton<LogUploadMgr>::instance()->init();
}

void TestLogUploadMgr::init()
{
    QVERIFY(m_service.reset());
    QDir dir(getLogDir());
    const QString current = QFileInfo(Singleton<LogMgr>::instance()->logFilePath()).fileName();
    const QString action = QFileInfo(ActionLog::instance()->filePath()).fileName();
    for (const QFileInfo &entry : dir.entryInfoList(QDir::AllEntries | QDir::NoDotAndDotDot)) {
        if (entry.fileName() == current || entry.fileName() == action)
            continue;
        if (entry.isDir())
            QDir(entry.absoluteFilePath()).removeRecursively();
        else
            QFile::remove(entry.absoluteFilePath());
    }
}

void TestLogUploadMgr::cleanupTestCase()
{
    Singleton<LogMgr>::instance()->closeLogFile();
    ActionLog::instance()->close();
}

void TestLogUploadMgr::writeCandidates()
{
    writeFile(logPath(QStringLiteral("velmo_1.1.5.1_20001_2026-01-02.0.log")), "day log\n");
    writeFile(logPath(QStringLiteral("velmo_1.1.5.1_20001_2026-01-02.0.action.log")), "normal,1,1.1.5.1,1,app_start,{}");
    m_dump = QStringLiteral("velmo_crash_1.1.5.1_20001_1700000000_2023-11-14-19-13-20_321_654.dmp");
    writeFile(logPath(m_dump), QByteArray(50000, 'd'));
    writeFile(logPath(QStringLiteral("velmo_old.uploaded.log")), "sent before\n");
    writeFile(logPath(QStringLiteral("notes.txt")), "not a log\n");
    writeFile(logPath(QStringLiteral("di_1.1.5.1_20001_1_1970-01-01-00-00-01.zip")), "an earlier zip");
}

QJsonArray TestLogUploadMgr::uploads()
{
    QJsonArray result;
    for (const QJsonValue &request : m_service.requests()) {
        if (request.toObject().value(QStringLiteral("path")).toString() == QLatin1String("/QXV1/Public/pcLogUpload"))
            result.append(request);
    }
    return result;
}

void TestLogUploadMgr::uploadedNameKeepsLastSuffix_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("expected");
    QTest::newRow("log") << "velmo_x.log" << "velmo_x.uploaded.log";
    QTest::newRow("action log") << "velmo_a.action.log" << "velmo_a.action.uploaded.log";
    QTest::newRow("dump") << "velmo_crash_1.1.5.1_7_1_2_3_4.dmp" << "velmo_crash_1.1.5.1_7_1_2_3_4.uploaded.dmp";
}

void TestLogUploadMgr::uploadedNameKeepsLastSuffix()
{
    QFETCH(QString, name);
    QFETCH(QString, expected);
    QCOMPARE(Singleton<LogUploadMgr>::instance()->generateUploadedFilePathName(logPath(name)), logPath(expected));
}

void TestLogUploadMgr::zipKeepsOnlyReadableFiles()
{
    const QString a = logPath(QStringLiteral("velmo_a.log"));
    const QString big = logPath(QStringLiteral("velmo_big.log"));
    const QString folder = logPath(QStringLiteral("velmo_folder.log")); // cannot be opened as a file
    const QString missing = logPath(QStringLiteral("velmo_missing.log"));
    writeFile(a, "alpha");
    QByteArray content;
    for (int i = 0; i < 5000; ++i)
        content += QByteArray::number(i) + " line of the log spanning several chunks\n";
    writeFile(big, content);
    QVERIFY(QDir().mkpath(folder));
    // Opens, but its first read fails: packed in part, so not "packed".
    const QString unreadable = logPath(QStringLiteral("velmo_mem.log"));
    QVERIFY(QFile::link(QStringLiteral("/proc/self/mem"), unreadable));

    const QString zip = logPath(QStringLiteral("di_test.zip"));
    QStringList packed;
    QVERIFY(CompressUtil::zipFiles({ a, folder, missing, unreadable, big }, zip, &packed));
    QCOMPARE(packed, QStringList({ a, big }));
    QCOMPARE(zipEntries(zip), QStringList({ QStringLiteral("velmo_a.log"), QStringLiteral("velmo_mem.log"),
                                            QStringLiteral("velmo_big.log") }));
    QCOMPARE(zipEntry(zip, QStringLiteral("velmo_a.log")), QByteArray("alpha"));
    QCOMPARE(zipEntry(zip, QStringLiteral("velmo_big.log")), content);
}

void TestLogUploadMgr::zipOfNothingReadableIsNotWritten()
{
    const QString zip = logPath(QStringLiteral("di_empty.zip"));
    QStringList packed{ QStringLiteral("stale") };
    QVERIFY(!CompressUtil::zipFiles({}, zip, &packed));
    QVERIFY(!CompressUtil::zipFiles({ logPath(QStringLiteral("velmo_missing.log")) }, zip, &packed));
    QVERIFY(packed.isEmpty());
    QVERIFY(!QFile::exists(zip));
    QVERIFY(!CompressUtil::zipFiles({ logPath(QStringLiteral("velmo_a.log")) },
                                    logPath(QStringLiteral("no/such/folder/x.zip"))));
}

void TestLogUploadMgr::loginUploadsUnsentFilesAndRenamesThem()
{
    writeCandidates();
    const QString unreadable = logPath(QStringLiteral("velmo_unreadable.log"));
    QVERIFY(QDir().mkpath(unreadable));
    const QString cutShort = logPath(QStringLiteral("velmo_mem.log")); // opens, then fails to read
    QVERIFY(QFile::link(QStringLiteral("/proc/self/mem"), cutShort));
    const qint64 before = QDateTime::currentSecsSinceEpoch();

    SignalQueueMgr::instance()->signalOnLoginOk();

    // The logger has moved on to a new pair of files, which stay.
    const QString currentLog = QFileInfo(Singleton<LogMgr>::instance()->logFilePath()).fileName();
    const QString currentAction = QFileInfo(ActionLog::instance()->filePath()).fileName();
    const QStringList zips = logFiles(QStringLiteral("di_*.zip"));
    QCOMPARE(zips.size(), 1);
    const QRegularExpressionMatch name = QRegularExpression(
        QStringLiteral("^di_1\\.1\\.5\\.1_20001_(\\d+)_(\\d{4}-\\d\\d-\\d\\d-\\d\\d-\\d\\d-\\d\\d)\\.zip$")).match(zips.first());
    QVERIFY2(name.hasMatch(), qPrintable(zips.first()));
    const qint64 seconds = name.captured(1).toLongLong();
    QVERIFY(seconds >= before && seconds <= QDateTime::currentSecsSinceEpoch());
    QCOMPARE(name.captured(2), QDateTime::fromSecsSinceEpoch(seconds).toString(QStringLiteral("yyyy-MM-dd-hh-mm-ss")));

    const QString zip = logPath(zips.first());
    QStringList entries = zipEntries(zip);
    // Both are new and empty: nothing of them to send yet.
    QVERIFY(!entries.contains(currentAction));
    QVERIFY(!entries.contains(currentLog));
    // The files of earlier starts of this test process are logs as well.
    QStringList expected{ QStringLiteral("velmo_1.1.5.1_20001_2026-01-02.0.action.log"),
                          QStringLiteral("velmo_1.1.5.1_20001_2026-01-02.0.log"), m_dump,
                          QStringLiteral("velmo_mem.log") };
    for (const QString &entry : qAsConst(entries))
        QVERIFY2(expected.contains(entry) || entry.startsWith(QLatin1String("velmo_1.1.5.1_20001_")), qPrintable(entry));
    for (const QString &file : expected)
        QVERIFY2(entries.contains(file), qPrintable(file));
    QCOMPARE(zipEntry(zip, m_dump), QByteArray(50000, 'd'));

    QTRY_COMPARE(uploads().size(), 1);
    const QJsonObject request = uploads().first().toObject();
    const QJsonObject form = request.value(QStringLiteral("form")).toObject();
    QCOMPARE(form.value(QStringLiteral("source")).toString(), QStringLiteral("12"));
    QCOMPARE(form.value(QStringLiteral("user_id")).toString(), QStringLiteral("20001"));
    QVERIFY(qAbs(form.value(QStringLiteral("time")).toString().toLongLong() - seconds) <= 2);
    const QJsonObject part = request.value(QStringLiteral("files")).toArray().first().toObject();
    QCOMPARE(part.value(QStringLiteral("field")).toString(), QStringLiteral("appLog"));
    QCOMPARE(part.value(QStringLiteral("md5")).toString(), fileMd5(zip));

    QTRY_VERIFY(QFile::exists(logPath(QStringLiteral("velmo_1.1.5.1_20001_2026-01-02.0.uploaded.log"))));
    QVERIFY(QFile::exists(logPath(QStringLiteral("velmo_1.1.5.1_20001_2026-01-02.0.action.uploaded.log"))));
    QVERIFY(QFile::exists(logPath(QStringLiteral("velmo_crash_1.1.5.1_20001_1700000000_2023-11-14-19-13-20_321_654.uploaded.dmp"))));
    QVERIFY(!QFile::exists(logPath(m_dump)));
    QVERIFY(QFile::exists(logPath(QStringLiteral("notes.txt"))));
    QVERIFY(!QFile::exists(logPath(QStringLiteral("di_1.1.5.1_20001_1_1970-01-01-00-00-01.zip"))));
    // Not readable: neither packed nor renamed. Sent cut short: renamed
    // not, so the next run sends it again.
    QVERIFY(QFileInfo(unreadable).isDir());
    QVERIFY(QFileInfo(cutShort).isSymLink());
    QVERIFY(!QFileInfo::exists(logPath(QStringLiteral("velmo_mem.uploaded.log"))));

    // The action log in use keeps its name, and its later records are
    // still in the file the next upload sends.
    QVERIFY(QFile::exists(logPath(currentAction)));
    ActionLog::instance()->NormalInfo(QStringLiteral("after_upload"), QStringLiteral("{}"));
    QVERIFY(readAll(logPath(currentAction)).contains("after_upload"));
}

void TestLogUploadMgr::classCloseUploadsToo()
{
    writeFile(logPath(QStringLiteral("velmo_class.log")), "class\n");
    SignalQueueMgr::instance()->signalClassroomClose();
    QTRY_COMPARE(uploads().size(), 1);
    QTRY_VERIFY(QFile::exists(logPath(QStringLiteral("velmo_class.uploaded.log"))));
}

void TestLogUploadMgr::failedUploadRenamesNothing()
{
    writeCandidates();
    QVERIFY(m_service.setFault(QStringLiteral("/QXV1/Public/pcLogUpload"), QStringLiteral("status"),
                               { { QStringLiteral("status"), 500 }, { QStringLiteral("times"), 1 } }));
    Singleton<LogUploadMgr>::instance()->startUploading();
    QTRY_COMPARE(uploads().size(), 1);
    QTest::qWait(200);
    QVERIFY(QFile::exists(logPath(m_dump)));
    QVERIFY(QFile::exists(logPath(QStringLiteral("velmo_1.1.5.1_20001_2026-01-02.0.log"))));

    // The next run sends the same files again and renames them then.
    Singleton<LogUploadMgr>::instance()->startUploading();
    const QStringList zips = logFiles(QStringLiteral("di_*.zip"));
    QCOMPARE(zips.size(), 1);
    QVERIFY(zipEntries(logPath(zips.first())).contains(m_dump));
    QTRY_COMPARE(uploads().size(), 2);
    QTRY_VERIFY(!QFile::exists(logPath(m_dump)));
}

void TestLogUploadMgr::secondTriggerAbortsTheFirstUpload()
{
    writeCandidates();
    QVERIFY(m_service.setFault(QStringLiteral("/QXV1/Public/pcLogUpload"), QStringLiteral("delay"),
                               { { QStringLiteral("delay_ms"), 3000 }, { QStringLiteral("times"), 1 } }));
    SignalQueueMgr::instance()->signalOnLoginOk();
    QTRY_COMPARE(uploads().size(), 1);
    writeFile(logPath(QStringLiteral("velmo_new.log")), "written between the two\n");
    SignalQueueMgr::instance()->signalClassroomClose();

    const QStringList zips = logFiles(QStringLiteral("di_*.zip"));
    QCOMPARE(zips.size(), 1);
    const QStringList entries = zipEntries(logPath(zips.first()));
    QVERIFY(entries.contains(m_dump));
    QVERIFY(entries.contains(QStringLiteral("velmo_new.log")));
    QTRY_VERIFY(QFile::exists(logPath(QStringLiteral("velmo_new.uploaded.log"))));
    QVERIFY(QFile::exists(logPath(QStringLiteral("velmo_crash_1.1.5.1_20001_1700000000_2023-11-14-19-13-20_321_654.uploaded.dmp"))));
}

// A dump left empty (written on a full disk by an older client) is not
// packed: it is removed, and the other files go as before.
void TestLogUploadMgr::emptyDumpIsNeverUploaded()
{
    const QString empty = QStringLiteral("velmo_frozen_1.1.5.1_20001_1700000001_2023-11-14-19-13-21_321_654.dmp");
    writeFile(logPath(empty), QByteArray());
    writeFile(logPath(QStringLiteral("velmo_1.1.5.1_20001_2026-01-05.0.log")), "day log\n");
    SignalQueueMgr::instance()->signalOnLoginOk();
    QTRY_COMPARE(uploads().size(), 1);
    const QStringList zips = logFiles(QStringLiteral("di_*.zip"));
    QCOMPARE(zips.size(), 1);
    const QStringList entries = zipEntries(logPath(zips.first()));
    QVERIFY(entries.contains(QStringLiteral("velmo_1.1.5.1_20001_2026-01-05.0.log")));
    QVERIFY(!entries.contains(empty));
    QVERIFY(!QFileInfo::exists(logPath(empty)));
    QTRY_VERIFY(QFile::exists(logPath(QStringLiteral("velmo_1.1.5.1_20001_2026-01-05.0.uploaded.log"))));
}

QTEST_GUILESS_MAIN(TestLogUploadMgr)
#include "tst_loguploadmgr.moc"
