#include "studentvideocontrolutil.h"

#include "mgr/message/classordergate.h"
#include "mgr/message/videocontrolprotocol.h"
#include "mgr/signalqueuemgr.h"
#include "widget/studentvideoplayerwidget.h"

#include <QDebug>

StudentVideoControlUtil::StudentVideoControlUtil(QObject *parent)
    : QObject(parent)
{
    // The teacher's orders only: a classmate's video message opens nothing.
    connect(ClassOrderGate::instance(), &ClassOrderGate::signal_receiveVideoControl, this,
            &StudentVideoControlUtil::slot_receiveVideoControl);
}

StudentVideoControlUtil::~StudentVideoControlUtil()
{
    // The window outlives no class page.
    if (m_playerWidget)
        m_playerWidget->close();
}

StudentVideoPlayerWidget *StudentVideoControlUtil::playerWidget() const
{
    return m_playerWidget.data();
}

void StudentVideoControlUtil::setClassInfo(const ClassInfoEntity &info)
{
    qInfo("setClassInfo");
    m_classInfo = info;
}

void StudentVideoControlUtil::slot_receiveVideoControl(ImMsgInfo, ProtocolVideoControl protocol)
{
    qInfo("slot_receiveVideoControl");
    QString why;
    if (!VideoControlProtocol::isAcceptable(protocol, &why)) {
        qCritical("video control refused: %s", qUtf8Printable(why));
        return;
    }
    if (m_classInfo.class_id.isEmpty() || protocol.classid != m_classInfo.class_id) {
        qCritical("different class id, recv:%s, self:%s", qUtf8Printable(protocol.classid),
                  qUtf8Printable(m_classInfo.class_id));
        return;
    }
    switch (protocol.type) {
    case VIDEO_PLAY:
        onVideoPlay(protocol);
        break;
    case VIDEO_PAUSE:
        onVideoPause(protocol);
        break;
    case VIDEO_RESUME:
        onVideoResume(protocol);
        break;
    case VIDEO_FINISHED:
        onVideoFinished(protocol);
        break;
    case VIDEO_INIT:
        onVideoInit(protocol);
        break;
    default:
        // Another student's readiness.
        break;
    }
}

bool StudentVideoControlUtil::isCurrentClass(const ProtocolVideoControl &protocol, const char *what) const
{
    qInfo("%s", what);
    if (protocol.classid != m_classInfo.class_id) {
        qCritical("not same class");
        return false;
    }
    return true;
}

StudentVideoPlayerWidget *StudentVideoControlUtil::currentPlayer() const
{
    if (!m_playerWidget)
        qCritical("playerWidget is empty");
    return m_playerWidget.data();
}

void StudentVideoControlUtil::onVideoInit(const ProtocolVideoControl &protocol)
{
    qInfo("onVideoInit");
    // Any video still shown closes first.
    SignalQueueMgr::instance()->signalStudentVideoPlay();
    VideoMaterial material;
    if (!findMatchedVideoMaterial(protocol, material)) {
        qCritical("findMatchedVideoUrl failed");
        return;
    }
    auto *player = new StudentVideoPlayerWidget(nullptr);
    m_playerWidget = player;
    connect(player, &StudentVideoPlayerWidget::signal_close, this, &StudentVideoControlUtil::slot_player_closed);
    player->setAttribute(Qt::WA_DeleteOnClose);
    player->open(m_classInfo, material);
    player->show();
}

void StudentVideoControlUtil::onVideoPlay(const ProtocolVideoControl &protocol)
{
    if (!isCurrentClass(protocol, "onVideoPlay"))
        return;
    if (StudentVideoPlayerWidget *player = currentPlayer())
        player->onPlay();
}

void StudentVideoControlUtil::onVideoPause(const ProtocolVideoControl &protocol)
{
    if (!isCurrentClass(protocol, "onVideoPause"))
        return;
    if (StudentVideoPlayerWidget *player = currentPlayer())
        player->onPause();
}

void StudentVideoControlUtil::onVideoResume(const ProtocolVideoControl &protocol)
{
    if (!isCurrentClass(protocol, "onVideoResume"))
        return;
    if (StudentVideoPlayerWidget *player = currentPlayer())
        player->onResume();
}

void StudentVideoControlUtil::onVideoFinished(const ProtocolVideoControl &protocol)
{
    if (!isCurrentClass(protocol, "onVideoFinished"))
        return;
    if (StudentVideoPlayerWidget *player = currentPlayer())
        player->onFinished(protocol.videoid);
}

bool StudentVideoControlUtil::findMatchedVideoMaterial(const ProtocolVideoControl &protocol,
                                                       VideoMaterial &out) const
{
    qInfo("findMatchedVideoMaterial, mid:%s, teachervideourl:%s", qUtf8Printable(protocol.mid),
          qUtf8Printable(protocol.video));
    if (protocol.mid != m_classInfo.material.mid) {
        qCritical("different mid, from protocol:%s, current:%s", qUtf8Printable(protocol.mid),
                  qUtf8Printable(m_classInfo.material.mid));
        return false;
    }
    for (const VideoMaterial &video : m_classInfo.material.videos) {
        if (video.id.toLower() == protocol.videoid.toLower()) {
            out = video;
            qInfo("%s", qUtf8Printable(QStringLiteral("find it! videoId:%1, videoUrl:%2").arg(video.id, video.video)));
            return true;
        }
    }
    return false;
}

void StudentVideoControlUtil::slot_player_closed()
{
    qInfo("slot_player_closed");
    m_playerWidget = nullptr;
}
