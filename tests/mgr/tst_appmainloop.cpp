#include "mgr/appmainloop.h"
#include "mgr/apprestart.h"
#include "mgr/logmgr.h"
#include "mgr/signalqueuemgr.h"
#include "mgr/singleton.h"
#include "utility/appdirs.h"
#include "utility/translatelanguage.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QWidget>
#include <QFont>
#include <QFontDatabase>
#include <QFontInfo>
#include <QTest>

#include <clocale>
#include <langinfo.h>
#include <limits>
#include <memory>

namespace {

struct DetachedStart
{
    QString program;
    QStringList arguments;
};

QString readAll(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return QString();
    return QString::fromUtf8(file.readAll());
}

QString actionLogOf(const QString &messageLogPath)
{
    QString path = messageLogPath;
    path.chop(4); // ".log"
    return path + QStringLiteral(".action.log");
}

QWidget *shownWindowTitled(const QString &title)
{
    for (QWidget *window : QApplication::topLevelWidgets()) {
        if (window->isVisible() && window->windowTitle() == title)
            return window;
    }
    return nullptr;
}

// Drives the main loop: each pass reports what it saw and ends with the next
// exit code of the script.
class Script
{
public:
    explicit Script(QList<int> codes)
        : m_codes(std::move(codes))
    {
    }

    int runPass()
    {
        ++passes;
        // The login window of the role is up in every pass.
        if (shownWindowTitled(Translatelanguage::instance()->getText(QStringLiteral("Login"))))
            ++loginWindowsSeen;
        logPaths << Singleton<LogMgr>::instance()->logFilePath();
        // A login uploads the logs, which moves the logger on to a new pair
        // of files. A re-run start-up must not connect the upload twice.
        SignalQueueMgr::instance()->signalOnLoginOk();
        closingLogPaths << Singleton<LogMgr>::instance()->logFilePath();
        Singleton<LogMgr>::instance()->flush();
        return m_codes.isEmpty() ? 0 : m_codes.takeFirst();
    }

    int passes = 0;
    int loginWindowsSeen = 0;
    QStringList logPaths;        // at the start of each pass
    QStringList closingLogPaths; // after its login

private:
    QList<int> m_codes;
};

} // namespace

class TestAppMainLoop : public QObject
{
    Q_OBJECT

private slots:
    void exitCodes_data();
    void exitCodes();
    void otherCodeRunsStartUpAgain();
    void restartCarriesClassId_data();
    void restartCarriesClassId();
    void bearerPollingIsOffUnlessChosen_data();
    void bearerPollingIsOffUnlessChosen();
    void missingFontFamilyStandsForDefault();
    void missingLocaleKeepsUtf8Characters();

private:
    int runLoop(Script &script, QList<DetachedStart> &starts);
};

int TestAppMainLoop::runLoop(Script &script, QList<DetachedStart> &starts)
{
    static QByteArray program = QByteArray(LESSONRY_BIN_DIR) + "/tst_appmainloop";
    static char *argv[] = {program.data(), nullptr};
    static int argc = 1;
    AppMainLoop loop(argc, argv);
    loop.setExecStep([&script]() { return script.runPass(); });
    loop.setStartDetachedStep([&starts](const QString &path, const QStringList &arguments) {
        starts << DetachedStart{path, arguments};
        return true;
    });
    const int result = loop.run();
    if (loop.passCount() != script.passes)
        qWarning("pass count differs");
    return result;
}

void TestAppMainLoop::exitCodes_data()
{
    QTest::addColumn<int>("code");
    QTest::addColumn<int>("result");
    QTest::addColumn<int>("detachedStarts");
    QTest::newRow("normal end") << 0 << 0 << 0;
    QTest::newRow("upgrade") << 124 << 0 << 0;
    QTest::newRow("restart") << 773 << -1 << 1;
}

void TestAppMainLoop::exitCodes()
{
    QFETCH(int, code);
    QFETCH(int, result);
    QFETCH(int, detachedStarts);
    Script script({code});
    QList<DetachedStart> starts;
    QCOMPARE(runLoop(script, starts), result);
    QCOMPARE(script.passes, 1);
    QCOMPARE(script.loginWindowsSeen, 1);
    QCOMPARE(starts.size(), detachedStarts);
    QVERIFY(!QCoreApplication::instance());

    // The pass's action logs: started, then (after the login's upload)
    // closed with the code.
    const QStringList records = readAll(actionLogOf(script.logPaths.value(0))).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    QCOMPARE(records.size(), 1);
    QVERIFY(records.at(0).startsWith(QLatin1String("normal,1,1.1.5.1,")));
    QVERIFY(records.at(0).endsWith(QLatin1String(",app_start,{StudentApplication}")));
    const QStringList closing = readAll(actionLogOf(script.closingLogPaths.value(0))).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    QVERIFY(!closing.isEmpty());
    QVERIFY(closing.last().endsWith(QStringLiteral(",app_close,{code:%1}").arg(code)));
    QCOMPARE(readAll(script.logPaths.value(0)).count(QLatin1String(" - startUploading")), 1);

    // The services with threads stop before the logs close, in this order.
    const QString log = readAll(script.closingLogPaths.value(0));
    const QStringList shutdown = {QStringLiteral(" - uninitDevice"), QStringLiteral(" - destory mqtt client!"),
                                  QStringLiteral(" - end gone"),
                                  QStringLiteral(" - <AppRestart> exit applaction exitCode:%1").arg(code)};
    int at = 0;
    for (const QString &marker : shutdown) {
        at = log.indexOf(marker, at);
        QVERIFY2(at >= 0, qPrintable(marker));
    }
}

void TestAppMainLoop::otherCodeRunsStartUpAgain()
{
    Script script({5, 1, 0});
    QList<DetachedStart> starts;
    QCOMPARE(runLoop(script, starts), 0);
    QCOMPARE(script.passes, 3);
    QCOMPARE(script.loginWindowsSeen, 3);
    QVERIFY(starts.isEmpty());

    // Each pass writes a new pair of files with the next sequence number
    // (and the login's upload one more).
    QCOMPARE(script.logPaths.size(), 3);
    for (int i = 1; i < 3; ++i) {
        QCOMPARE(LogMgr::sequenceOf(QFileInfo(script.logPaths.at(i)).fileName()),
                 LogMgr::sequenceOf(QFileInfo(script.closingLogPaths.at(i - 1)).fileName()) + 1);
    }
    const QList<int> codes = {5, 1, 0};
    for (int i = 0; i < 3; ++i) {
        QVERIFY(readAll(actionLogOf(script.logPaths.at(i))).contains(QLatin1String(",app_start,{StudentApplication}")));
        QVERIFY(readAll(actionLogOf(script.closingLogPaths.at(i))).contains(QStringLiteral(",app_close,{code:%1}").arg(codes.at(i))));
        // One connection of the log upload, however often start-up ran.
        QCOMPARE(readAll(script.logPaths.at(i)).count(QLatin1String(" - startUploading")), 1);
    }
}

void TestAppMainLoop::restartCarriesClassId_data()
{
    QTest::addColumn<QString>("classId");
    QTest::addColumn<QString>("argument");
    QTest::newRow("class stored") << "4711" << "AppRestart:4711";
    QTest::newRow("no class") << "" << "AppRestart:";
}

void TestAppMainLoop::restartCarriesClassId()
{
    QFETCH(QString, classId);
    QFETCH(QString, argument);
    Singleton<AppRestart>::instance()->setCurClassId(classId);
    Script script({773});
    QList<DetachedStart> starts;
    QCOMPARE(runLoop(script, starts), -1);
    QCOMPARE(starts.size(), 1);
    QCOMPARE(QFileInfo(starts.first().program).canonicalFilePath(),
             QFileInfo(QStringLiteral(LESSONRY_BIN_DIR "/tst_appmainloop")).canonicalFilePath());
    QCOMPARE(starts.first().arguments, QStringList{argument});
}

void TestAppMainLoop::bearerPollingIsOffUnlessChosen_data()
{
    QTest::addColumn<QByteArray>("given"); // null: not set
    QTest::addColumn<QByteArray>("used");
    QTest::newRow("not set") << QByteArray() << QByteArray::number(std::numeric_limits<int>::max());
    QTest::newRow("chosen by the user") << QByteArray("5000") << QByteArray("5000");
}

// The access manager reads the interval when it is made: the loop sets it
// before any exists.
void TestAppMainLoop::bearerPollingIsOffUnlessChosen()
{
    QFETCH(QByteArray, given);
    QFETCH(QByteArray, used);
    if (given.isNull())
        qunsetenv("QT_BEARER_POLL_TIMEOUT");
    else
        qputenv("QT_BEARER_POLL_TIMEOUT", given);
    static char program[] = "tst_appmainloop";
    static char *argv[] = {program, nullptr};
    static int argc = 1;
    AppMainLoop loop(argc, argv);
    QCOMPARE(qgetenv("QT_BEARER_POLL_TIMEOUT"), used);
    qunsetenv("QT_BEARER_POLL_TIMEOUT");
}

void TestAppMainLoop::missingFontFamilyStandsForDefault()
{
    static char program[] = "tst_appmainloop";
    static char *argv[] = {program, nullptr};
    static int argc = 1;
    QApplication app(argc, argv);
    const QString defaultFamily = QApplication::font().family();
    const QString missing = QStringLiteral("Lessonry No Such Family");
    // A family the database lists by its name alone: one that two foundries
    // share is listed as "Family [Foundry]", a name fonts are not asked by.
    QString installed;
    for (const QString &family : QFontDatabase().families()) {
        if (!family.contains(QLatin1String(" ["))) {
            installed = family;
            break;
        }
    }
    QVERIFY(!installed.isEmpty());

    AppMainLoop::standInForMissingFamily(missing);
    AppMainLoop::standInForMissingFamily(installed);
    QCOMPARE(QFont::substitutes(missing).size(), 1);
    QCOMPARE(QFont::substitutes(missing).first().compare(defaultFamily, Qt::CaseInsensitive), 0);
    QVERIFY(QFont::substitutes(installed).isEmpty());
    // The same font as the default, as without the stand-in.
    QCOMPARE(QFontInfo(QFont(missing, 9)).family(), QFontInfo(QFont(defaultFamily, 9)).family());
    QFont::removeSubstitutions(missing);
}

// A locale the system lacks leaves the C library in "C"; titles must still
// be encoded as UTF-8, and a working UTF-8 locale is left alone.
void TestAppMainLoop::missingLocaleKeepsUtf8Characters()
{
    const QByteArray before = std::setlocale(LC_ALL, nullptr);
    QVERIFY(std::setlocale(LC_ALL, "zz_ZZ.UTF-8") == nullptr);
    std::setlocale(LC_ALL, "C");
    QCOMPARE(QByteArray(nl_langinfo(CODESET)), QByteArray("ANSI_X3.4-1968"));
    AppMainLoop::useUtf8Characters();
    QCOMPARE(QByteArray(nl_langinfo(CODESET)), QByteArray("UTF-8"));
    AppMainLoop::useUtf8Characters();
    QCOMPARE(QByteArray(std::setlocale(LC_CTYPE, nullptr)), QByteArray("C.UTF-8"));
    std::setlocale(LC_ALL, before.constData());
}

// No application object here: the loop builds its own in every pass.
int main(int argc, char *argv[])
{
    int result = 0;
    {
        TestAppMainLoop test;
        result = QTest::qExec(&test, argc, argv);
    }
    releaseSingletons();
    return result;
}

#include "tst_appmainloop.moc"
