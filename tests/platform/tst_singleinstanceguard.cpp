#include "mgr/appmainloop.h"
#include "platform/singleinstanceguard.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QLocalServer>
#include <QLocalSocket>
#include <QProcess>
#include <QThread>
#include <QWidget>
#include <QStandardPaths>
#include <QTest>

#include <cstdio>
#include <iostream>
#include <memory>
#include <vector>

namespace {

// Runs raiseWindow on a thread of its own while the GUI thread serves.
QString raiseFromAnotherThread(const QString &name, const QStringList &titles, int timeoutMs)
{
    QString found;
    QThread *thread = QThread::create([&]() { found = SingleInstanceGuard::raiseWindow(name, titles, timeoutMs); });
    thread->start();
    while (!thread->wait(5))
        QCoreApplication::processEvents();
    delete thread;
    return found;
}

// Helper run: holds the lock until its standard input closes.
int holdLock(int &argc, char **argv)
{
    // Same executable name, so the same data folder as the test.
    QCoreApplication app(argc, argv);
    if (!SingleInstanceGuard::createNamedLock(QString::fromLatin1(argv[2])))
        return 3;
    std::printf("locked\n");
    std::fflush(stdout);
    std::string line;
    std::getline(std::cin, line);
    return 0;
}

} // namespace

class TestSingleInstanceGuard : public QObject
{
    Q_OBJECT

private slots:
    void lockIsCreatedOncePerProcess();
    void lockHeldByLiveCopyIsNotTaken();
    void staleLockDoesNotBlock();
    void raisesWindowOfRunningCopy();
    void windowWithoutWantedTitleIsNotFound_data();
    void windowWithoutWantedTitleIsNotFound();
    void noServerMeansNotFound();
    void silentCopyCountsAsNotFound();
    void malformedRequestIsDropped();
    void lockIsKeptInRuntimeFolder();
    void connectionWithoutWholeRequestIsDropped_data();
    void connectionWithoutWholeRequestIsDropped();
    void connectionsAreBounded();
};

void TestSingleInstanceGuard::lockIsCreatedOncePerProcess()
{
    QVERIFY(SingleInstanceGuard::createNamedLock(QStringLiteral("OncePerProcess")));
    QVERIFY(SingleInstanceGuard::ownsNamedLock(QStringLiteral("OncePerProcess")));
    // A later pass of the main loop finds the name already taken.
    QVERIFY(!SingleInstanceGuard::createNamedLock(QStringLiteral("OncePerProcess")));
}

void TestSingleInstanceGuard::lockHeldByLiveCopyIsNotTaken()
{
    QProcess holder;
    holder.start(QCoreApplication::applicationFilePath(), {QStringLiteral("--hold-lock"), QStringLiteral("HeldElsewhere")});
    QVERIFY(holder.waitForStarted());
    QByteArray output;
    while (!output.contains("locked") && holder.waitForReadyRead(20000))
        output += holder.readAllStandardOutput();
    QVERIFY(output.contains("locked"));
    QCOMPARE(holder.state(), QProcess::Running);

    QVERIFY(!SingleInstanceGuard::createNamedLock(QStringLiteral("HeldElsewhere")));

    // Killed without cleaning up: its lock is stale now.
    holder.kill();
    QVERIFY(holder.waitForFinished());
    QVERIFY(SingleInstanceGuard::createNamedLock(QStringLiteral("HeldElsewhere")));
}

void TestSingleInstanceGuard::staleLockDoesNotBlock()
{
    const QString path = SingleInstanceGuard::lockFilePath(QStringLiteral("StaleLock"));
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    // Same format as a lock file, owned by a process id that cannot exist.
    file.write("2147483646\nlessonry-student\n" + QSysInfo::machineHostName().toUtf8() + "\n");
    file.close();
    QVERIFY(SingleInstanceGuard::createNamedLock(QStringLiteral("StaleLock")));
}

void TestSingleInstanceGuard::raisesWindowOfRunningCopy()
{
    WindowRaiseServer server;
    QVERIFY(server.listen(QStringLiteral("RaiseTest")));
    QWidget untitled;
    untitled.show();
    QWidget schedule;
    schedule.setWindowTitle(QStringLiteral("Schedule"));
    schedule.show();
    QVERIFY(QTest::qWaitForWindowExposed(&schedule));
    schedule.showMinimized();
    schedule.hide();

    const QString found = raiseFromAnotherThread(QStringLiteral("RaiseTest"),
                                                 {QStringLiteral("Login"), QStringLiteral("Schedule"), QStringLiteral("Classroom")},
                                                 5000);
    QCOMPARE(found, QStringLiteral("Schedule"));
    // Restored and shown again.
    QVERIFY(schedule.isVisible());
    QVERIFY(!schedule.isMinimized());
}

void TestSingleInstanceGuard::windowWithoutWantedTitleIsNotFound_data()
{
    QTest::addColumn<QStringList>("titles");
    // With no language document all three titles are empty: nothing matches,
    // not even a window without a title.
    QTest::newRow("all titles empty") << QStringList{QString(), QString(), QString()};
    // Still starting, or showing another window: the next copy starts fully.
    QTest::newRow("no window has a wanted title")
        << QStringList{QStringLiteral("Login"), QStringLiteral("Schedule"), QStringLiteral("Classroom")};
}

void TestSingleInstanceGuard::windowWithoutWantedTitleIsNotFound()
{
    QFETCH(QStringList, titles);
    WindowRaiseServer server;
    QVERIFY(server.listen(QStringLiteral("NoWantedTitle")));
    QWidget untitled;
    QWidget settings;
    settings.setWindowTitle(QStringLiteral("Settings"));
    for (QWidget *window : {&untitled, &settings}) {
        window->show();
        window->hide();
    }
    QCOMPARE(raiseFromAnotherThread(QStringLiteral("NoWantedTitle"), titles, 2000), QString());
    QVERIFY(!untitled.isVisible());
    QVERIFY(!settings.isVisible());
    QCOMPARE(SingleInstanceGuard::raiseLocalWindow(titles), QString());
}

void TestSingleInstanceGuard::noServerMeansNotFound()
{
    QElapsedTimer timer;
    timer.start();
    QCOMPARE(SingleInstanceGuard::raiseWindow(QStringLiteral("NobodyListens"), {QStringLiteral("Login")}, 5000), QString());
    QVERIFY(timer.elapsed() < 5000);
}

void TestSingleInstanceGuard::silentCopyCountsAsNotFound()
{
    // A copy that accepts the connection but never answers (hung).
    QLocalServer silent;
    QLocalServer::removeServer(SingleInstanceGuard::serverName(QStringLiteral("Silent")));
    QVERIFY(silent.listen(SingleInstanceGuard::serverName(QStringLiteral("Silent"))));
    QWidget login;
    login.setWindowTitle(QStringLiteral("Login"));
    login.show();
    QCOMPARE(SingleInstanceGuard::raiseWindow(QStringLiteral("Silent"), {QStringLiteral("Login")}, 300), QString());
}

void TestSingleInstanceGuard::malformedRequestIsDropped()
{
    WindowRaiseServer server;
    QVERIFY(server.listen(QStringLiteral("Malformed")));
    QWidget login;
    login.setWindowTitle(QStringLiteral("Login"));
    login.show();
    QVERIFY(QTest::qWaitForWindowExposed(&login));

    // A list that claims two billion titles: dropped, not allocated.
    QLocalSocket socket;
    socket.connectToServer(SingleInstanceGuard::serverName(QStringLiteral("Malformed")));
    QVERIFY(socket.waitForConnected(5000));
    QByteArray request;
    QDataStream out(&request, QIODevice::WriteOnly);
    out.setVersion(QDataStream::Qt_5_15);
    out << quint32(0x7fffffff) << QStringLiteral("Login");
    socket.write(request);
    QTRY_COMPARE_WITH_TIMEOUT(socket.state(), QLocalSocket::UnconnectedState, 10000);

    // The copy still answers a real request.
    QCOMPARE(raiseFromAnotherThread(QStringLiteral("Malformed"), {QStringLiteral("Login")}, 5000),
             QStringLiteral("Login"));
}

void TestSingleInstanceGuard::lockIsKeptInRuntimeFolder()
{
    const QString runtime = QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
    QVERIFY(!runtime.isEmpty());
    const QString path = SingleInstanceGuard::lockFilePath(QStringLiteral("RuntimeLock"));
    QCOMPARE(QFileInfo(path).absolutePath(), QDir(runtime).absolutePath());
    QVERIFY(SingleInstanceGuard::createNamedLock(QStringLiteral("RuntimeLock")));
    QVERIFY(QFileInfo::exists(path));
    // One lock per data folder: the name carries the folder's hash, like
    // the socket's.
    QVERIFY(QFileInfo(path).fileName().startsWith(SingleInstanceGuard::serverName(QStringLiteral("RuntimeLock"))));
}

void TestSingleInstanceGuard::connectionWithoutWholeRequestIsDropped_data()
{
    QTest::addColumn<QByteArray>("sent");
    QTest::newRow("nothing sent") << QByteArray();
    QByteArray half;
    QDataStream out(&half, QIODevice::WriteOnly);
    out.setVersion(QDataStream::Qt_5_15);
    out << QStringList{QStringLiteral("Login"), QStringLiteral("Schedule")};
    half.chop(half.size() / 2);
    QTest::newRow("half a request") << half;
}

void TestSingleInstanceGuard::connectionWithoutWholeRequestIsDropped()
{
    QFETCH(QByteArray, sent);
    WindowRaiseServer server;
    server.setRequestTimeoutMs(200);
    QVERIFY(server.listen(QStringLiteral("SlowPeer")));

    QLocalSocket socket;
    socket.connectToServer(SingleInstanceGuard::serverName(QStringLiteral("SlowPeer")));
    QVERIFY(socket.waitForConnected(5000));
    if (!sent.isEmpty()) {
        socket.write(sent);
        QVERIFY(socket.waitForBytesWritten(5000));
    }
    QTRY_COMPARE(server.connectionCount(), 1);
    QTRY_COMPARE_WITH_TIMEOUT(socket.state(), QLocalSocket::UnconnectedState, 5000);
    QTRY_COMPARE(server.connectionCount(), 0);
}

void TestSingleInstanceGuard::connectionsAreBounded()
{
    WindowRaiseServer server;
    QCOMPARE(server.maxConnections(), int(WindowRaiseServer::kDefaultMaxConnections));
    server.setMaxConnections(3);
    QVERIFY(server.listen(QStringLiteral("Crowded")));
    QWidget login;
    login.setWindowTitle(QStringLiteral("Login"));
    login.show();
    QVERIFY(QTest::qWaitForWindowExposed(&login));

    // Three connections that never send anything fill the server ...
    std::vector<std::unique_ptr<QLocalSocket>> idle;
    for (int i = 0; i < 3; ++i) {
        idle.push_back(std::make_unique<QLocalSocket>());
        idle.back()->connectToServer(SingleInstanceGuard::serverName(QStringLiteral("Crowded")));
        QVERIFY(idle.back()->waitForConnected(5000));
    }
    QTRY_COMPARE(server.connectionCount(), 3);

    // ... a fourth is closed at once ...
    QLocalSocket extra;
    extra.connectToServer(SingleInstanceGuard::serverName(QStringLiteral("Crowded")));
    QVERIFY(extra.waitForConnected(5000));
    QTRY_COMPARE_WITH_TIMEOUT(extra.state(), QLocalSocket::UnconnectedState, 5000);
    QCOMPARE(server.connectionCount(), 3);
    for (const auto &socket : idle)
        QCOMPARE(socket->state(), QLocalSocket::ConnectedState);

    // ... and once one goes, a real request is answered again.
    idle.front()->abort();
    QTRY_COMPARE(server.connectionCount(), 2);
    QCOMPARE(raiseFromAnotherThread(QStringLiteral("Crowded"), {QStringLiteral("Login")}, 5000),
             QStringLiteral("Login"));
}

int main(int argc, char *argv[])
{
    if (argc > 2 && qstrcmp(argv[1], "--hold-lock") == 0)
        return holdLock(argc, argv);
    QApplication app(argc, argv);
    // The windows are searched as in the client, whose main loop sets this.
    SingleInstanceGuard::setLocalWindowRaiser(&AppMainLoop::raiseTopLevelWindow);
    TestSingleInstanceGuard test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_singleinstanceguard.moc"
