#include "widgetmessage.h"

#include "widget/classwidget.h"

WidgetMessage::WidgetMessage(ClassWidget *parent)
    : QWidget(parent)
{
}

WidgetMessage::~WidgetMessage() = default;

void WidgetMessage::setChannelAndUser(QString channelId, UserList *roster)
{
    m_channelId = channelId;
    m_roster = roster;
}

void WidgetMessage::supervisionWidgetMessage() {}

QString WidgetMessage::sendTextMsg(const TextMessage &)
{
    return QString();
}

QString WidgetMessage::sendImageMsg(const ImageMessage &)
{
    return QString();
}

void WidgetMessage::slot_send() {}

void WidgetMessage::slot_SendImage(QString)
{
    emit signal_clickCutImageFinish();
}

void WidgetMessage::slot_cutImage() {}
void WidgetMessage::slot_receiveTextMsg(ImMsgInfo, TextMessage) {}
void WidgetMessage::slot_receiveImageMsg(ImMsgInfo, ImageMessage) {}
void WidgetMessage::slot_messageWidgetHide() {}
