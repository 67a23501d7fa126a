#include "teachervideoplayerwidget.h"
#include "ui_teachervideoplayerwidget.h"

#include "biz/im/agora/videosdk.h"
#include "mgr/globaldatamgr.h"
#include "mgr/message/sendandreceivemsg.h"
#include "mgr/message/videocontrolprotocol.h"
#include "mgr/signalqueuemgr.h"
#include "mgr/singleton.h"
#include "platform/player/audiooutput.h"
#include "platform/player/avplayer.h"
#include "utility/durations.h"
#include "utility/translatelanguage.h"
#include "utility/widget/playbackslots.h"
#include "utility/widget/promptmessagewidget.h"
#include "widget/coursedialogs.h"
#include "widget/teacherclasswidget.h"

#include <QCloseEvent>
#include <QDebug>
#include <QFile>
#include <QProgressDialog>
#include <QTimer>

TeacherVideoPlayerWidget::TeacherVideoPlayerWidget(QWidget *parent)
    : CloseSignalWidget(parent)
    , ui(new Ui::TeacherVideoPlayerWidget)
    , loadingTimer(new QTimer(this))
{
    ui->setupUi(this);
    setWindowFlags(Qt::Window | Qt::WindowTitleHint | Qt::WindowSystemMenuHint | Qt::WindowMaximizeButtonHint
                   | Qt::WindowCloseButtonHint);
    loadingTimer->setInterval(Durations::ms(kLoadingTickMs));
    connect(loadingTimer, &QTimer::timeout, this, &TeacherVideoPlayerWidget::onLoadingTimerTimeout);
    m_view.createPlayer(this);
    createWidgetRenderer();

    connectPlaybackSlots(&mediaUtil, this);
    // A video that cannot be played ends as if finished (the students close
    // theirs, the microphones come back); the teacher is told why.
    connect(&mediaUtil, &MediaControlUtil::signal_onFailed, this, [this]() {
        QWidget *over = classWidget();
        showPromptMessage(Translatelanguage::instance()->getText(QStringLiteral("cannotplayvideo")), over ? over : this, 2,
                          false);
    });
    SignalQueueMgr *bus = SignalQueueMgr::instance();
    connect(bus, &SignalQueueMgr::signal_class_widget_closed, this, &TeacherVideoPlayerWidget::slot_to_close);
    connect(bus, &SignalQueueMgr::signal_screen_sharing_start, this, &TeacherVideoPlayerWidget::slot_to_close);
    connect(bus, &SignalQueueMgr::signal_audio_play, this, &TeacherVideoPlayerWidget::slot_to_close);
    connect(SendAndReceiveMsg::instance(), &SendAndReceiveMsg::signal_receiveVideoControl, this,
            &TeacherVideoPlayerWidget::slot_receiveVideoControl);
    mediaUtil.init(player(), ui->btnPlayPause, ui->slider, ui->labelPosition, nullptr);
}

TeacherVideoPlayerWidget::~TeacherVideoPlayerWidget()
{
    qInfo("dector enters");
    delete ui;
    qInfo("dector leaves");
}

void TeacherVideoPlayerWidget::createWidgetRenderer()
{
    if (m_view.createRenderer(this, ui->verticalLayout))
        return;
    CourseDialogs::notice(CourseDialogs::Critical, this, Translatelanguage::instance()->getText(QStringLiteral("velmo")),
                          Translatelanguage::instance()->getText(QStringLiteral("cannotplayvideo")));
}

void TeacherVideoPlayerWidget::open(const ClassInfoEntity &classInfo, const VideoMaterial &video,
                                    const QString &videoFilePath, const QString &audioFilePath,
                                    const QString &audioUrl)
{
    qInfo("videoFilePath:%s, audioFilePath:%s, audioUrl:%s", qUtf8Printable(videoFilePath),
          qUtf8Printable(audioFilePath), qUtf8Printable(audioUrl));
    m_classInfo = classInfo;
    m_video = video;
    if (!player())
        return;
    player()->setFile(videoFilePath);
    if (player()->audio() && !audioFilePath.isEmpty() && QFile::exists(audioFilePath)) {
        // The separate sound plays through the engine; the file's own track
        // stays silent.
        player()->audio()->setMute(true);
        mediaUtil.setAudioFile(audioUrl, audioFilePath);
    } else {
        if (!player()->audio())
            qCritical("audioOutput is null");
        qCritical("audioFilePath:%s not exists", qUtf8Printable(audioFilePath));
    }
    connect(SignalQueueMgr::instance(), &SignalQueueMgr::signal_videoplayer_start, this,
            &TeacherVideoPlayerWidget::slot_videoplayer_start, Qt::UniqueConnection);
    initPlay();
}

TeacherClassWidget *TeacherVideoPlayerWidget::classWidget()
{
    return qobject_cast<TeacherClassWidget *>(Singleton<GlobalDataMgr>::instance()->getCurrentClassWidget());
}

bool TeacherVideoPlayerWidget::canAllStudentsPlayLocalVideo()
{
    TeacherClassWidget *page = classWidget();
    if (!page) {
        qCritical("classWidget is null");
        return false;
    }
    return page->canAllStudentsPlayLocalVideo();
}

void TeacherVideoPlayerWidget::initPlay()
{
    qInfo("initPlay");
    bAllStudentsCanPlayLocalVideo = canAllStudentsPlayLocalVideo();
    qInfo("bAllStudentsCanPlayLocalVideo:%d", bAllStudentsCanPlayLocalVideo);
    if (!bAllStudentsCanPlayLocalVideo) {
        qInfo("bAllStudentsCanPlayLocalVideo false");
        QTimer::singleShot(Durations::ms(kScreenShareStartMs), this, [this] {
            // Unless the teacher has started it already.
            if (!mediaUtil.getIsPlaying())
                on_btnPlayPause_clicked();
        });
        return;
    }
    qInfo("setIsOnlyLocalhasVoice true");
    mediaUtil.setIsOnlyLocalhasVoice(true);
    sendVideoControlProtocol(VIDEO_INIT);
    if (downloadProgressDlg) {
        qCritical("downloadProgressDlg is not null");
        closeProgressDialog();
    }
    Translatelanguage *texts = Translatelanguage::instance();
    downloadProgressDlg = new QProgressDialog(texts->getText(QStringLiteral("waitstudentsready")), QString(), 0,
                                              kLastLoadingTick, this);
    downloadProgressDlg->setCancelButton(nullptr);
    downloadProgressDlg->setWindowModality(Qt::WindowModal);
    downloadProgressDlg->setWindowTitle(texts->getText(QStringLiteral("velmo")));
    downloadProgressDlg->setMinimumDuration(1);
    downloadProgressDlg->setValue(0);
    loadingCount = 0;
    m_waitingForStudents = true;
    loadingTimer->start();
}

void TeacherVideoPlayerWidget::onLoadingTimerTimeout()
{
    qInfo("onLoadingTimerTimeout");
    ++loadingCount;
    if (downloadProgressDlg)
        downloadProgressDlg->setValue(qMin(loadingCount, kLastLoadingTick));
    if (loadingCount >= kLastLoadingTick) {
        qInfo("loading timer's up, not every student's ready for video playing");
        startPlay();
    }
}

void TeacherVideoPlayerWidget::slot_receiveVideoControl(ImMsgInfo info, ProtocolVideoControl protocol)
{
    qInfo("slot_receiveVideoControl, uid:%s", qUtf8Printable(info.uid.left(64)));
    QString why;
    if (!VideoControlProtocol::isAcceptable(protocol, &why)) {
        qCritical("video control refused: %s", qUtf8Printable(why));
        return;
    }
    if (protocol.type != VIDEO_STUDENT_READY) {
        qCritical("unknown type:%d", protocol.type);
        return;
    }
    TeacherClassWidget *page = classWidget();
    if (!page) {
        qCritical("classWidget is null");
        return;
    }
    if (!page->hasStudent(info.uid)) {
        qInfo("%s is not a class member.", qUtf8Printable(info.uid.left(64)));
        return;
    }
    if (page->getVideoReadyForPlaying(info.uid)) {
        qCritical("uid:%s is already ready for playing", qUtf8Printable(info.uid));
        return;
    }
    page->setVideoReadyForPlaying(info.uid, true);
    // A late readiness is only recorded: what plays goes on playing.
    if (m_waitingForStudents && page->isAllStudentsVideoReady()) {
        qInfo("all students are ready for playing, start play");
        startPlay();
    }
}

void TeacherVideoPlayerWidget::closeProgressDialog()
{
    if (!downloadProgressDlg)
        return;
    downloadProgressDlg->close();
    downloadProgressDlg->deleteLater();
    downloadProgressDlg = nullptr;
}

void TeacherVideoPlayerWidget::startPlay()
{
    qInfo("startPlay");
    loadingTimer->stop();
    loadingCount = 0;
    closeProgressDialog();
    if (!m_waitingForStudents)
        return;
    m_waitingForStudents = false;
    mediaUtil.onPlayButtonClicked();
}

void TeacherVideoPlayerWidget::on_btnPlayPause_clicked()
{
    qInfo("on_btnPlay_clicked");
    // Pressed while the students get ready: start now, once.
    if (m_waitingForStudents) {
        startPlay();
        return;
    }
    mediaUtil.onPlayButtonClicked();
}

void TeacherVideoPlayerWidget::startScreenCapture()
{
    if (QWidget *widget = videoWidget())
        VideoSDK::instance()->startScreenCapture(widget, nullptr);
}

void TeacherVideoPlayerWidget::stopScreenCapture()
{
    VideoSDK::instance()->stopScreenCapture();
}

void TeacherVideoPlayerWidget::slot_onPlay()
{
    qInfo("slot_onPlay");
    if (bAllStudentsCanPlayLocalVideo) {
        qInfo("canAllStudentsPlayLocalVideo is true");
        sendVideoControlProtocol(VIDEO_PLAY);
        muteSelfAudio();
    } else {
        qInfo("<VideoCapture> canAllStudentsPlayLocalVideo is false");
        startScreenCapture();
    }
}

void TeacherVideoPlayerWidget::slot_onPause()
{
    qInfo("slot_onPause");
    if (bAllStudentsCanPlayLocalVideo) {
        qInfo("canAllStudentsPlayLocalVideo is true");
        sendVideoControlProtocol(VIDEO_PAUSE);
        unmuteSelfAudio();
    } else {
        qInfo("canAllStudentsPlayLocalVideo is false");
        stopScreenCapture();
    }
}

void TeacherVideoPlayerWidget::slot_onResume()
{
    qInfo("slot_onResume");
    if (bAllStudentsCanPlayLocalVideo) {
        qInfo("canAllStudentsPlayLocalVideo is true");
        sendVideoControlProtocol(VIDEO_RESUME);
        muteSelfAudio();
    } else {
        qInfo("<VideoCapture> canAllStudentsPlayLocalVideo is false");
        startScreenCapture();
    }
}

void TeacherVideoPlayerWidget::slot_onFinished()
{
    qInfo("slot_onFinished");
    qInfo("close:slot_onFinished");
    if (bAllStudentsCanPlayLocalVideo) {
        qInfo("canAllStudentsPlayLocalVideo is true");
        sendVideoControlProtocol(VIDEO_FINISHED);
        unmuteSelfAudio();
    } else {
        qInfo("canAllStudentsPlayLocalVideo is false");
        stopScreenCapture();
    }
    qInfo("close because of onFinished");
    close();
}

void TeacherVideoPlayerWidget::sendVideoControlProtocol(int type)
{
    VideoControlProtocol::send(type, m_classInfo, m_video);
}

void TeacherVideoPlayerWidget::muteSelfAudio()
{
    MediaWithAgoraMixingControlUtil::setMicrophoneMutedForVideo(true);
}

void TeacherVideoPlayerWidget::unmuteSelfAudio()
{
    MediaWithAgoraMixingControlUtil::setMicrophoneMutedForVideo(false);
}

void TeacherVideoPlayerWidget::closeEvent(QCloseEvent *event)
{
    qInfo("close:closeEvent");
    // With a video loaded this ends it: the students are told, or the
    // capture stops.
    mediaUtil.reset();
    unmuteSelfAudio();
    loadingTimer->stop();
    m_waitingForStudents = false;
    closeProgressDialog();
    if (TeacherClassWidget *page = classWidget())
        page->resetAllStudentsVideoReadyStatus();
    else
        qCritical("close:classWidget is null");
    emit signal_close();
    CloseSignalWidget::closeEvent(event);
    qInfo("close:closeEvent leaves");
}

void TeacherVideoPlayerWidget::slot_to_close()
{
    qInfo("close:slot_to_close");
    mediaUtil.reset();
    close();
}

void TeacherVideoPlayerWidget::slot_videoplayer_start()
{
    qInfo("slot_videoplayer_start");
    close();
}
