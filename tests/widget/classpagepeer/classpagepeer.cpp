// A student's real classroom window in a process of its own, for the tests
// of the teacher's class control between processes:
//
//   lessonry-classpage-peer-student --uid <uid>
//
// It signs the student in, opens the classroom window on the test class
// (teacher 30001, students 20001 and 20002, class 10001) over the broker and
// the lesson service of the servers file in force, and reports what its
// class page shows.
// Commands, one per line on standard input:
//   state     report the page
//   text <key>  the language text of key, as "text <key> <text>"
//   leave     close the classroom window, as the student leaving does
//   quit
// Events, one per line on standard output:
//   inchannel                 in the class on every transport and the RTC channel
//   got <code> <sender>       the page has handled a class-control, page or
//                             mode message (401-404, 301, 410)
//   joined <uid> | offline <uid>   the page has handled an RTC join or leave
//   log <text>                one of the page's praise-post log lines
//   state <json>              {"mic": own microphone muted 0/1 in the engine,
//                              "boxes": message boxes on screen,
//                              "pen": 0/1, "big": enlarged uid or "",
//                              "desktop": 0/1, "tiles": {uid: {"in", "mic",
//                              "praise", "alert"}}}
//   left                      the window is closed

#include "classroomtestsupport.h"
#include "peercommandloop.h"

#include "biz/im/agora/agoraimchannelmgr.h"
#include "biz/im/agora/agoraimsdk.h"
#include "biz/im/agora/videosdk.h"
#include "biz/im/mqtt/mqttimsdk.h"
#include "mgr/message/sendandreceivemsg.h"
#include "platform/rtc/rtctesthooks.h"
#include "utility/translatelanguage.h"
#include "widget/coursedialogs.h"
#include "widget/student/studentclasswidget.h"
#include "widget/widgetbigvideo.h"
#include "widget/widgetclassroom.h"
#include "widget/widgetvideoitem.h"
#include "widget/widgetvideoitemlist.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QJsonDocument>
#include <QJsonObject>
#include <QMessageBox>
#include <QPointer>
#include <QPushButton>

#include <cstdio>

namespace {

// The praise post's steps, which show on the page only as log lines.
const char *const kReportedLogs[] = { "postEncourage uid:", "too many praise posts pending",
                                      "slot_onSuccess_getPostEncourage likeNum:", "signal_onFailure" };

void peerLog(QtMsgType type, const QMessageLogContext &, const QString &message)
{
    if (type == QtCriticalMsg || type == QtFatalMsg)
        fprintf(stderr, "class page peer: %s\n", qUtf8Printable(message));
    for (const char *start : kReportedLogs) {
        if (message.startsWith(QLatin1String(start)))
            PeerCommandLoop::writeLine(QStringLiteral("log ") + message);
    }
}

class Peer : public QObject
{
public:
    Peer()
        : m_commands([this] { leave(); })
    {
        m_commands.add(QStringLiteral("state"), [this] { state(); });
        m_commands.add(QStringLiteral("leave"), [this] { leave(); });
        m_commands.addWithArguments(QStringLiteral("text"), [](const QString &key) {
            PeerCommandLoop::writeLine(QStringLiteral("text %1 %2").arg(key, Translatelanguage::instance()->getText(key)));
        });
    }

    void open()
    {
        m_joined = 0;
        m_room = new WidgetClassRoom;
        auto *watcher = new QObject(m_room);
        // Connected after the window and its page: they have handled an
        // event when these run.
        SendAndReceiveMsg *messages = SendAndReceiveMsg::instance();
        connect(messages, &SendAndReceiveMsg::signal_receiveSharingDesktopMsg, watcher,
                [this](ImMsgInfo info, SharingDesktop) { handled(401, info.uid); });
        connect(messages, &SendAndReceiveMsg::signal_receiveFunctionControl, watcher,
                [this](ImMsgInfo info, FunctionControl) { handled(402, info.uid); });
        connect(messages, &SendAndReceiveMsg::signal_receiveEncourageMsg, watcher,
                [this](ImMsgInfo info, EncourageMessage) { handled(403, info.uid); });
        connect(messages, &SendAndReceiveMsg::signal_receiveHighlightPerson, watcher,
                [this](ImMsgInfo info, HighlightPerson) { handled(404, info.uid); });
        connect(messages, &SendAndReceiveMsg::signal_receiveTurnToPageMsg, watcher,
                [this](ImMsgInfo info, TurnToPageData) { handled(301, info.uid); });
        connect(messages, &SendAndReceiveMsg::signal_receiveClassModelControl, watcher,
                [this](ImMsgInfo info, ClassModelControl) { handled(410, info.uid); });
        VideoSDK *video = VideoSDK::instance();
        connect(video, &VideoSDK::signal_UserJoined, watcher, [this](const QString &uid) {
            PeerCommandLoop::writeLine(QStringLiteral("joined ") + uid);
            state();
        });
        connect(video, &VideoSDK::signal_UserOffline, watcher, [this](const QString &uid) {
            PeerCommandLoop::writeLine(QStringLiteral("offline ") + uid);
            state();
        });
        connect(MqttImSdk::instance(), &MqttImSdk::signal_joinChannelSuccess, watcher, [this] { joinedOne(1); });
        connect(AgoraIMChannelMgr::instance(), &AgoraIMChannelMgr::signal_onChannelJoined, watcher,
                [this] { joinedOne(2); });
        connect(video, &VideoSDK::signal_joinVideoChannelSuccess, watcher, [this] { joinedOne(4); });
        m_room->startClass(ClassroomTestSupport::classInfo());
    }

private:
    void joinedOne(int transport)
    {
        if (m_joined == 7)
            return;
        m_joined |= transport;
        if (m_joined == 7)
            PeerCommandLoop::writeLine(QStringLiteral("inchannel"));
    }

    void handled(int code, const QString &sender)
    {
        PeerCommandLoop::writeLine(QStringLiteral("got %1 %2").arg(code).arg(sender));
        state();
    }

    StudentClassWidget *page() const
    {
        return m_room ? qobject_cast<StudentClassWidget *>(m_room->classWidget()) : nullptr;
    }

    void state()
    {
        StudentClassWidget *classPage = page();
        if (!classPage) {
            PeerCommandLoop::writeLine(QStringLiteral("state {}"));
            return;
        }
        QJsonObject shown;
        const QJsonValue muted =
            RtcTestHooks::parameter(VideoSDK::instance()->getRtcEngine(), QStringLiteral("rtc.audio.mute_me"));
        shown.insert(QStringLiteral("mic"), muted.toBool(false) ? 1 : 0);
        int boxes = 0;
        for (const QWidget *window : QApplication::topLevelWidgets())
            boxes += qobject_cast<const QMessageBox *>(window) && window->isVisible();
        shown.insert(QStringLiteral("boxes"), boxes);
        const QPushButton *pen = classPage->findChild<QPushButton *>(QStringLiteral("btnPen"));
        shown.insert(QStringLiteral("pen"), pen && pen->isEnabled() ? 1 : 0);
        QString big;
        for (const WidgetBigVideo *view : classPage->findChildren<WidgetBigVideo *>()) {
            if (view != classPage->getDesktopView() && view->getShowType() != 0)
                big = view->getUserInfo().uid;
        }
        shown.insert(QStringLiteral("big"), big);
        const WidgetBigVideo *desktop = classPage->getDesktopView();
        shown.insert(QStringLiteral("desktop"), desktop && desktop->getShowType() != 0 ? 1 : 0);
        QJsonObject tiles;
        WidgetVideoItemList *list = classPage->getVideoItemList();
        for (int i = 0; i < list->count(); ++i) {
            const WidgetVideoItem *tile = list->getWidgetByIdx(i);
            const QPushButton *mic = tile->findChild<QPushButton *>(QStringLiteral("btnAudio"));
            tiles.insert(tile->getUserInfo().uid,
                         QJsonObject{ { "in", tile->stateFlag() ? 1 : 0 },
                                      { "mic", mic && mic->isChecked() ? 1 : 0 },
                                      { "praise", tile->praiseText() },
                                      { "alert", tile->alertText() } });
        }
        shown.insert(QStringLiteral("tiles"), tiles);
        PeerCommandLoop::writeLine(QStringLiteral("state ") + QString::fromUtf8(QJsonDocument(shown).toJson(QJsonDocument::Compact)));
    }

    void leave()
    {
        if (!m_room)
            return;
        m_room->close();
        delete m_room;
        PeerCommandLoop::writeLine(QStringLiteral("left"));
    }

    PeerCommandLoop m_commands;
    QPointer<WidgetClassRoom> m_room;
    int m_joined = 0;
};

} // namespace

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    qInstallMessageHandler(peerLog);
    QCommandLineParser parser;
    const QCommandLineOption uidOption(QStringLiteral("uid"), QStringLiteral("Own uid."), QStringLiteral("uid"));
    parser.addOption(uidOption);
    parser.process(app);
    const QString uid = parser.value(uidOption);
    if (uid.isEmpty()) {
        fprintf(stderr, "usage: %s --uid <uid>\n", argv[0]);
        return 2;
    }
    StudentLoginDataEntity user;
    user.id = uid;
    Singleton<StudentCurrentUser>::instance()->setUserInfo(user);
    // Nobody answers the window's questions but the test: leaving is meant.
    // The boxes that do not wait (the service's notices) show for real.
    CourseDialogs::setBoxHandler([](const CourseDialogs::Box &) { return int(QMessageBox::Yes); });
    // As the program starts them.
    AgoraIMSdk::instance()->init();
    VideoSDK::instance()->init();
    MqttImSdk::instance()->init(uid);
    Peer peer;
    peer.open();
    return app.exec();
}
