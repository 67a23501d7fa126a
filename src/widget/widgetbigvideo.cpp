#include "widgetbigvideo.h"
#include "ui_widgetbigvideo.h"

#include "biz/im/agora/videosdk.h"
#include "mgr/globalcurrentuser.h"
#include "mgr/singleton.h"
#include "utility/actionlog.h"
#include "widget/videoviewbinder.h"

#include <QApplication>
#include <QCloseEvent>
#include <QDebug>
#include <QDesktopWidget>

namespace {

const int kSmallWidth = 300;
const int kSmallHeight = 225;

} // namespace

WidgetBigVideo::WidgetBigVideo(QWidget *parent)
    : BaseMainWidget(parent)
    , ui(new Ui::WidgetBigVideo)
{
    qInfo("myvideo: construct WidgetBigVideo, this:%p", static_cast<void *>(this));
    ui->setupUi(this);
    // A frameless child of its page, never a window of its own.
    setWindowFlags(Qt::FramelessWindowHint);
    ui->widgetTool->hide();
}

WidgetBigVideo::~WidgetBigVideo()
{
    delete ui;
}

void WidgetBigVideo::setUserInfo(const UserInfo &info)
{
    m_user = info;
    ui->widgetVideo->setId(info.userName + QLatin1Char('-') + info.uid);
}

UserInfo WidgetBigVideo::getUserInfo() const
{
    return m_user;
}

bool WidgetBigVideo::setThisVideoView()
{
    return VideoViewBinder::bind(ui->widgetVideo, m_user.uid);
}

void WidgetBigVideo::setShowType(int type)
{
    if (type == 0) {
        ui->widgetVideo->setVideoMuted(true);
        hide();
        m_showType = 0;
        return;
    }
    if (type == 1) {
        ui->widgetVideo->setCropToFit(true);
        resize(kSmallWidth, kSmallHeight);
    } else if (type == 2 || type == 3) {
        ui->widgetVideo->setCropToFit(false);
        const QSize desktop = desktopSize();
        const int w = int(desktop.width() * 0.8);
        const int h = int(desktop.height() * 0.8);
        resize(w, h);
        move((desktop.width() - w) / 2, (desktop.height() - h) / 2);
    }
    ui->widgetVideo->setVideoMuted(false);
    ui->widgetVideo->update();
    show();
    m_showType = type;
}

int WidgetBigVideo::getShowType() const
{
    return m_showType;
}

QSize WidgetBigVideo::desktopSize() const
{
    return QApplication::desktop()->geometry().size();
}

void WidgetBigVideo::on_btnAudio_clicked()
{
    qDebug("on_btnAudio_clicked");
    m_audioMuted = !m_audioMuted;
    VideoSDK *sdk = VideoSDK::instance();
    if (m_user.uid == Singleton<GlobalCurrentUser>::instance()->getUid()) {
        sdk->muteLocalAudio(m_audioMuted);
        return;
    }
    int ret = -7;
    uint uid = 0;
    auto parameters = sdk->getRtcEngineParameters();
    if (!VideoViewBinder::toEngineUid(m_user.uid, &uid)) {
        ret = -2; // never another participant's uid 0
    } else if (parameters) {
        const QByteArray json = QStringLiteral("{\"uid\":%1,\"mute\":%2}")
                                    .arg(uid)
                                    .arg(QLatin1String(m_audioMuted ? "true" : "false"))
                                    .toUtf8();
        ret = parameters->setObject("rtc.audio.mute_peer", json.constData());
    }
    if (ret != 0)
        qCritical().noquote() << QStringLiteral("shiel audio is failed, isMute:%1  errCode:%2").arg(m_audioMuted).arg(ret);
}

void WidgetBigVideo::on_btnZoom_clicked()
{
    ActionLog::instance()->ClickInfo(QStringLiteral("click_big_zoom"), QStringLiteral("{uid:%1,flag:%2}").arg(m_user.uid).arg(0));
    close();
}

void WidgetBigVideo::closeEvent(QCloseEvent *event)
{
    setShowType(0);
    emit signal_exitBigVideo(m_user.uid);
    BaseMainWidget::closeEvent(event);
}
