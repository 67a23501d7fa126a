// The watch on the system's device nodes, on a folder standing in for /dev.

#include "platform/rtc/rtcdevicewatcher.h"

#include <QDir>
#include <QFile>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

namespace {

bool touch(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly);
}

} // namespace

class TestRtcDeviceWatcher : public QObject
{
    Q_OBJECT

private slots:
    void nodesThatTellDevices_data();
    void nodesThatTellDevices();
    void changeOfDeviceNodesIsReportedOnceSettled_data();
    void changeOfDeviceNodesIsReportedOnceSettled();
    void missingRootWatchesNothing();
};

void TestRtcDeviceWatcher::nodesThatTellDevices_data()
{
    QTest::addColumn<QStringList>("files");
    QTest::addColumn<QStringList>("nodes");
    QTest::newRow("none") << QStringList() << QStringList();
    QTest::newRow("cameras") << QStringList { "video0", "video1" } << QStringList { "video0", "video1" };
    QTest::newRow("sound cards") << QStringList { "snd/controlC0", "snd/pcmC0D0p" }
                                 << QStringList { "snd/controlC0", "snd/pcmC0D0p" };
    QTest::newRow("other devices") << QStringList { "tty5", "sda1", "input/event3", "media0", "xvideo" }
                                   << QStringList();
    QTest::newRow("mixed") << QStringList { "tty5", "video2", "snd/timer" } << QStringList { "video2", "snd/timer" };
}

void TestRtcDeviceWatcher::nodesThatTellDevices()
{
    QFETCH(QStringList, files);
    QFETCH(QStringList, nodes);
    QTemporaryDir root;
    for (const QString &file : files) {
        QVERIFY(QDir(root.path()).mkpath(QFileInfo(root.filePath(file)).path()));
        QVERIFY(touch(root.filePath(file)));
    }
    QCOMPARE(RtcDeviceWatcher::deviceNodes(root.path()), nodes);
}

void TestRtcDeviceWatcher::changeOfDeviceNodesIsReportedOnceSettled_data()
{
    QTest::addColumn<QString>("change");
    QTest::newRow("camera plugged") << "plug video1";
    QTest::newRow("camera unplugged") << "unplug video0";
    QTest::newRow("first sound card") << "plug snd/pcmC0D0c";
    QTest::newRow("sound card unplugged") << "unplug snd/pcmC1D0p";
}

void TestRtcDeviceWatcher::changeOfDeviceNodesIsReportedOnceSettled()
{
    QFETCH(QString, change);
    const bool plug = change.startsWith(QLatin1String("plug "));
    const QString node = change.section(QLatin1Char(' '), 1);
    QTemporaryDir root;
    QVERIFY(touch(root.filePath(QStringLiteral("video0"))));
    if (!plug) {
        QVERIFY(QDir(root.path()).mkdir(QStringLiteral("snd")));
        QVERIFY(touch(root.filePath(QStringLiteral("snd/pcmC1D0p"))));
    }
    RtcDeviceWatcher watcher(root.path(), 50);
    QSignalSpy changed(&watcher, &RtcDeviceWatcher::devicesChanged);

    // A device makes or removes several nodes at once: one report.
    if (plug) {
        QVERIFY(QDir(root.path()).mkpath(QFileInfo(root.filePath(node)).path()));
        QVERIFY(touch(root.filePath(node)));
        QVERIFY(touch(root.filePath(node + QLatin1Char('x'))));
    } else {
        QVERIFY(QFile::remove(root.filePath(node)));
    }
    QVERIFY(changed.wait(5000));
    QCOMPARE(changed.count(), 1);

    // The next change is reported again.
    QVERIFY(touch(root.filePath(QStringLiteral("video7"))));
    QTRY_COMPARE_WITH_TIMEOUT(changed.count(), 2, 5000);
}

void TestRtcDeviceWatcher::missingRootWatchesNothing()
{
    QTemporaryDir parent;
    RtcDeviceWatcher watcher(parent.filePath(QStringLiteral("missing")), 50);
    QVERIFY(RtcDeviceWatcher::deviceNodes(parent.filePath(QStringLiteral("missing"))).isEmpty());
}

QTEST_GUILESS_MAIN(TestRtcDeviceWatcher)
#include "tst_rtcdevicewatcher.moc"
