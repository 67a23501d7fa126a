#include "mgr/logmgr.h"
#include "utility/stringutility.h"
#include "mgr/singleton.h"
#include "utility/actionlog.h"
#include "utility/appdirs.h"
#include "utility/possibleidutil.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QRegularExpression>
#include <QSettings>
#include <QThread>
#include <QTest>

#include <thread>

namespace {

QString today()
{
    return LogMgr::beiJingTime(QStringLiteral("yyyy-MM-dd"), QDateTime::currentMSecsSinceEpoch());
}

void clearLogDir()
{
    QDir dir(getLogDir());
    for (const QString &name : dir.entryList(QDir::Files))
        dir.remove(name);
}

void touch(const QString &name)
{
    QFile file(QDir(getLogDir()).filePath(name));
    QVERIFY(file.open(QIODevice::WriteOnly));
}

QString readAll(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return QString();
    return QString::fromUtf8(file.readAll());
}

// "<ms> <yyyyMMdd hh:mm:ss.zzz> - <level> - <thread> - <function>:<line> - <message>"
const QRegularExpression kRecord(QStringLiteral(
    "^(\\d+) (\\d{8} \\d\\d:\\d\\d:\\d\\d\\.\\d{3}) - (D|I|W|E|FATAL) - (\\d+) - (.*):(\\d+) - (.*)$"));

} // namespace

class TestLogMgr : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanupTestCase();

    void handlerRemovedWithTheObject();
    void sequenceOf_data();
    void sequenceOf();
    void levelAndFunctionTexts();
    void baseNameOfUserDateAndSequence();
    void baseNameKeepsUserIdInsideLogFolder_data();
    void baseNameKeepsUserIdInsideLogFolder();
    void nextSequence_data();
    void nextSequence();
    void recordTimeIsBeiJingTime();
    void recordTimeAcrossSeconds_data();
    void recordTimeAcrossSeconds();
    void recordWithoutFunctionAndNonAsciiText();
    void longMessageIsCutWithMarker();
    void recordTextIsUtf8_data();
    void recordTextIsUtf8();

    void initWritesDayFilesWithRecordLines();
    void initAgainOpensNextPairWithoutDuplicateLines();
    void messagesFromThreadsDoNotInterleave();
    void closedLogDropsMessages();
    void crashPathWritesQueuedLinesInOrder();
    void messageAsTheThreadEnds();
    void folderBoundDropsOldestDaysFirst();
    void fullLogGoesOnInTheNextFile();
};

void TestLogMgr::init()
{
    QSettings settings(QSettings::NativeFormat, QSettings::UserScope, QStringLiteral("velmo"),
                       PossibleIdUtil::settingsApplicationName());
    settings.remove(QStringLiteral("PossibleIdUtil.possible.id"));
}

void TestLogMgr::cleanupTestCase()
{
    Singleton<LogMgr>::instance()->closeLogFile();
}

void TestLogMgr::sequenceOf_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<int>("sequence");
    QTest::newRow("message log") << "velmo_1.1.5.1_1234_2017-11-15.3.log" << 3;
    QTest::newRow("action log") << "velmo_1.1.5.1_1234_2017-11-15.3.action.log" << 3;
    QTest::newRow("two digits") << "velmo_1.1.5.1_unknown_2017-11-15.12.log" << 12;
    QTest::newRow("no sequence part") << "velmo_1.1.5.1_1234_2017-11-15.log" << -1;
    QTest::newRow("no dot") << "velmo" << -1;
    QTest::newRow("action without parts") << "action.log" << -1;
    QTest::newRow("uploaded mark") << "velmo_1.1.5.1_1234_2017-11-15.2.uploaded.log" << -1;
}

void TestLogMgr::sequenceOf()
{
    QFETCH(QString, name);
    QFETCH(int, sequence);
    QCOMPARE(LogMgr::sequenceOf(name), sequence);
}

void TestLogMgr::levelAndFunctionTexts()
{
    QCOMPARE(LogMgr::levelText(QtDebugMsg), QStringLiteral("D"));
    QCOMPARE(LogMgr::levelText(QtInfoMsg), QStringLiteral("I"));
    QCOMPARE(LogMgr::levelText(QtWarningMsg), QStringLiteral("W"));
    QCOMPARE(LogMgr::levelText(QtCriticalMsg), QStringLiteral("E"));
    QCOMPARE(LogMgr::levelText(QtFatalMsg), QStringLiteral("FATAL"));
    QCOMPARE(LogMgr::levelText(QtMsgType(42)), QStringLiteral("unknown"));
    QCOMPARE(LogMgr::shortFunctionName(QStringLiteral("void Foo::bar(int)")), QStringLiteral("void Foo::bar"));
    QCOMPARE(LogMgr::shortFunctionName(QStringLiteral("main")), QStringLiteral("main"));
}

void TestLogMgr::baseNameOfUserDateAndSequence()
{
    QCOMPARE(LogMgr::logBaseName(QStringLiteral("2017-11-15"), 3), QStringLiteral("velmo_1.1.5.1_unknown_2017-11-15.3"));
    PossibleIdUtil::setPossibleId(QStringLiteral("1234"));
    QCOMPARE(LogMgr::logBaseName(QStringLiteral("2017-11-15"), 3), QStringLiteral("velmo_1.1.5.1_1234_2017-11-15.3"));
}

void TestLogMgr::baseNameKeepsUserIdInsideLogFolder_data()
{
    QTest::addColumn<QString>("id");
    QTest::addColumn<QString>("part");
    QTest::newRow("phone number") << "13800138000" << "13800138000";
    QTest::newRow("e-mail") << "teacher.one@example.com" << "teacher.one@example.com";
    QTest::newRow("slash") << "../../etc/x" << ".._.._etc_x";
    QTest::newRow("backslash and drive") << "C:\\temp\\x" << "C__temp_x";
    QTest::newRow("only dots") << ".." << "__";
    QTest::newRow("wildcards and quotes") << "a*b?c\"d<e>f|g" << "a_b_c_d_e_f_g";
    QTest::newRow("control character") << QStringLiteral("a\nb") << "a_b";
    // Longer ids are cut to 180 bytes of UTF-8, never inside a character.
    QTest::newRow("long e-mail kept") << QString(170, QLatin1Char('m')) + "@x.cn" << QString(170, QLatin1Char('m')) + "@x.cn";
    QTest::newRow("too long") << QString(300, QLatin1Char('a')) << QString(180, QLatin1Char('a'));
    QTest::newRow("too long, three-byte characters") << QString(100, QChar(0x674E)) << QString(60, QChar(0x674E));
    const QString emoji = QStringLiteral("\U0001F600"); // four bytes, two UTF-16 units
    QTest::newRow("surrogate pair at the cut") << QString(178, QLatin1Char('b')) + emoji + "c"
                                               << QString(178, QLatin1Char('b'));
}

void TestLogMgr::baseNameKeepsUserIdInsideLogFolder()
{
    QFETCH(QString, id);
    QFETCH(QString, part);
    PossibleIdUtil::setPossibleId(id);
    const QString base = LogMgr::logBaseName(QStringLiteral("2017-11-15"), 0);
    QCOMPARE(base, QStringLiteral("velmo_1.1.5.1_%1_2017-11-15.0").arg(part));
    // The files stay directly inside the log folder, and can be written.
    const QFileInfo file(QDir(getLogDir()), base + QStringLiteral(".action.log"));
    QCOMPARE(file.absolutePath(), QFileInfo(getLogDir()).absoluteFilePath());
    QFile created(file.absoluteFilePath());
    QVERIFY2(created.open(QIODevice::WriteOnly), qPrintable(created.errorString()));
    created.remove();
}

void TestLogMgr::nextSequence_data()
{
    QTest::addColumn<QStringList>("files");
    QTest::addColumn<int>("next");
    const QString d = QStringLiteral("2017-11-15");
    QTest::newRow("empty folder") << QStringList() << 0;
    QTest::newRow("0 and 1 in use")
        << QStringList{"velmo_1.1.5.1_1234_" + d + ".0.log", "velmo_1.1.5.1_1234_" + d + ".1.log",
                       "velmo_1.1.5.1_1234_" + d + ".0.action.log"}
        << 2;
    QTest::newRow("action log alone counts")
        << QStringList{"velmo_1.1.5.1_1234_" + d + ".4.action.log"} << 5;
    QTest::newRow("all uploaded")
        << QStringList{"velmo_1.1.5.1_1234_" + d + ".0.uploaded.log", "velmo_1.1.5.1_1234_" + d + ".1.uploaded.log"}
        << 0;
    QTest::newRow("no sequence part") << QStringList{"velmo_1.1.5.1_1234_" + d + ".log"} << 0;
    QTest::newRow("other users and versions count")
        << QStringList{"velmo_1.1.5.0_99_" + d + ".6.log", "velmo_1.1.5.1_1234_" + d + ".2.log"} << 7;
    QTest::newRow("other dates do not count")
        << QStringList{"velmo_1.1.5.1_1234_2017-11-14.9.log", "velmo_1.1.5.1_1234_" + d + ".1.log"} << 2;
    QTest::newRow("case of the name ignored") << QStringList{"VELMO_1.1.5.1_1234_" + d + ".3.LOG"} << 4;
}

void TestLogMgr::nextSequence()
{
    QFETCH(QStringList, files);
    QFETCH(int, next);
    clearLogDir();
    for (const QString &name : files)
        touch(name);
    PossibleIdUtil::setPossibleId(QStringLiteral("1234"));
    QCOMPARE(LogMgr::nextLogBaseName(QStringLiteral("2017-11-15")),
             QStringLiteral("velmo_1.1.5.1_1234_2017-11-15.%1").arg(next));
}

void TestLogMgr::recordTimeIsBeiJingTime()
{
    // TZ is America/Sao_Paulo: a local time would read 21:00 of the day before.
    QCOMPARE(LogMgr::beiJingTime(QStringLiteral("yyyyMMdd hh:mm:ss.zzz"), 0), QStringLiteral("19700101 08:00:00.000"));
    const QMessageLogContext context("file.cpp", 12, "void Foo::bar(int)", "default");
    const QString line = LogMgr::recordLine(1510700000123, QtWarningMsg, 77, context, QStringLiteral("hello"));
    QCOMPARE(line, QStringLiteral("1510700000123 20171115 06:53:20.123 - W - 77 - void Foo::bar:12 - hello\n"));
}

void TestLogMgr::recordTimeAcrossSeconds_data()
{
    QTest::addColumn<QList<qint64>>("instants");
    // The date-time text of a second is reused: each line must still show
    // its own second and milliseconds, whatever order the instants come in.
    QTest::newRow("within one second") << QList<qint64>{1510700000000, 1510700000007, 1510700000999};
    QTest::newRow("into the next second") << QList<qint64>{1510700000999, 1510700001000, 1510700001001};
    QTest::newRow("back in time") << QList<qint64>{1510700001500, 1510700000500, 1510700001500};
    QTest::newRow("across the Beijing midnight") << QList<qint64>{1510761599999, 1510761600000};
    QTest::newRow("across a year") << QList<qint64>{1514735999999, 1514736000000};
    QTest::newRow("epoch") << QList<qint64>{0, 1, 999, 1000};
}

void TestLogMgr::recordTimeAcrossSeconds()
{
    QFETCH(QList<qint64>, instants);
    const QMessageLogContext context("file.cpp", 1, "f()", "default");
    for (const qint64 ms : instants) {
        const QString line = LogMgr::recordLine(ms, QtInfoMsg, 1, context, QStringLiteral("x"));
        QCOMPARE(line, QStringLiteral("%1 %2 - I - 1 - f:1 - x\n")
                           .arg(ms)
                           .arg(LogMgr::beiJingTime(QStringLiteral("yyyyMMdd hh:mm:ss.zzz"), ms)));
    }
}

void TestLogMgr::recordWithoutFunctionAndNonAsciiText()
{
    const QMessageLogContext context(nullptr, 0, nullptr, nullptr);
    QCOMPARE(LogMgr::recordLine(1510700000123, QtCriticalMsg, 5, context, QStringLiteral("课表 – ok")),
             QStringLiteral("1510700000123 20171115 06:53:20.123 - E - 5 - :0 - 课表 – ok\n"));
    const QMessageLogContext noParen("file.cpp", 9, "main", "default");
    QCOMPARE(LogMgr::recordLine(1510700000123, QtMsgType(42), 5, noParen, QString()),
             QStringLiteral("1510700000123 20171115 06:53:20.123 - unknown - 5 - main:9 - \n"));
}

// A record carries a bounded part of a long text, then the marker.
void TestLogMgr::longMessageIsCutWithMarker()
{
    const QMessageLogContext context(nullptr, 0, nullptr, nullptr);
    const QString message = QStringLiteral("receiveMsg json:") + QString(2000000, QLatin1Char('z'));
    const QString line = LogMgr::recordLine(1510700000123, QtInfoMsg, 5, context, message);
    QVERIFY(line.startsWith(QStringLiteral("1510700000123 20171115 06:53:20.123 - I - 5 - :0 - receiveMsg json:zzz")));
    QVERIFY(line.endsWith(QStringLiteral("z...[cut: %1 chars in all]\n").arg(message.size())));
    QVERIFY(line.size() < StringUtility::kMaxLogRecordChars + 200);
    // One that fits is written whole.
    const QString fits(StringUtility::kMaxLogRecordChars, QLatin1Char('w'));
    QVERIFY(LogMgr::recordLine(1510700000123, QtInfoMsg, 5, context, fits).endsWith(fits + QLatin1Char('\n')));
}

// The message goes into the record as the UTF-8 encoder makes it, wherever
// the first character outside ASCII stands, after what the buffer held.
void TestLogMgr::recordTextIsUtf8_data()
{
    QTest::addColumn<QString>("text");
    QTest::newRow("empty") << QString();
    QTest::newRow("ascii") << QStringLiteral("slot_onSuccess_login uid:1234\ttab");
    QTest::newRow("first character") << QStringLiteral("课表 ok");
    QTest::newRow("in the middle") << QStringLiteral("class 课表 – ok");
    QTest::newRow("last character") << QStringLiteral("price 5€");
    QTest::newRow("latin-1") << QStringLiteral("caf\u00e9 na\u00efve");
    QTest::newRow("surrogate pair") << (QStringLiteral("smile ") + QString::fromUcs4(U"\U0001F600") + QStringLiteral(" end"));
    QTest::newRow("lone surrogate") << (QStringLiteral("broken ") + QChar(0xD800) + QStringLiteral(" end"));
}

void TestLogMgr::recordTextIsUtf8()
{
    QFETCH(QString, text);
    const QMessageLogContext context("file.cpp", 7, "void Foo::bar(int)", "default");
    const QByteArray prefix("earlier bytes\n");
    QByteArray line = prefix;
    LogMgr::appendRecord(line, 1510700000123, QtInfoMsg, 3, context, text);
    QCOMPARE(line, prefix + QByteArray("1510700000123 20171115 06:53:20.123 - I - 3 - void Foo::bar:7 - ") + text.toUtf8() + '\n');
}

void TestLogMgr::initWritesDayFilesWithRecordLines()
{
    clearLogDir();
    LogMgr *log = Singleton<LogMgr>::instance();
    log->init();
    const QString base = QStringLiteral("velmo_1.1.5.1_unknown_%1.0").arg(today());
    QCOMPARE(QFileInfo(log->logFilePath()).fileName(), base + QStringLiteral(".log"));
    QVERIFY(QFileInfo::exists(QDir(getLogDir()).filePath(base + QStringLiteral(".action.log"))));

    qInfo("first %s", "message");
    qWarning("second");
    log->flush();

    const QStringList lines = readAll(log->logFilePath()).split(QLatin1Char('\n'));
    // Each record is preceded by a line break: empty lines separate them.
    QVERIFY(lines.size() >= 5);
    QCOMPARE(lines.at(0), QString());
    const QRegularExpressionMatch first = kRecord.match(lines.at(1));
    QVERIFY2(first.hasMatch(), qPrintable(lines.at(1)));
    QCOMPARE(first.captured(3), QStringLiteral("I"));
    QVERIFY(first.captured(5).endsWith(QLatin1String("TestLogMgr::initWritesDayFilesWithRecordLines")));
    QCOMPARE(first.captured(7), QStringLiteral("first message"));
    QCOMPARE(lines.at(2), QString());
    const QRegularExpressionMatch second = kRecord.match(lines.at(3));
    QVERIFY(second.hasMatch());
    QCOMPARE(second.captured(3), QStringLiteral("W"));
    QCOMPARE(second.captured(7), QStringLiteral("second"));
    const qint64 ms = first.captured(1).toLongLong();
    QCOMPARE(first.captured(2), LogMgr::beiJingTime(QStringLiteral("yyyyMMdd hh:mm:ss.zzz"), ms));
}

void TestLogMgr::initAgainOpensNextPairWithoutDuplicateLines()
{
    clearLogDir();
    LogMgr *log = Singleton<LogMgr>::instance();
    log->init();
    const QString firstPath = log->logFilePath();
    log->closeLogFile();
    log->init();
    const QString secondPath = log->logFilePath();
    QVERIFY(firstPath != secondPath);
    QCOMPARE(LogMgr::sequenceOf(QFileInfo(firstPath).fileName()) + 1, LogMgr::sequenceOf(QFileInfo(secondPath).fileName()));

    qInfo("only once");
    log->flush();
    QCOMPARE(readAll(secondPath).count(QStringLiteral(" - only once")), 1);
    QCOMPARE(readAll(firstPath).count(QStringLiteral(" - only once")), 0);
}

void TestLogMgr::messagesFromThreadsDoNotInterleave()
{
    clearLogDir();
    LogMgr *log = Singleton<LogMgr>::instance();
    log->init();
    const int threadCount = 4;
    const int perThread = 300;
    QList<QThread *> threads;
    for (int t = 0; t < threadCount; ++t) {
        threads << QThread::create([t]() {
            for (int i = 0; i < perThread; ++i)
                qInfo("thread %d line %d %s", t, i, "xxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxx");
        });
        threads.last()->start();
    }
    for (QThread *thread : threads) {
        QVERIFY(thread->wait(30000));
        delete thread;
    }
    log->flush();
    int records = 0;
    for (const QString &line : readAll(log->logFilePath()).split(QLatin1Char('\n'))) {
        if (line.isEmpty())
            continue;
        QVERIFY2(kRecord.match(line).hasMatch(), qPrintable(line));
        if (line.contains(QLatin1String(" line ")))
            ++records;
    }
    QCOMPARE(records, threadCount * perThread);
}

void TestLogMgr::closedLogDropsMessages()
{
    clearLogDir();
    LogMgr *log = Singleton<LogMgr>::instance();
    log->init();
    const QString path = log->logFilePath();
    log->closeLogFile();
    qInfo("after close");
    log->flush();
    QVERIFY(!readAll(path).contains(QLatin1String("after close")));
}

void TestLogMgr::handlerRemovedWithTheObject()
{
    clearLogDir();
    // Runs first, while the test framework's own handler is installed.
    QtMessageHandler before = qInstallMessageHandler(nullptr);
    qInstallMessageHandler(before);
    {
        LogMgr local;
        local.init();
        local.init(); // a second pass must not lose the original handler
        qInfo("into the local log");
    }
    QtMessageHandler after = qInstallMessageHandler(nullptr);
    qInstallMessageHandler(after);
    QVERIFY(after != &LogMgr::messageHandler);
    QVERIFY(after == before);
    qInfo("logged after the object is gone"); // must not crash
}

// A crash must not lose the lines logged before it: the crash handler
// writes what the log's writer has not yet written, in order, before its
// own records, and the writer then leaves those lines alone.
void TestLogMgr::crashPathWritesQueuedLinesInOrder()
{
    clearLogDir();
    LogMgr *log = Singleton<LogMgr>::instance();
    log->init();
    qInfo("written before the hold");
    log->flush();
    log->holdWriterForTests(true);
    for (int i = 0; i < 3; ++i)
        qInfo("queued %d", i);
    QVERIFY(!readAll(log->logFilePath()).contains(QLatin1String(" - queued 0\n")));

    LogMgr::writePendingForCrash();
    const QString crashed = readAll(log->logFilePath());
    int at = crashed.indexOf(QLatin1String(" - written before the hold\n"));
    QVERIFY(at >= 0);
    for (int i = 0; i < 3; ++i) {
        const int next = crashed.indexOf(QStringLiteral(" - queued %1\n").arg(i));
        QVERIFY2(next > at, qPrintable(crashed));
        at = next;
    }

    log->holdWriterForTests(false);
    qInfo("after the crash path");
    log->flush();
    const QString text = readAll(log->logFilePath());
    QCOMPARE(text.count(QLatin1String(" - queued ")), 3);
    QVERIFY(text.indexOf(QLatin1String(" - after the crash path\n")) > at);
}

// An object of the thread made before its first message is destroyed after
// the thread's line buffer when the thread ends (as a singleton is after it
// at the program's exit); its message still reaches the file whole.
void TestLogMgr::messageAsTheThreadEnds()
{
    clearLogDir();
    LogMgr *log = Singleton<LogMgr>::instance();
    log->init();
    struct LogsWhenDestroyed
    {
        ~LogsWhenDestroyed() { qInfo("last words %s", "xxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxx"); }
    };
    // Joined, not waited for: the thread's objects go after its function.
    std::thread thread([] {
        thread_local LogsWhenDestroyed last;
        Q_UNUSED(last)
        for (int i = 0; i < 3; ++i)
            qInfo("working %d", i);
    });
    thread.join();
    qInfo("after the thread");
    log->flush();
    const QString text = readAll(log->logFilePath());
    QVERIFY2(text.contains(QLatin1String(" - last words xxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxx\n")), qPrintable(text));
    QVERIFY(text.contains(QLatin1String(" - after the thread\n")));
}

// Opening the day's files keeps the whole folder within its bound: the
// oldest files (earlier days' logs, dumps, zips) go first, the files just
// opened stay whatever their size.
void TestLogMgr::folderBoundDropsOldestDaysFirst()
{
    clearLogDir();
    const QDir dir(getLogDir());
    QVERIFY(dir.mkpath(QStringLiteral(".")));
    const qint64 piece = LogMgr::kMaxLogFolderBytes / 4;
    const QDateTime now = QDateTime::currentDateTime();
    const QStringList names{ QStringLiteral("velmo_1.1.5.1_1_2026-01-01.0.log"), QStringLiteral("velmo_crash_x.dmp"),
                             QStringLiteral("velmo_1.1.5.1_1_2026-01-03.0.uploaded.log"),
                             QStringLiteral("velmo_1.1.5.1_1_2026-01-04.0.action.log"),
                             QStringLiteral("di_1.1.5.1_1_5_x.zip") };
    // Written oldest first, a day apart: five quarters of the bound.
    for (int i = 0; i < names.size(); ++i) {
        QFile file(dir.filePath(names.at(i)));
        QVERIFY(file.open(QIODevice::WriteOnly));
        QVERIFY(file.resize(piece));
        QVERIFY(file.flush());
        QVERIFY(file.setFileTime(now.addDays(i - names.size()), QFileDevice::FileModificationTime));
    }
    LogMgr *log = Singleton<LogMgr>::instance();
    log->openLogFiles();
    QVERIFY(QFileInfo::exists(log->logFilePath()));
    QVERIFY(QFileInfo::exists(ActionLog::instance()->filePath()));
    qint64 total = 0;
    for (const QFileInfo &file : dir.entryInfoList(QDir::Files))
        total += file.size();
    QVERIFY2(total <= LogMgr::kMaxLogFolderBytes, qPrintable(QString::number(total)));
    // The two oldest went, the three newest stay.
    QVERIFY(!dir.exists(names.at(0)));
    QVERIFY(!dir.exists(names.at(1)));
    for (int i = 2; i < names.size(); ++i)
        QVERIFY2(dir.exists(names.at(i)), qPrintable(names.at(i)));
}

// A message log that outgrows its bound is followed by the next pair of
// files, from the event loop, and nothing is lost on the way.
void TestLogMgr::fullLogGoesOnInTheNextFile()
{
    clearLogDir();
    LogMgr *log = Singleton<LogMgr>::instance();
    log->init();
    const QString first = log->logFilePath();
    const QString line(1000, QLatin1Char('f'));
    const int lines = int(LogMgr::kMaxLogFileBytes / 1000) + 10;
    for (int i = 0; i < lines; ++i)
        qInfo("%s", qPrintable(line));
    QTRY_VERIFY(log->logFilePath() != first);
    qInfo("after the bound");
    log->flush();
    QVERIFY(QFileInfo(first).size() > LogMgr::kMaxLogFileBytes);
    QVERIFY(QFileInfo(first).size() < LogMgr::kMaxLogFileBytes + 2 * 1024 * 1024);
    QFile next(log->logFilePath());
    QVERIFY(next.open(QIODevice::ReadOnly));
    QVERIFY(next.readAll().contains("after the bound"));
    QCOMPARE(LogMgr::sequenceOf(QFileInfo(log->logFilePath()).fileName()), LogMgr::sequenceOf(QFileInfo(first).fileName()) + 1);
}

QTEST_GUILESS_MAIN(TestLogMgr)

#include "tst_logmgr.moc"
