#ifndef WIDGETMESSAGE_H
#define WIDGETMESSAGE_H

#include "mgr/http/baseentity.h"
#include "mgr/message/classroompayloads.h"
#include "mgr/message/immsginfo.h"

#include <QString>
#include <QWidget>

class ClassWidget;
class UserList;

// The chat panel of the class page: text and pictures, own messages on the
// right with their send state, others' on the left.
class WidgetMessage : public QWidget
{
    Q_OBJECT

public:
    explicit WidgetMessage(ClassWidget *parent = nullptr);
    ~WidgetMessage() override;

    // Called by the class page once it has joined the RTC channel.
    void setChannelAndUser(QString channelId, UserList *roster);
    // Observer mode: only the list of messages remains.
    void supervisionWidgetMessage();
    QString sendTextMsg(const TextMessage &message);
    QString sendImageMsg(const ImageMessage &message);

signals:
    void signal_hideMessageWidget();
    void signal_clickCutImage();
    void signal_clickCutImageFinish();

public slots:
    void slot_send();
    void slot_SendImage(QString imageFile);
    void slot_cutImage();
    void slot_receiveTextMsg(ImMsgInfo info, TextMessage textData);
    void slot_receiveImageMsg(ImMsgInfo info, ImageMessage imageData);
    void slot_messageWidgetHide();

private:
    QString m_channelId;
    UserList *m_roster = nullptr;
};

#endif // WIDGETMESSAGE_H
