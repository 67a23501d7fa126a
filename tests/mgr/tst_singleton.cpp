#include "mgr/singleton.h"
#include "mgr/singletonmgrbase.h"

#include <QAtomicInt>
#include <QCoreApplication>
#include <QProcess>
#include <QSemaphore>
#include <QThread>
#include <QTest>

#include <cstdio>
#include <vector>

namespace {

// Slow to construct, so that late callers arrive while the first one is
// still inside the creator.
class Contended
{
public:
    static QAtomicInt constructed;
    Contended()
    {
        constructed.fetchAndAddOrdered(1);
        for (int i = 0; i < 200; ++i)
            QThread::yieldCurrentThread();
        ready = true;
    }
    bool ready = false;
};
QAtomicInt Contended::constructed;

class Counted : public SingletonMgrBase
{
public:
    static int constructed;
    Counted() { ++constructed; }
};
int Counted::constructed = 0;

// Report their life on stdout for the exit-release helper run.
class TrackedFirst
{
public:
    TrackedFirst() { std::printf("created first\n"); }
    ~TrackedFirst() { std::printf("deleted first\n"); std::fflush(stdout); }
};

class TrackedSecond
{
public:
    TrackedSecond() { std::printf("created second\n"); }
    ~TrackedSecond() { std::printf("deleted second\n"); std::fflush(stdout); }
};

class NeverUsed
{
public:
    NeverUsed() { std::printf("created never\n"); }
    ~NeverUsed() { std::printf("deleted never\n"); }
};

int runReleaseHelper(bool explicitRelease)
{
    TrackedFirst *first = Singleton<TrackedFirst>::instance();
    TrackedSecond *second = Singleton<TrackedSecond>::instance();
    // Asked again: same objects, nothing created twice.
    if (Singleton<TrackedFirst>::instance() != first || Singleton<TrackedSecond>::instance() != second)
        return 2;
    std::printf("main returns\n");
    std::fflush(stdout);
    (void)&Singleton<NeverUsed>::instance; // referenced, never called
    if (explicitRelease) {
        releaseSingletons();
        std::printf("released\n");
        releaseSingletons(); // nothing left to release
    }
    return 0;
}

} // namespace

class TestSingleton : public QObject
{
    Q_OBJECT

private slots:
    void creatorRunsOnceUnderContention();
    void laterCallsDoNotCreate();
    void callOnceMarksDone();
    void releasesCreatedObjectsInReverseOrder_data();
    void releasesCreatedObjectsInReverseOrder();
};

void TestSingleton::creatorRunsOnceUnderContention()
{
    const int threadCount = 16;
    QSemaphore gate;
    std::vector<Contended *> seen(threadCount, nullptr);
    std::vector<int> readySeen(threadCount, 0);
    QList<QThread *> threads;
    for (int i = 0; i < threadCount; ++i) {
        threads << QThread::create([&, i]() {
            gate.acquire();
            Contended *object = Singleton<Contended>::instance();
            seen[i] = object;
            // A late caller must get a fully built object, never a half one.
            readySeen[i] = object && object->ready ? 1 : 0;
        });
        threads.last()->start();
    }
    gate.release(threadCount);
    for (QThread *thread : threads) {
        QVERIFY(thread->wait(10000));
        delete thread;
    }

    QCOMPARE(Contended::constructed.loadAcquire(), 1);
    for (int i = 0; i < threadCount; ++i) {
        QVERIFY(seen[i] != nullptr);
        QCOMPARE(seen[i], seen[0]);
        QCOMPARE(readySeen[i], 1);
    }
}

void TestSingleton::laterCallsDoNotCreate()
{
    Counted *first = Singleton<Counted>::instance();
    for (int i = 0; i < 100; ++i)
        QCOMPARE(Singleton<Counted>::instance(), first);
    QCOMPARE(Counted::constructed, 1);
    QVERIFY(first->parent() == nullptr);
}

void TestSingleton::callOnceMarksDone()
{
    static int runs = 0;
    QAtomicInt flag;
    callOnce([]() { ++runs; }, flag);
    QCOMPARE(flag.loadAcquire(), 2);
    callOnce([]() { ++runs; }, flag);
    QCOMPARE(runs, 1);
}

void TestSingleton::releasesCreatedObjectsInReverseOrder_data()
{
    QTest::addColumn<QString>("helper");
    QTest::addColumn<QStringList>("expected");

    const QStringList atExit = {QStringLiteral("created first"), QStringLiteral("created second"),
                                QStringLiteral("main returns"), QStringLiteral("deleted second"),
                                QStringLiteral("deleted first")};
    QTest::newRow("at exit") << "--release-helper" << atExit;
    // Each object is deleted once: the call and the exit do not both delete.
    QTest::newRow("explicit release") << "--release-explicit-helper" << (atExit + QStringList{QStringLiteral("released")});
}

void TestSingleton::releasesCreatedObjectsInReverseOrder()
{
    QFETCH(QString, helper);
    QFETCH(QStringList, expected);

    QProcess process;
    process.start(QCoreApplication::applicationFilePath(), {helper});
    QVERIFY(process.waitForFinished(30000));
    QCOMPARE(process.exitStatus(), QProcess::NormalExit);
    QCOMPARE(process.exitCode(), 0);
    const QStringList lines = QString::fromUtf8(process.readAllStandardOutput()).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    QCOMPARE(lines, expected);
}

int main(int argc, char *argv[])
{
    if (argc > 1 && qstrcmp(argv[1], "--release-helper") == 0)
        return runReleaseHelper(false);
    if (argc > 1 && qstrcmp(argv[1], "--release-explicit-helper") == 0)
        return runReleaseHelper(true);
    QCoreApplication app(argc, argv);
    TestSingleton test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_singleton.moc"
