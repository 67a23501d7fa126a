#ifndef WIDGETMESSAGEITEMRIGHT_H
#define WIDGETMESSAGEITEMRIGHT_H

#include "mgr/message/immsgtype.h"
#include "widget/widgetmessageitembase.h"

#include <QTimer>

namespace Ui {
class WidgetMessageItemRight;
}

// The user's own chat message with its send state, which follows the
// signalling service's report for its message id. A click on the failure
// icon sends the message again.
class WidgetMessageItemRight : public WidgetMessageItemBase
{
    Q_OBJECT

public:
    enum SendState { Sending = 0, Failed = 1, Sent = 2 };
    static constexpr int kLoadingFrameMs = 300;
    static constexpr int kLoadingFrames = 12;

    explicit WidgetMessageItemRight(QWidget *parent = nullptr);
    ~WidgetMessageItemRight() override;

    // content: the text, or the picture's local file. An empty msgId means
    // the signalling service did not take the message: it shows as failed.
    void bindData(const QString &content, const IMMsgType &type, const QString &headUrl, const QString &msgId);

    int sendState() const { return m_sendState; }
    QString messageId() const { return m_msgId; }
    QString content() const { return m_content; }
    // The loading frame all bubbles of the process share (1 to 12).
    static int loadingFrame();

public slots:
    void slot_showLoadingImage();
    void slot_onMessageSendSuccess(QString msgId);
    void slot_onMessageSendError(QString msgId, int ecode);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void enterSending();
    void enterFailed();

    Ui::WidgetMessageItemRight *ui;
    QString m_content;
    QString m_msgId;
    int m_sendState = Sending;
    QTimer m_loadingTimer;
};

#endif // WIDGETMESSAGEITEMRIGHT_H
