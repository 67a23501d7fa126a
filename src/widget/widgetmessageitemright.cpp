#include "widgetmessageitemright.h"
#include "ui_widgetmessageitemright.h"

#include "biz/im/agora/agoramsgmgr.h"
#include "utility/durations.h"

#include <QEvent>

namespace {

int s_loadingFrame = 1;

} // namespace

WidgetMessageItemRight::WidgetMessageItemRight(QWidget *parent)
    : WidgetMessageItemBase(parent)
    , ui(new Ui::WidgetMessageItemRight)
{
    ui->setupUi(this);
    ui->labelSendState->installEventFilter(this);
    AgoraMsgMgr *messages = AgoraMsgMgr::instance();
    connect(messages, &AgoraMsgMgr::signal_onMessageSendError, this, &WidgetMessageItemRight::slot_onMessageSendError);
    connect(messages, &AgoraMsgMgr::signal_onMessageSendSuccess, this,
            &WidgetMessageItemRight::slot_onMessageSendSuccess);
    connect(&m_loadingTimer, &QTimer::timeout, this, &WidgetMessageItemRight::slot_showLoadingImage);
}

WidgetMessageItemRight::~WidgetMessageItemRight()
{
    delete ui;
}

int WidgetMessageItemRight::loadingFrame()
{
    return s_loadingFrame;
}

void WidgetMessageItemRight::bindData(const QString &content, const IMMsgType &type, const QString &headUrl,
                                      const QString &msgId)
{
    if (type == IM_Text) {
        m_content = content;
        setTextMessage(content, ui->labelMessage, ui->labelName->height());
    } else if (type == IM_Picture) {
        m_content = content;
        setChatImage(content, ui->labelMessage);
    } else {
        qWarning("bindData:not recognized message type");
        return;
    }
    setHead(headUrl, ui->labelHead);
    setTime(ui->labelTime);
    m_msgId = msgId;
    if (msgId.isEmpty()) {
        // No report will ever come for a message the service did not take.
        qWarning("message not taken by the signalling service: shown as failed");
        enterFailed();
        return;
    }
    enterSending();
}

void WidgetMessageItemRight::enterSending()
{
    m_sendState = Sending;
    ui->labelSendState->show();
    ui->labelSendState->setStyleSheet(QStringLiteral("background-image: url(:/image/loading/loading_1.png);"));
    m_loadingTimer.start(Durations::ms(kLoadingFrameMs));
}

void WidgetMessageItemRight::enterFailed()
{
    m_sendState = Failed;
    m_loadingTimer.stop();
    ui->labelSendState->show();
    ui->labelSendState->setStyleSheet(QStringLiteral("background-image: url(:/image/class/icon_fail.png);"));
}

void WidgetMessageItemRight::slot_showLoadingImage()
{
    s_loadingFrame = s_loadingFrame % kLoadingFrames + 1;
    ui->labelSendState->setStyleSheet(
        QStringLiteral("background-image: url(:/image/loading/loading_%1.png);").arg(s_loadingFrame));
}

void WidgetMessageItemRight::slot_onMessageSendSuccess(QString msgId)
{
    if (m_msgId.isEmpty() || msgId != m_msgId)
        return;
    m_sendState = Sent;
    ui->labelSendState->hide();
    m_loadingTimer.stop();
}

void WidgetMessageItemRight::slot_onMessageSendError(QString msgId, int ecode)
{
    if (m_msgId.isEmpty() || msgId != m_msgId)
        return;
    qWarning("send failed, msgId:%s, ecode:%d", qUtf8Printable(msgId), ecode);
    enterFailed();
}

bool WidgetMessageItemRight::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == ui->labelSendState && event->type() == QEvent::MouseButtonRelease && m_sendState == Failed) {
        // A refused resend (the message is no longer kept, or the service
        // is out of the channel) leaves the bubble failed, so the user can
        // try again; only a resend under way shows as sending.
        if (AgoraMsgMgr::instance()->resendChannelMsg(m_msgId))
            enterSending();
        else
            enterFailed();
        qInfo("sendMessageState:%d", m_sendState);
        return true;
    }
    return WidgetMessageItemBase::eventFilter(watched, event);
}
