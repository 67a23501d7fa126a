// A student following the teacher's lesson videos in a process of its own,
// for the tests of the video control between teacher and students:
//
//   lessonry-media-peer-student --uid <uid> --class <classId> --mid <mid>
//                               --video <id>|<video url>|<voice url>|<name>
//                               [--copy <file>|<url>]... [--log]
//
// (--copy: the student has downloaded url; file is put where the download
// would have put it.)
// It joins the class over the broker of the servers file in force and runs
// the student's video control on that one video (offscreen, real player).
// Commands, one per line on standard input: state, quit. Its log goes to
// standard error only when LESSONRY_MEDIA_PEER_LOG is set.
// Events, one per line on standard output:
//   inchannel
//   got <type>                      a video control message was handled
//   opened <videoid> local|online   a player window opened
//   playing | paused | resumed      the player window's control
//   position                        the picture moved (first position > 0)
//   mic muted | mic open            the microphone while the video plays
//   closed <videoid>                the player window closed
//   state window <videoid|none> started <0|1>

#include "boardclasssupport.h"
#include "peercommandline.h"
#include "peercommandloop.h"

#include "mgr/http/networkdownloadreplyholder.h"
#include "mgr/message/sendandreceivemsg.h"
#include "mgr/signalqueuemgr.h"
#include "platform/player/avplayer.h"
#include "utility/appdirs.h"
#include "widget/student/studentvideocontrolutil.h"
#include "widget/studentvideoplayerwidget.h"

#include <QApplication>
#include <QFile>
#include <QPointer>

#include <cstdio>
#include <memory>

namespace {

void quietLog(QtMsgType type, const QMessageLogContext &, const QString &message)
{
    if (type == QtFatalMsg || qEnvironmentVariableIsSet("LESSONRY_MEDIA_PEER_LOG"))
        fprintf(stderr, "media peer: %s\n", qUtf8Printable(message));
}

class Peer : public QObject
{
public:
    Peer(BoardClass &session, StudentVideoControlUtil &control)
        : m_session(session)
        , m_control(control)
        , m_commands([this] { quit(); })
    {
        m_commands.add(QStringLiteral("state"), [this] { state(); });
        // After the control's own slot: the window is there when this runs.
        connect(SendAndReceiveMsg::instance(), &SendAndReceiveMsg::signal_receiveVideoControl, this,
                [this](ImMsgInfo, ProtocolVideoControl protocol) {
                    if (protocol.type == 6)
                        return;
                    PeerCommandLoop::writeLine(QStringLiteral("got %1").arg(protocol.type));
                    watchWindow();
                });
        connect(SignalQueueMgr::instance(), &SignalQueueMgr::signal_playingVideo, this,
                [](bool playing) { PeerCommandLoop::writeLine(playing ? QStringLiteral("mic muted") : QStringLiteral("mic open")); });
        connect(&session, &BoardClass::inChannel, this, [] { PeerCommandLoop::writeLine(QStringLiteral("inchannel")); });
    }

private:
    void watchWindow()
    {
        StudentVideoPlayerWidget *window = m_control.playerWidget();
        if (!window || window == m_watched)
            return;
        m_watched = window;
        const QString id = window->material().id;
        PeerCommandLoop::writeLine(QStringLiteral("opened %1 %2").arg(id, window->isLocalPlay() ? QStringLiteral("local")
                                                                                : QStringLiteral("online")));
        MediaWithAgoraMixingControlUtil *control = window->control();
        connect(control, &MediaPlayPauseControlUtil::signal_onPlay, this, [] { PeerCommandLoop::writeLine(QStringLiteral("playing")); });
        connect(control, &MediaPlayPauseControlUtil::signal_onPause, this, [] { PeerCommandLoop::writeLine(QStringLiteral("paused")); });
        connect(control, &MediaPlayPauseControlUtil::signal_onResume, this,
                [] { PeerCommandLoop::writeLine(QStringLiteral("resumed")); });
        connect(window, &StudentVideoPlayerWidget::signal_close, this,
                [id] { PeerCommandLoop::writeLine(QStringLiteral("closed %1").arg(id)); });
        auto moved = std::make_shared<bool>(false);
        connect(window->player(), &QtAV::AVPlayer::positionChanged, this, [moved](qint64 position) {
            if (position > 0 && !*moved) {
                *moved = true;
                PeerCommandLoop::writeLine(QStringLiteral("position"));
            }
        });
    }

    void state()
    {
        StudentVideoPlayerWidget *window = m_control.playerWidget();
        PeerCommandLoop::writeLine(QStringLiteral("state window %1 started %2")
                     .arg(window ? window->material().id : QStringLiteral("none"))
                     .arg(window && window->hasPlayStarted() ? 1 : 0));
    }

    void quit()
    {
        if (StudentVideoPlayerWidget *window = m_control.playerWidget())
            window->close();
        m_session.leave();
    }

    BoardClass &m_session;
    StudentVideoControlUtil &m_control;
    PeerCommandLoop m_commands;
    QPointer<StudentVideoPlayerWidget> m_watched;
};

} // namespace

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    qInstallMessageHandler(quietLog);
    const QCommandLineOption midOption(QStringLiteral("mid"), QStringLiteral("Material id."), QStringLiteral("mid"));
    const QCommandLineOption videoOption(QStringLiteral("video"), QStringLiteral("id|video|voice|name"),
                                         QStringLiteral("video"));
    const QCommandLineOption copyOption(QStringLiteral("copy"), QStringLiteral("file|url already downloaded"),
                                        QStringLiteral("copy"));
    PeerCommandLine arguments({ midOption, videoOption, copyOption });
    arguments.process(app);
    const BoardClass::Options options = peerBoardClassOptions(arguments);
    const QStringList video = arguments.parser().value(videoOption).split(QLatin1Char('|'));
    if (options.uid.isEmpty() || options.classId.isEmpty() || video.size() != 4) {
        fprintf(stderr, "usage: %s --uid <uid> --class <classId> --mid <mid> --video <id>|<video>|<voice>|<name>\n",
                argv[0]);
        return 2;
    }
    for (const QString &copy : arguments.parser().values(copyOption)) {
        const QString file = copy.section(QLatin1Char('|'), 0, 0);
        const QString url = copy.section(QLatin1Char('|'), 1);
        const QString target = NetWorkDownloadReplyHolder::getFilePath(url, getDownloadResourceDir());
        QFile::remove(target);
        if (!QFile::copy(file, target)) {
            fprintf(stderr, "cannot copy %s\n", qPrintable(file));
            return 1;
        }
    }
    BoardClass session(options);
    ClassInfoEntity info;
    info.class_id = options.classId;
    info.material.mid = arguments.parser().value(midOption);
    VideoMaterial material;
    material.id = video.at(0);
    material.video = video.at(1);
    material.voice = video.at(2);
    material.name = video.at(3);
    info.material.videos.append(material);
    StudentVideoControlUtil control;
    control.setClassInfo(info);
    Peer peer(session, control);
    session.join();
    return app.exec();
}
