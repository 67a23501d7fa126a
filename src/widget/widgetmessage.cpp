#include "widgetmessage.h"
#include "ui_widgetmessage.h"

#include "biz/httpapi/chatpicurlinfo.h"
#include "biz/httpapi/studentapis.h"
#include "mgr/globalcurrentuser.h"
#include "mgr/http/entitynetworkreplyholder.h"
#include "mgr/http/httpentity.h"
#include "mgr/message/sendandreceivemsg.h"
#include "mgr/singleton.h"
#include "utility/downloadutil.h"
#include "utility/stringutility.h"
#include "utility/translatelanguage.h"
#include "utility/userinfo.h"
#include "utility/widget/filedialogs.h"
#include "utility/widget/widgetscreen.h"
#include "widget/classwidget.h"
#include "widget/widgetmessageitemleft.h"
#include "widget/widgetmessageitemright.h"

#include <QElapsedTimer>
#include <QEventLoop>
#include <QKeyEvent>
#include <QPointer>

namespace {

// Each upload carries the file it sends, so its answer pairs with it.
const char kUploadPathProperty[] = "chatPicFilePath";

} // namespace

WidgetMessage::WidgetMessage(ClassWidget *parent)
    : QWidget(parent)
    , ui(new Ui::WidgetMessage)
{
    ui->setupUi(this);
    setWindowFlags(Qt::FramelessWindowHint | Qt::Tool);
    setAttribute(Qt::WA_TranslucentBackground);
    ui->reminderWidget->hide();
    ui->widgetHortcut->hide();
    ui->reminderLineEdit->installEventFilter(this);
    ui->textEdit->installEventFilter(this);
    ui->listWidget->installEventFilter(this);
    connect(ui->btnSend, &QPushButton::clicked, this, &WidgetMessage::slot_send);
    connect(ui->radioButtonCtrlEnter, &QRadioButton::clicked, this, &WidgetMessage::slot_RadioCtrlEnterClickFruits);
    connect(ui->radioButtonEnter, &QRadioButton::clicked, this, &WidgetMessage::slot_RadioEnterClickFruits);
    SendAndReceiveMsg *messages = SendAndReceiveMsg::instance();
    connect(messages, &SendAndReceiveMsg::signal_receiveTextMsg, this, &WidgetMessage::slot_receiveTextMsg);
    connect(messages, &SendAndReceiveMsg::signal_receiveImageMsg, this, &WidgetMessage::slot_receiveImageMsg);
    m_buildTimer.setSingleShot(true);
    m_buildTimer.setInterval(0);
    connect(&m_buildTimer, &QTimer::timeout, this, &WidgetMessage::buildPendingBubbles);
}

WidgetMessage::~WidgetMessage()
{
    delete ui;
}

void WidgetMessage::setChannelAndUser(QString channelId, UserList *roster)
{
    m_channelId = channelId;
    m_roster = roster;
}

void WidgetMessage::supervisionWidgetMessage()
{
    qInfo("SupervisionClassWidget WidgetMessage hide key");
    m_supervision = true;
    ui->reminderWidget->hide();
    ui->inputMessageWidget->hide();
}

// Before the class page hands over the roster the panel still works: the
// signed-in user sends without a nickname, and others' messages show
// without the roster's names and pictures.
UserInfo WidgetMessage::currentUser() const
{
    return m_roster ? m_roster->getCurUser() : UserInfo();
}

QString WidgetMessage::senderUid() const
{
    const QString uid = currentUser().uid;
    return uid.isEmpty() ? Singleton<GlobalCurrentUser>::instance()->getUid() : uid;
}

UserInfo WidgetMessage::participant(const QString &uid) const
{
    UserInfo info;
    if (m_roster)
        m_roster->getUserInfoByUid(uid, info);
    return info;
}

QString WidgetMessage::sendTextMsg(const TextMessage &message)
{
    const QString sender = senderUid();
    const QString msgId = SendAndReceiveMsg::instance()->sendMsg(message, IM_Text, sender);
    qInfo().noquote() << "sendTextMsg uid:" + sender + " text:" + StringUtility::cutForLog(message.content);
    return msgId;
}

QString WidgetMessage::sendImageMsg(const ImageMessage &message)
{
    const QString sender = senderUid();
    const QString msgId = SendAndReceiveMsg::instance()->sendMsg(message, IM_Picture, sender);
    qInfo().noquote() << "sendImageMsg uid:" + sender + " url:" + message.url;
    return msgId;
}

void WidgetMessage::appendBubble(WidgetMessageItemBase *bubble)
{
    ui->listWidget->appendBubble(bubble);
    while (ui->listWidget->count() > kMaxBubbles)
        ui->listWidget->removeFirst();
    ui->listWidget->scrollToBottom();
}

void WidgetMessage::queueBubble(PendingBubble bubble)
{
    // The own bubble shows at once when nothing waits before it.
    if (bubble.own && m_pending.isEmpty()) {
        buildBubble(bubble);
        return;
    }
    // Only the text a bubble shows is kept while it waits.
    if (bubble.type == IM_Text)
        bubble.content = WidgetMessageItemBase::shownText(bubble.content, WidgetMessageItemBase::kMaxShownTextChars + 1);
    m_pending.enqueue(std::move(bubble));
    // Bubbles beyond the panel's cap would be taken away as soon as shown.
    while (m_pending.size() > kMaxBubbles)
        m_pending.dequeue();
    if (!m_buildTimer.isActive())
        m_buildTimer.start();
}

void WidgetMessage::buildBubble(const PendingBubble &pending)
{
    if (pending.own) {
        auto *bubble = new WidgetMessageItemRight(ui->listWidget->bubbleParent());
        bubble->bindData(pending.content, pending.type, pending.headUrl, pending.nameOrMsgId);
        appendBubble(bubble);
    } else {
        auto *bubble = new WidgetMessageItemLeft(ui->listWidget->bubbleParent());
        bubble->bindData(pending.content, pending.type, pending.headUrl, pending.nameOrMsgId);
        appendBubble(bubble);
    }
}

void WidgetMessage::buildPendingBubbles()
{
    QElapsedTimer spent;
    spent.start();
    while (!m_pending.isEmpty() && spent.elapsed() < kBuildBudgetMs)
        buildBubble(m_pending.dequeue());
    // The rest in a later turn, after whatever else waits for the thread.
    if (!m_pending.isEmpty())
        m_buildTimer.start();
}

void WidgetMessage::slot_send()
{
    ui->textEdit->setFocus();
    const QString text = ui->textEdit->toPlainText();
    if (text.isEmpty())
        return;
    const UserInfo me = currentUser();
    TextMessage message;
    message.nickname = me.userName;
    message.classid = m_channelId;
    message.content = text;
    // Sent before its bubble is built, so the others do not wait for it;
    // the send's outcome always comes later, from the event loop.
    const QString msgId = sendTextMsg(message);
    queueBubble({ true, IM_Text, text, me.pic, msgId });
    ui->textEdit->clear();
    activateWindow();
}

void WidgetMessage::on_btnPic_clicked()
{
    Translatelanguage *texts = Translatelanguage::instance();
    const QStringList files = FileDialogs::getOpenFileNames(this, texts->getText(QStringLiteral("choosepicture")),
                                                            QString(), texts->getText(QStringLiteral("Imagestype")));
    for (const QString &file : files)
        slot_SendImage(file);
}

void WidgetMessage::on_btnCut_clicked()
{
    emit signal_clickCutImage();
}

void WidgetMessage::on_btnLogo_clicked()
{
    emit signal_hideMessageWidget();
}

void WidgetMessage::on_btnMenu_clicked()
{
    ui->widgetHortcut->setVisible(!ui->widgetHortcut->isVisible());
}

void WidgetMessage::slot_cutImage()
{
    QPointer<WidgetScreen> screen = new WidgetScreen(nullptr);
    screen->setWindowModality(Qt::ApplicationModal);
    QEventLoop loop;
    bool ended = false;
    connect(screen, &WidgetScreen::signal_quit, this, &WidgetMessage::slot_SendImage);
    connect(screen, &WidgetScreen::signal_quit, &loop, [&loop, &ended] {
        ended = true;
        loop.quit();
    });
    screen->grabScreen();
    // A tool that could not start has already given its (empty) result.
    if (!ended)
        loop.exec(QEventLoop::DialogExec);
    delete screen;
}

void WidgetMessage::slot_SendImage(QString imageFile)
{
    qInfo("slot_SendImage str:%s", qUtf8Printable(imageFile));
    emit signal_clickCutImageFinish();
    if (imageFile.isEmpty())
        return;
    EntityNetworkReplyHolder *reply = StudentApis::chatPic(this, imageFile);
    if (!reply)
        return;
    reply->setProperty(kUploadPathProperty, imageFile);
    // Gone once its outcome is reported.
    reply->setAutoDelete(true);
    m_chatPicReply = reply;
    connect(reply, &EntityNetworkReplyHolder::signal_onStart, this, &WidgetMessage::slot_onStart_getChatPicUrl);
    connect(reply, &EntityNetworkReplyHolder::signal_onFinish, this, &WidgetMessage::slot_onFinish_getChatPicUrl);
    connect(reply, &EntityNetworkReplyHolder::signal_onSuccess, this, &WidgetMessage::slot_onSuccess_getChatPicUrl);
    connect(reply, &EntityNetworkReplyHolder::signal_onFailure, this, &WidgetMessage::slot_onFailure_getChatPicUrl);
}

void WidgetMessage::slot_onStart_getChatPicUrl() {}

void WidgetMessage::slot_onFinish_getChatPicUrl() {}

void WidgetMessage::slot_onFailure_getChatPicUrl(BaseEntity entity)
{
    qWarning("chat picture upload failed:%s", qUtf8Printable(entity.toString()));
}

void WidgetMessage::slot_onSuccess_getChatPicUrl(QString response)
{
    qInfo().noquote() << "slot_onSuccess_getChatPicUrl response:" + StringUtility::cutForLog(response);
    const QObject *reply = sender();
    const QString path = reply ? reply->property(kUploadPathProperty).toString() : QString();
    HttpEntity<chatPicUrlInfo> answer;
    // An answer without a picture address sends nothing: the others would
    // get a picture message that shows nothing.
    if (path.isEmpty() || !fromJson(response, answer) || !DownloadUtil::isWebAddress(answer.data.url)) {
        qCritical("chat picture answer without a usable url, nothing sent:%s", qUtf8Printable(path));
        return;
    }
    const UserInfo me = currentUser();
    ImageMessage message;
    message.nickname = me.userName;
    message.classid = m_channelId;
    message.type = path.right(4);
    message.url = answer.data.url;
    const QString msgId = sendImageMsg(message);
    queueBubble({ true, IM_Picture, path, me.pic, msgId });
    qInfo("slot_onSuccess_getChatPicUrl url:%s", qUtf8Printable(message.url));
}

void WidgetMessage::slot_receiveTextMsg(ImMsgInfo info, TextMessage textData)
{
    // Empty content is no message (an own empty text is never sent): a
    // missing or mistyped field.
    if (textData.content.isEmpty()) {
        qWarning("text message without content from %s, nothing shown", qUtf8Printable(info.uid));
        return;
    }
    const UserInfo sender = participant(info.uid);
    queueBubble({ false, IM_Text, textData.content, sender.pic, sender.userName });
    qInfo().noquote() << "text: " + StringUtility::cutForLog(textData.content, 1024)
                             + "  classId:" + StringUtility::cutForLog(textData.classid, 64);
}

void WidgetMessage::slot_receiveImageMsg(ImMsgInfo info, ImageMessage imageData)
{
    if (imageData.url.isEmpty()) {
        qWarning("picture message without url from %s, nothing shown", qUtf8Printable(info.uid));
        return;
    }
    const UserInfo sender = participant(info.uid);
    queueBubble({ false, IM_Picture, imageData.url, sender.pic, imageData.nickname });
    qInfo().noquote() << "imageData.url: " + StringUtility::cutForLog(imageData.url, 2048)
                             + "  classId:" + StringUtility::cutForLog(imageData.classid, 64);
}

void WidgetMessage::slot_messageWidgetHide()
{
    if (m_supervision)
        return;
    ui->reminderWidget->show();
    ui->inputMessageWidget->hide();
    ui->reminderLineEdit->clearFocus();
    qInfo("slot_messageWidgetHide");
}

void WidgetMessage::slot_RadioEnterClickFruits()
{
    m_ctrlEnterSends = false;
    ui->widgetHortcut->hide();
}

void WidgetMessage::slot_RadioCtrlEnterClickFruits()
{
    m_ctrlEnterSends = true;
    ui->widgetHortcut->hide();
}

bool WidgetMessage::handleTextKey(QKeyEvent *event)
{
    if (event->key() != Qt::Key_Return && event->key() != Qt::Key_Enter)
        return false;
    const bool control = event->modifiers() & Qt::ControlModifier;
    if (control == m_ctrlEnterSends)
        slot_send();
    else
        ui->textEdit->append(QString());
    return true;
}

bool WidgetMessage::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == ui->reminderLineEdit && event->type() == QEvent::FocusIn) {
        ui->reminderWidget->hide();
        ui->inputMessageWidget->show();
        ui->textEdit->setFocus();
    } else if (watched == ui->textEdit && event->type() == QEvent::FocusIn) {
        ui->widgetHortcut->hide();
    } else if (watched == ui->textEdit && event->type() == QEvent::KeyPress) {
        if (handleTextKey(static_cast<QKeyEvent *>(event)))
            return true;
    } else if (watched == ui->listWidget && event->type() == QEvent::FocusIn) {
        slot_messageWidgetHide();
        ui->listWidget->clearFocus();
    }
    return QWidget::eventFilter(watched, event);
}
