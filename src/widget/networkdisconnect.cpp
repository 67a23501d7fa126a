#include "networkdisconnect.h"
#include "ui_networkdisconnect.h"

#include "biz/im/agora/agoraloginmgr.h"
#include "biz/im/agora/videosdk.h"
#include "widget/classwidget.h"

NetworkDisconnect::NetworkDisconnect(ClassWidget *parent)
    : QWidget(parent)
    , ui(new Ui::NetworkDisconnect)
{
    ui->setupUi(this);
    connect(VideoSDK::instance(), &VideoSDK::signal_networkStatusChanged, this,
            &NetworkDisconnect::slot_networkStatusChangeed);
    connect(AgoraLoginMgr::instance(), &AgoraLoginMgr::signal_networkStatusChanged, this,
            &NetworkDisconnect::slot_networkStatusChangeed);
}

NetworkDisconnect::~NetworkDisconnect()
{
    delete ui;
}

void NetworkDisconnect::slot_networkStatusChangeed(bool isConnected)
{
    if (isHidden() == isConnected)
        return;
    qInfo("network banner %s", isConnected ? "hidden" : "shown");
    setVisible(!isConnected);
}
