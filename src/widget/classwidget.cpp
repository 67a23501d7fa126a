#include "classwidget.h"

#include "mgr/globaldatamgr.h"
#include "mgr/signalqueuemgr.h"
#include "mgr/singleton.h"

#include <QDebug>
#include <QKeyEvent>

ClassWidget::ClassWidget(QWidget *parent)
    : QWidget(parent)
{
    Singleton<GlobalDataMgr>::instance()->setCurrentClassWidget(this);
    SignalQueueMgr *bus = SignalQueueMgr::instance();
    connect(bus, &SignalQueueMgr::signal_playingVideo, this, &ClassWidget::slot_playingVideo);
    connect(bus, &SignalQueueMgr::signal_logoutMqttToReEnterClassroom, this,
            &ClassWidget::slot_logoutMqttToReEnterClassroom);
    bus->signalClassWidgetOpened();
}

ClassWidget::~ClassWidget()
{
    // Never leave a pointer to a destroyed page behind.
    GlobalDataMgr *data = Singleton<GlobalDataMgr>::instance();
    if (data->getCurrentClassWidget() == this)
        data->setCurrentClassWidget(nullptr);
}

void ClassWidget::exit()
{
    SignalQueueMgr::instance()->signalClassWidgetClosed();
}

void ClassWidget::destoryMode()
{
    Singleton<GlobalDataMgr>::instance()->setCurrentClassWidget(nullptr);
}

void ClassWidget::slot_mqtt_logoutSuccess()
{
    SignalQueueMgr::instance()->signalReEnterClassroom();
}

void ClassWidget::slot_playingVideo(bool bPlaying)
{
    qInfo("slot_playingVideo, bPlaying:%d", bPlaying ? 1 : 0);
}

void ClassWidget::slot_logoutMqttToReEnterClassroom()
{
    // No MQTT session of this page yet: the sign-out has nothing to do.
    slot_mqtt_logoutSuccess();
}

void ClassWidget::keyPressEvent(QKeyEvent *event)
{
    SignalQueueMgr::instance()->signalKeyEvent(event);
    QWidget::keyPressEvent(event);
}
