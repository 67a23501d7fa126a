// Measures the chat panel:
//  - adding one received text bubble to a panel that holds 999 against
//    adding one to a panel that holds 9, alternating, rounds of each, with
//    the events the add posts (placing, painting) handled (the ratio must
//    stay near 1: no cost that grows with the history); the oldest bubble
//    is taken away after each round, outside the timing, so the panels
//    keep their lengths;
//  - a text from a teacher process's chat panel (typed, sent with Enter;
//    the text is the wall-clock time of the key press) to the bubble in
//    this process's panel, beside the message layer's own hop (the same
//    process's sendMsg to signal_receiveTextMsg here), alternating, over a
//    mosquitto broker of its own; p50 and p99 of each.
// Run offscreen (scripts/bench.sh does).

#include "classroompeerprocess.h"
#include "median.h"
#include "mosquittobroker.h"
#include "testutil.h"

#include "biz/im/mqtt/mqttimsdk.h"
#include "biz/login/studentlogindataentity.h"
#include "mgr/message/sendandreceivemsg.h"
#include "mgr/singleton.h"
#include "mgr/studentcurrentuser.h"
#include "utility/userinfo.h"
#include "mgr/appmainloop.h"
#include "widget/chatmessagelist.h"
#include "widget/widgetmessage.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTimer>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <vector>

namespace {

const int kRounds = 300;
const int kHops = 500;

qint64 nowMicros()
{
    return std::chrono::duration_cast<std::chrono::microseconds>(std::chrono::system_clock::now().time_since_epoch())
        .count();
}

double percentile(std::vector<double> samples, int p)
{
    if (samples.empty())
        return 0;
    std::sort(samples.begin(), samples.end());
    return samples[std::min(samples.size() - 1, samples.size() * size_t(p) / 100)];
}

ImMsgInfo from(const QString &uid)
{
    ImMsgInfo info;
    info.uid = uid;
    return info;
}

ChatMessageList *bubbleList(WidgetMessage &panel)
{
    return panel.findChild<ChatMessageList *>(QStringLiteral("listWidget"));
}

// Received bubbles are built in short turns of the event loop: runs them
// until the panel holds count.
void showAll(WidgetMessage &panel, int count)
{
    while (bubbleList(panel)->count() < count)
        QApplication::processEvents();
}

void fill(WidgetMessage &panel, int count)
{
    TextMessage text;
    for (int i = 0; i < count; ++i) {
        text.content = QStringLiteral("message %1 of the history, long enough to wrap once in its bubble").arg(i);
        panel.slot_receiveTextMsg(from(QStringLiteral("30001")), text);
    }
    showAll(panel, count);
    QApplication::processEvents();
}

// Adds one bubble and handles what it posts; returns the microseconds it
// took and takes the oldest bubble away.
double addOne(WidgetMessage &panel, int round)
{
    ChatMessageList *list = bubbleList(panel);
    const int before = list->count();
    TextMessage text;
    text.content = QStringLiteral("round %1: one more message in the list").arg(round);
    QElapsedTimer timer;
    timer.start();
    panel.slot_receiveTextMsg(from(QStringLiteral("30001")), text);
    showAll(panel, before + 1);
    QApplication::processEvents();
    const double micros = timer.nsecsElapsed() / 1000.0;
    list->removeFirst();
    return micros;
}

void bubbleCost()
{
    WidgetMessage shortPanel;
    WidgetMessage longPanel;
    shortPanel.resize(280, 600);
    longPanel.resize(280, 600);
    shortPanel.show();
    longPanel.show();
    fill(shortPanel, 9);
    fill(longPanel, 999);
    std::vector<double> tenth;
    std::vector<double> thousandth;
    std::vector<double> ratios;
    for (int round = 0; round < kRounds; ++round) {
        const double a = addOne(shortPanel, round);
        const double b = addOne(longPanel, round);
        tenth.push_back(a);
        thousandth.push_back(b);
        ratios.push_back(b / a);
    }
    std::printf("== one more bubble, %d rounds each, alternating (microseconds)\n", kRounds);
    std::printf("%-44s median %8.1f\n", "10th bubble (panel holds 9)", median(tenth));
    std::printf("%-44s median %8.1f\n", "1000th bubble (panel holds 999)", median(thousandth));
    std::printf("%-44s median %8.2f  (ratio of the medians %.2f)\n", "ratio 1000th / 10th per round", median(ratios),
                median(thousandth) / median(tenth));
}

void sendToBubble(const QString &classId)
{
    StudentLoginDataEntity user;
    user.id = QStringLiteral("20001");
    Singleton<StudentCurrentUser>::instance()->setUserInfo(user);
    MqttImSdk *mqtt = MqttImSdk::instance();
    mqtt->init(user.id);
    QSignalSpy loggedIn(mqtt, &MqttImSdk::signal_loginSuccess);
    QSignalSpy joined(mqtt, &MqttImSdk::signal_joinChannelSuccess);
    mqtt->login(classId, user.id, QStringLiteral("session"));
    if (!loggedIn.wait(10000)) {
        std::printf("no MQTT login\n");
        return;
    }
    mqtt->joinChannel(classId, user.id);
    while (joined.count() < 2 && joined.wait(5000)) {
    }

    // The layer's hop is timed before the panel's slot runs, the bubble after it.
    qint64 hopArrival = -1;
    qint64 hopSent = 0;
    QObject::connect(SendAndReceiveMsg::instance(), &SendAndReceiveMsg::signal_receiveTextMsg,
                     [&](ImMsgInfo, TextMessage text) {
                         if (text.nickname == QLatin1String("stamp")) {
                             hopSent = text.content.toLongLong();
                             hopArrival = nowMicros();
                         }
                     });
    UserList roster;
    WidgetMessage panel;
    panel.setChannelAndUser(classId, &roster);
    qint64 bubbleShown = -1;
    qint64 bubbleSent = 0;
    QEventLoop loop;
    QObject::connect(SendAndReceiveMsg::instance(), &SendAndReceiveMsg::signal_receiveTextMsg,
                     [&](ImMsgInfo, TextMessage text) {
                         if (text.nickname != QLatin1String("stamp")) {
                             bubbleSent = text.content.toLongLong();
                             bubbleShown = nowMicros();
                         }
                         loop.quit();
                     });

    ClassroomPeerProcess teacher;
    if (!teacher.startProgram(QDir(TestUtil::binDir()).filePath(QStringLiteral("lessonry-classroom-peer-teacher")),
                              { QStringLiteral("--uid"), QStringLiteral("30001"), QStringLiteral("--class"), classId,
                                QStringLiteral("--chat") })) {
        std::printf("no teacher peer\n");
        return;
    }
    std::vector<double> hops;
    std::vector<double> bubbles;
    const auto once = [&](const QString &command, qint64 &arrival) {
        arrival = -1;
        const int shown = bubbleList(panel)->count();
        teacher.command(command);
        QTimer::singleShot(5000, &loop, &QEventLoop::quit);
        loop.exec();
        // The bubble is built from the event loop after the message came.
        if (&arrival == &bubbleShown && arrival >= 0) {
            showAll(panel, shown + 1);
            bubbleShown = nowMicros();
        }
        return arrival >= 0;
    };
    for (int i = 0; i < kHops + 50; ++i) {
        if (!once(QStringLiteral("stamp"), hopArrival) || !once(QStringLiteral("chat stamp"), bubbleShown))
            break;
        if (i < 50) // warm-up
            continue;
        hops.push_back(double(hopArrival - hopSent));
        bubbles.push_back(double(bubbleShown - bubbleSent));
    }
    teacher.finish();
    std::printf("\n== one text, %d times each, alternating (microseconds)\n", int(hops.size()));
    std::printf("%-44s p50 %7.0f  p99 %7.0f\n", "message layer: sendMsg -> signal", percentile(hops, 50), percentile(hops, 99));
    std::printf("%-44s p50 %7.0f  p99 %7.0f\n", "chat: Enter in the panel -> bubble", percentile(bubbles, 50),
                percentile(bubbles, 99));
    std::printf("%-44s %7.0f\n", "p50 difference", percentile(bubbles, 50) - percentile(hops, 50));
}

} // namespace

int main(int argc, char *argv[])
{
    QTemporaryDir home;
    qputenv("XDG_DATA_HOME", home.path().toUtf8());
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    // The program's font, as the client sets it at start.
    AppMainLoop::setProgramFont();
    bubbleCost();
    // "--bubbles": only the first figure (for a profiler).
    if (app.arguments().contains(QStringLiteral("--bubbles")))
        return 0;

    MosquittoBroker broker;
    if (!broker.startWithServersIni(home.filePath(QStringLiteral("servers.ini")))) {
        std::printf("cannot start a broker\n");
        return 1;
    }
    sendToBubble(QStringLiteral("bench"));
    MqttImSdk::instance()->destory();
    return 0;
}
