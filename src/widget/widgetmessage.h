#ifndef WIDGETMESSAGE_H
#define WIDGETMESSAGE_H

#include "mgr/http/baseentity.h"
#include "mgr/http/entitynetworkreplyholder.h"
#include "mgr/message/classroompayloads.h"
#include "mgr/message/immsginfo.h"
#include "mgr/message/immsgtype.h"

#include <QPointer>
#include <QQueue>
#include <QString>
#include <QTimer>
#include <QWidget>

class ClassWidget;
class UserList;
class UserInfo;
class WidgetMessageItemBase;

namespace Ui {
class WidgetMessage;
}

// The chat panel of the class page: text and pictures, own messages on the
// right with their send state, others' on the left.
class WidgetMessage : public QWidget
{
    Q_OBJECT

public:
    // The oldest bubbles go beyond this many, so a flood of messages cannot
    // grow the panel without end.
    static constexpr int kMaxBubbles = 2000;
    // Bubbles waiting to be shown are built in turns of the event loop of
    // at most about this long each, so a flood of messages never holds
    // the GUI thread.
    static constexpr int kBuildBudgetMs = 4;

    explicit WidgetMessage(ClassWidget *parent = nullptr);
    ~WidgetMessage() override;

    // Called by the class page once it has joined the RTC channel.
    void setChannelAndUser(QString channelId, UserList *roster);
    // Observer mode: only the list of messages remains.
    void supervisionWidgetMessage();
    QString sendTextMsg(const TextMessage &message);
    QString sendImageMsg(const ImageMessage &message);

    // True while Ctrl+Enter sends (and Enter starts a new line).
    bool isCtrlEnterMode() const { return m_ctrlEnterSends; }
    bool isSupervision() const { return m_supervision; }

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
    void slot_RadioEnterClickFruits();
    void slot_RadioCtrlEnterClickFruits();
    void slot_onStart_getChatPicUrl();
    void slot_onFinish_getChatPicUrl();
    void slot_onSuccess_getChatPicUrl(QString response);
    void slot_onFailure_getChatPicUrl(BaseEntity entity);

    void on_btnLogo_clicked();
    void on_btnPic_clicked();
    void on_btnCut_clicked();
    void on_btnMenu_clicked();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    UserInfo currentUser() const;
    QString senderUid() const;
    UserInfo participant(const QString &uid) const;
    // One bubble to build: own (right, with its message id) or received
    // (left, with the sender's name).
    struct PendingBubble
    {
        bool own = false;
        IMMsgType type = IM_Text;
        QString content;
        QString headUrl;
        QString nameOrMsgId;
    };
    void appendBubble(WidgetMessageItemBase *bubble);
    // Shows the bubble in the order it came, after those still waiting.
    void queueBubble(PendingBubble bubble);
    void buildBubble(const PendingBubble &pending);
    void buildPendingBubbles();
    bool handleTextKey(QKeyEvent *event);

    Ui::WidgetMessage *ui;
    QString m_channelId;
    UserList *m_roster = nullptr;
    // The upload in flight last started (each upload keeps its own file).
    QPointer<EntityNetworkReplyHolder> m_chatPicReply;
    bool m_ctrlEnterSends = false;
    bool m_supervision = false;
    QQueue<PendingBubble> m_pending;
    QTimer m_buildTimer;
};

#endif // WIDGETMESSAGE_H
