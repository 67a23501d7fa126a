#include "biz/httpapi/baseapis.h"
#include "biz/httpapi/studentapis.h"
#include "lessonservice.h"
#include "mgr/http/entitynetworkreplyholder.h"
#include "scopedtimescale.h"
#include "testenvironment.h"
#include "testutil.h"
#include "utility/actionlog.h"
#include "utility/networkingtestthread.h"
#include "widget/netlinksetting.h"

#include <QFile>
#include <QLabel>
#include <QPointer>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

#include <memory>

namespace {

const char kNoSignal[] = "border-image: url(:/image/login/noSignal.png);";
const char kStrong[] = "border-image: url(:/image/login/signalStrong.png)";
const char kWeak[] = "border-image: url(:/image/login/signalWeak.png)";
const char kBad[] = "border-image: url(:/image/login/signalBad.png)";

QString styleOf(const NetLinkSetting &dialog, int line)
{
    const QLabel *label = dialog.findChild<QLabel *>(QStringLiteral("labelSignal_%1").arg(line + 1));
    return label ? label->styleSheet() : QStringLiteral("<no label>");
}

QRadioButton *radio(const NetLinkSetting &dialog, int line)
{
    return dialog.findChild<QRadioButton *>(QStringLiteral("radioButton_%1").arg(line + 1));
}

} // namespace

// The four lines are four stand-ins (the last one dead), each with its own
// delay, so the dialog measures real answers.
class TestNetLinkSetting : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void cleanupTestCase();
    void init();
    void cleanup();

    void opensOnCurrentLine_data();
    void opensOnCurrentLine();
    void measuresEveryLine();
    void okSwitchesHostOfLaterRequests();
    void okWithoutChoiceKeepsLineAndRecordsIt();
    void cancelAndCloseKeepLine_data();
    void cancelAndCloseKeepLine();
    void measurementChangesOnlyItsLine();
    void closedWhileTestingThenDestroyed();

private:
    QStringList actionRecords(const QString &name);

    std::unique_ptr<LessonService> m_services[3];
    QString m_bases[4];
    QTemporaryDir m_dir;
    QString m_actionLog;
};

void TestNetLinkSetting::initTestCase()
{
    for (auto &service : m_services) {
        service.reset(new LessonService);
        QVERIFY(service->start());
    }
    for (int i = 0; i < 3; ++i)
        m_bases[i] = m_services[i]->baseUrl();
    m_bases[3] = TestEnvironment::deadBaseUrl();

    const QString ini = m_dir.filePath(QStringLiteral("servers.ini"));
    TestUtil::ServerAddresses addresses;
    addresses.main = m_bases[0];
    addresses.us = m_bases[1];
    addresses.europe = m_bases[2];
    addresses.singapore = m_bases[3];
    QVERIFY(TestUtil::useServersIni(ini, addresses));

    m_actionLog = m_dir.filePath(QStringLiteral("test.action.log"));
    QVERIFY(ActionLog::instance()->init(m_actionLog));

    // The first request of a process sets up the network stack; it must not
    // be counted as the delay of a line.
    QObject owner;
    EntityNetworkReplyHolder *warmUp = StudentApis::test(&owner, NETLINK_MAIN, 10000);
    QSignalSpy warmedUp(warmUp, &EntityNetworkReplyHolder::signal_onFinish);
    QVERIFY(warmedUp.wait(10000));
}

void TestNetLinkSetting::cleanupTestCase()
{
    ActionLog::instance()->close();
}

void TestNetLinkSetting::init()
{
    for (auto &service : m_services)
        service->reset();
}

void TestNetLinkSetting::cleanup()
{
    BaseApis::setNetLinkType(NETLINK_MAIN);
}

QStringList TestNetLinkSetting::actionRecords(const QString &name)
{
    QFile file(m_actionLog);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    QStringList found;
    for (const QString &line : QString::fromUtf8(file.readAll()).split(QLatin1Char('\n'))) {
        if (line.section(QLatin1Char(','), 4, 4) == name)
            found << line.section(QLatin1Char(','), 5);
    }
    return found;
}

void TestNetLinkSetting::opensOnCurrentLine_data()
{
    QTest::addColumn<int>("current");
    QTest::addColumn<int>("checked");
    QTest::newRow("line 1") << 0 << 0;
    QTest::newRow("line 2") << 1 << 1;
    QTest::newRow("line 3") << 2 << 2;
    QTest::newRow("line 4") << 3 << 3;
    QTest::newRow("unknown") << 7 << 0;
}

void TestNetLinkSetting::opensOnCurrentLine()
{
    QFETCH(int, current);
    QFETCH(int, checked);

    BaseApis::setNetLinkType(static_cast<NETLINK_TYPE>(current));
    NetLinkSetting dialog;
    for (int line = 0; line < 4; ++line) {
        QCOMPARE(radio(dialog, line)->isChecked(), line == checked);
        QCOMPARE(styleOf(dialog, line), QString::fromLatin1(kNoSignal));
        QVERIFY(!dialog.testThread(line));
    }
    QCOMPARE(dialog.windowFlags() & (Qt::Tool | Qt::FramelessWindowHint), Qt::Tool | Qt::FramelessWindowHint);
    QVERIFY(dialog.testAttribute(Qt::WA_TranslucentBackground));
    QCOMPARE(dialog.size(), QSize(402, 302));
}

void TestNetLinkSetting::measuresEveryLine()
{
    // Main answers at once, United States in the weak band, Europe in the
    // bad band; Singapore has no server at all. The bands are four times
    // their width here (1200 ms), so a loaded machine may add up to 1200 ms
    // to the line that answers at once and 600 ms to the weak one without
    // moving either to the next band.
    ScopedTimeScale wide(4);
    const int band = Durations::ms(NetworkingTestThread::kBandMilliseconds);
    m_services[1]->setFault(QStringLiteral("/QXV1/Public/test"), QStringLiteral("delay"), { { "delay_ms", band * 3 / 2 } });
    m_services[2]->setFault(QStringLiteral("/QXV1/Public/test"), QStringLiteral("delay"), { { "delay_ms", band * 2 } });

    NetLinkSetting dialog;
    dialog.show();
    dialog.slot_updateNetSignalStrength();
    for (int line = 0; line < 4; ++line) {
        QVERIFY(dialog.testThread(line));
        QCOMPARE(dialog.testThread(line)->parent(), &dialog);
    }
    for (int line = 0; line < 4; ++line)
        QTRY_VERIFY_WITH_TIMEOUT(dialog.testThread(line)->isFinished(), 40000);

    QCOMPARE(styleOf(dialog, 0), QString::fromLatin1(kStrong));
    QCOMPARE(styleOf(dialog, 1), QString::fromLatin1(kWeak));
    QCOMPARE(styleOf(dialog, 2), QString::fromLatin1(kBad));
    QCOMPARE(styleOf(dialog, 3), QString::fromLatin1(kNoSignal));
    QCOMPARE(dialog.testThread(3)->retryCount(), 3);

    // Each record states the lower bound of its band.
    const QStringList records = actionRecords(QStringLiteral("current_networking_link"));
    QVERIFY(records.contains(QStringLiteral("{URL:%1, delay:0ms}").arg(m_bases[0])));
    QVERIFY(records.contains(QStringLiteral("{URL:%1, delay:300ms}").arg(m_bases[1])));
    QVERIFY(records.contains(QStringLiteral("{URL:%1, delay:600ms}").arg(m_bases[2])));
    for (LessonService *service : { m_services[0].get(), m_services[1].get(), m_services[2].get() })
        QCOMPARE(service->requests().size(), 1);
}

void TestNetLinkSetting::okSwitchesHostOfLaterRequests()
{
    NetLinkSetting dialog;
    QSignalSpy closed(&dialog, &NetLinkSetting::signal_close);
    dialog.show();
    QVERIFY(QTest::qWaitForWindowExposed(&dialog));
    QTest::mouseClick(radio(dialog, 2), Qt::LeftButton);
    QCOMPARE(dialog.chosenNetLink(), 2);
    QTest::mouseClick(dialog.findChild<QPushButton *>(QStringLiteral("pushButton")), Qt::LeftButton);

    QCOMPARE(closed.count(), 1);
    QCOMPARE(BaseApis::getNetLinkType(), NETLINK_EUROPE);
    QCOMPARE(actionRecords(QStringLiteral("current_choose_networking_link")).constLast(),
             QStringLiteral("{URL:%1}").arg(m_bases[2]));

    QObject owner;
    EntityNetworkReplyHolder *holder = StudentApis::getAppConfig(&owner);
    QSignalSpy finished(holder, &EntityNetworkReplyHolder::signal_onFinish);
    QVERIFY(finished.wait(10000));
    QCOMPARE(m_services[2]->lastRequest("/QXV1/Config/getAll").value("method").toString(), QStringLiteral("GET"));
    QVERIFY(m_services[0]->requests().isEmpty());
    QVERIFY(m_services[1]->requests().isEmpty());
}

void TestNetLinkSetting::okWithoutChoiceKeepsLineAndRecordsIt()
{
    BaseApis::setNetLinkType(NETLINK_EUROPE);
    const int before = actionRecords(QStringLiteral("current_choose_networking_link")).size();
    NetLinkSetting dialog;
    dialog.on_pushButton_clicked();
    QCOMPARE(BaseApis::getNetLinkType(), NETLINK_EUROPE);
    const QStringList records = actionRecords(QStringLiteral("current_choose_networking_link"));
    QCOMPARE(records.size(), before + 1);
    QCOMPARE(records.constLast(), QStringLiteral("{URL:%1}").arg(m_bases[2]));
}

void TestNetLinkSetting::cancelAndCloseKeepLine_data()
{
    QTest::addColumn<QString>("button");
    QTest::newRow("cancel") << QStringLiteral("pushButtonCancel");
    QTest::newRow("close") << QStringLiteral("closePushButton");
}

void TestNetLinkSetting::cancelAndCloseKeepLine()
{
    QFETCH(QString, button);

    BaseApis::setNetLinkType(NETLINK_UNITED_STATES);
    NetLinkSetting dialog;
    QSignalSpy closed(&dialog, &NetLinkSetting::signal_close);
    dialog.show();
    QVERIFY(QTest::qWaitForWindowExposed(&dialog));
    dialog.slot_updateNetSignalStrength();
    QTest::mouseClick(radio(dialog, 3), Qt::LeftButton);
    QCOMPARE(dialog.chosenNetLink(), 3);
    QTest::mouseClick(dialog.findChild<QPushButton *>(button), Qt::LeftButton);

    QCOMPARE(closed.count(), 1);
    QCOMPARE(BaseApis::getNetLinkType(), NETLINK_UNITED_STATES);
    for (int line = 0; line < 4; ++line)
        QVERIFY(dialog.testThread(line)->isFinished());
}

void TestNetLinkSetting::measurementChangesOnlyItsLine()
{
    NetLinkSetting dialog;
    dialog.slot_currentNetworkDelay(NETLINK_UNITED_STATES, 2);
    QCOMPARE(styleOf(dialog, 1), QString::fromLatin1(kBad));
    for (int line : { 0, 2, 3 })
        QCOMPARE(styleOf(dialog, line), QString::fromLatin1(kNoSignal));

    dialog.slot_currentNetworkDelay(static_cast<NETLINK_TYPE>(5), 0);
    for (int line : { 0, 2, 3 })
        QCOMPARE(styleOf(dialog, line), QString::fromLatin1(kNoSignal));
    QCOMPARE(actionRecords(QStringLiteral("current_networking_link")).constLast(),
             QStringLiteral("{URL:%1, delay:0ms}").arg(m_bases[0]));
}

void TestNetLinkSetting::closedWhileTestingThenDestroyed()
{
    for (auto &service : m_services)
        service->setFault(QStringLiteral("/QXV1/Public/test"), QStringLiteral("delay"), { { "delay_ms", 400 } });

    auto *dialog = new NetLinkSetting;
    dialog->show();
    dialog->slot_updateNetSignalStrength();
    QPointer<NetworkingTestThread> threads[4];
    for (int line = 0; line < 4; ++line) {
        threads[line] = dialog->testThread(line);
        QTRY_VERIFY(threads[line]->isRunning() || threads[line]->isFinished());
    }
    dialog->on_pushButtonCancel_clicked();
    // Answers that would have come after the close are not shown: their
    // requests went with the stop.
    TestUtil::drainEvents();
    for (int line = 0; line < 4; ++line)
        QCOMPARE(styleOf(*dialog, line), QString::fromLatin1(kNoSignal));

    // The opener destroys the window right after it closed; the threads go
    // with it without taking the process down.
    delete dialog;
    for (const auto &thread : threads)
        QVERIFY(thread.isNull());
}

QTEST_MAIN(TestNetLinkSetting)
#include "tst_netlinksetting.moc"
