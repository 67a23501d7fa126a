#include "studentvideoplayerwidget.h"
#include "ui_studentvideoplayerwidget.h"

#include "mgr/appcontext.h"
#include "mgr/globaldatamgr.h"
#include "mgr/http/networkdownloadreplyholder.h"
#include "mgr/message/videocontrolprotocol.h"
#include "mgr/signalqueuemgr.h"
#include "mgr/singleton.h"
#include "platform/player/audiooutput.h"
#include "platform/player/avplayer.h"
#include "utility/appdirs.h"
#include "utility/durations.h"
#include "utility/widget/playbackslots.h"
#include "utility/widget/promptmessagewidget.h"
#include "widget/classwidget.h"
#include "widget/coursedialogs.h"
#include "widget/student/studentclasswidget.h"

#include <QCloseEvent>
#include <QDebug>
#include <QGuiApplication>
#include <QScreen>
#include <QSysInfo>
#include <QTimer>

namespace {

void logThis(const QObject *object)
{
    qInfo("this:0x%llx", static_cast<unsigned long long>(reinterpret_cast<quintptr>(object)));
}

} // namespace

StudentVideoPlayerWidget::StudentVideoPlayerWidget(QWidget *parent)
    : BaseMainWidget(parent)
    , ui(new Ui::studentvideoplayerwidget)
    , m_noPlayTimer(new QTimer(this))
{
    logThis(this);
    qInfo("ctor");
    ui->setupUi(this);
    m_noPlayTimer->setSingleShot(true);
    connect(m_noPlayTimer, &QTimer::timeout, this, &StudentVideoPlayerWidget::slot_timer_on_no_video_play_msg);
    init();
}

StudentVideoPlayerWidget::~StudentVideoPlayerWidget()
{
    logThis(this);
    qInfo("dtor");
    delete ui;
}

void StudentVideoPlayerWidget::init()
{
    qInfo("init");
    setWindowTitle(QStringLiteral("播放视频"));
    initSize();
    initVideoWidget();
    initMediaPlayUtil();
    showPromptMessage(QStringLiteral("老师正在播放教学视频哦"), this, 2, false);
}

QSize StudentVideoPlayerWidget::windowSizeFor(int width, int height)
{
    if (width > kDefaultWidth && height > kDefaultHeight)
        return QSize(int(double(float(width)) * 0.7), int(double(float(height)) * 0.7));
    return QSize(kDefaultWidth, kDefaultHeight);
}

bool StudentVideoPlayerWidget::isOldOSVersion()
{
#ifdef Q_OS_WIN
    return QSysInfo::windowsVersion() < QSysInfo::WV_WINDOWS7;
#else
    return false;
#endif
}

void StudentVideoPlayerWidget::initSize()
{
    resize(kDefaultWidth, kDefaultHeight);
    QScreen *screen = QGuiApplication::primaryScreen();
    if (!screen) {
        qCritical("desktop is null");
        return;
    }
    const QRect area = screen->geometry();
    qInfo("width:%d, height:%d", area.width(), area.height());
    resize(windowSizeFor(area.width(), area.height()));
}

void StudentVideoPlayerWidget::initVideoWidget()
{
    qInfo("initVideoWidget");
    m_view.createPlayer(this);
    createWidgetRenderer();
}

void StudentVideoPlayerWidget::createWidgetRenderer()
{
    if (m_view.createRenderer(this, ui->verticalLayout))
        return;
    qCritical("videoWidget->widget() is null");
    CourseDialogs::notice(CourseDialogs::Critical, this, QStringLiteral("维默"),
                          QStringLiteral("视频播放器创建失败,请关闭重试"));
}

void StudentVideoPlayerWidget::initMediaPlayUtil()
{
    qInfo("initMediaPlayUtil");
    connectPlaybackSlots(&mediaUtil, this);
    SignalQueueMgr *bus = SignalQueueMgr::instance();
    connect(bus, &SignalQueueMgr::signal_class_widget_closed, this, &StudentVideoPlayerWidget::slot_to_close);
    connect(bus, &SignalQueueMgr::signal_student_video_play, this, &StudentVideoPlayerWidget::slot_to_close);
    auto *page = qobject_cast<StudentClassWidget *>(Singleton<GlobalDataMgr>::instance()->getCurrentClassWidget());
    if (page) {
        qInfo("connect signal teacher offline");
        connect(page, &StudentClassWidget::signal_teacher_offline, this, &StudentVideoPlayerWidget::slot_to_close);
    }
    mediaUtil.init(player(), nullptr, nullptr, nullptr, nullptr);
    mediaUtil.setIsOnlyLocalhasVoice(true);
}

bool StudentVideoPlayerWidget::shouldLocalPlayVideo(const VideoMaterial &video)
{
    if (NetWorkDownloadReplyHolder::isFileAlreadyDownloaded(video.getVideoUrl(), getDownloadResourceDir()))
        return true;
    qCritical("isVideoDownloaded false");
    return false;
}

void StudentVideoPlayerWidget::open(const ClassInfoEntity &classInfo, const VideoMaterial &video)
{
    logThis(this);
    qInfo("open VideoMaterial:%s",
          qUtf8Printable(QStringLiteral("VideoMaterial:id:%1, video:%2, video_sm:%3, pic:%4, name:%5, voice:%6")
                             .arg(video.id, video.video, video.video_sm, video.pic, video.name, video.voice)));
    m_classInfo = classInfo;
    m_video = video;
    const QString folder = getDownloadResourceDir();
    m_localPlay = shouldLocalPlayVideo(video);
    if (m_localPlay) {
        qInfo("shouldLocalPlayVideo");
        const QString videoPath = NetWorkDownloadReplyHolder::getFilePath(video.getVideoUrl(), folder);
        const QString audioPath = video.voice.isEmpty() ? QString()
                                                        : NetWorkDownloadReplyHolder::getFilePath(video.voice, folder);
        const bool audioDownloaded = !video.voice.isEmpty()
            && NetWorkDownloadReplyHolder::isFileAlreadyDownloaded(video.voice, folder);
        player()->setFile(videoPath);
        if (!player()->audio())
            qCritical("audioOutput is null");
        const bool oldOs = isOldOSVersion();
        if (oldOs)
            qWarning("isOldOSVersion");
        const bool mixing = Singleton<AppContext>::instance()->isAudioMixingEnabled();
        qInfo("play arements:isAudioMixing:%d, isOldOSVersion:%d, isAudioDownloaded:%d", mixing, oldOs,
              audioDownloaded);
        if (mixing && !oldOs && player()->audio() && audioDownloaded) {
            // The separate sound plays through the engine, here only.
            player()->audio()->setMute(true);
            mediaUtil.setAudioFile(QString(), audioPath);
        } else {
            qCritical("isAudioDownloaded false");
        }
    } else {
        qWarning("not shouldLocalPlayVideo, play online");
        qInfo("setMedia url:%s", qUtf8Printable(video.getVideoUrl()));
        player()->setFile(video.getVideoUrl());
    }
    sendReadyMsg();
}

void StudentVideoPlayerWidget::sendReadyMsg()
{
    logThis(this);
    qInfo("sendReadyMsg");
    sendVideoControlProtocol(VIDEO_STUDENT_READY);
    qInfo("onplay:start timer for preventing not recevied the play message");
    m_noPlayTimer->start(Durations::ms(kNoPlayMessageMs));
}

void StudentVideoPlayerWidget::sendVideoControlProtocol(int type)
{
    VideoControlProtocol::send(type, m_classInfo, m_video);
}

void StudentVideoPlayerWidget::onPlay()
{
    logThis(this);
    qInfo("onplay:onPlay");
    if (didVideoPlayMsgReceived) {
        qCritical("onplay:didVideoPlayMsgReceived is already true");
        return;
    }
    didVideoPlayMsgReceived = true;
    m_noPlayTimer->stop();
    qInfo("mediaUtil.onPlayButtonClicked");
    mediaUtil.onPlayButtonClicked();
    muteSelfAudio();
}

void StudentVideoPlayerWidget::slot_timer_on_no_video_play_msg()
{
    logThis(this);
    qInfo("onplay:slot_timer_on_no_video_play_msg");
    if (!didVideoPlayMsgReceived) {
        qCritical("onplay:didVideoPlayMsgReceived not, play it myself");
        onPlay();
    }
}

void StudentVideoPlayerWidget::onPause()
{
    logThis(this);
    qInfo("onPause");
    if (!mediaUtil.getIsPlaying()) {
        qCritical("not playing");
        return;
    }
    if (mediaUtil.getIsPaused()) {
        qCritical("already paused");
        return;
    }
    showPromptMessage(QStringLiteral("老师暂停了教学视频哦"), this, 2, false);
    mediaUtil.onPause();
}

void StudentVideoPlayerWidget::onResume()
{
    logThis(this);
    qInfo("onResume");
    if (!mediaUtil.getIsPlaying()) {
        qCritical("not playing");
        return;
    }
    if (!mediaUtil.getIsPaused()) {
        qCritical("not paused");
        return;
    }
    mediaUtil.onResume();
    show();
    raise();
}

void StudentVideoPlayerWidget::onFinished(const QString &videoId)
{
    logThis(this);
    qInfo("onFinished");
    if (videoId == m_video.id)
        slot_to_close();
    else
        qCritical("different video id, not this video");
}

void StudentVideoPlayerWidget::slot_onPlay()
{
    qInfo("slot_onPlay");
    bringToTop(true);
}

void StudentVideoPlayerWidget::slot_onPause()
{
    qInfo("slot_onPause");
    unmuteSelfAudio();
    bringToTop(false);
}

void StudentVideoPlayerWidget::slot_onResume()
{
    qInfo("slot_onResume");
    muteSelfAudio();
    bringToTop(true);
}

void StudentVideoPlayerWidget::slot_onFinished()
{
    qInfo("slot_onFinished");
    unmuteSelfAudio();
    close();
}

void StudentVideoPlayerWidget::bringToTop(bool onTop)
{
    qInfo("bringToTop");
    if (m_closing)
        return;
    setWindowFlag(Qt::WindowStaysOnTopHint, onTop);
    raise();
    show();
}

void StudentVideoPlayerWidget::muteSelfAudio()
{
    MediaWithAgoraMixingControlUtil::setMicrophoneMutedForVideo(true);
}

void StudentVideoPlayerWidget::unmuteSelfAudio()
{
    MediaWithAgoraMixingControlUtil::setMicrophoneMutedForVideo(false);
}

void StudentVideoPlayerWidget::slot_to_close()
{
    logThis(this);
    qInfo("slot_to_close");
    close();
}

void StudentVideoPlayerWidget::closeEvent(QCloseEvent *event)
{
    logThis(this);
    m_closing = true;
    m_noPlayTimer->stop();
    showPromptMessage(QStringLiteral("教学视频播放结束"), Singleton<GlobalDataMgr>::instance()->getCurrentClassWidget(), 2,
                      false);
    BaseMainWidget::closeEvent(event);
    mediaUtil.reset();
    unmuteSelfAudio();
}
