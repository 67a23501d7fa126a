#include "widgethelpdeskteacher.h"
#include "ui_widgethelpdeskteacher.h"

#include "biz/httpapi/studentapis.h"
#include "biz/im/mqtt/mqttimsdk.h"
#include "mgr/http/entitynetworkreplyholder.h"
#include "mgr/http/httpentity.h"
#include "utility/jsonutil.h"
#include "utility/userinfo.h"
#include "utility/widget/promptmessagewidget.h"
#include "utility/widget/stylesheetutil.h"
#include "utility/widget/usercheckbox.h"
#include "utility/widget/widgetscreen.h"

#include <QCheckBox>
#include <QDebug>
#include <QGridLayout>
#include <QUrl>

namespace {

const int kToastSeconds = 2;
const int kCategoryColumns = 3;
// A picture address longer than this is not one the service gives out.
const int kMaxPictureUrlChars = 2048;

struct ChatPicUrlInfo
{
    QString key;
    QString url;
};

void readJson(const QJsonValue &value, ChatPicUrlInfo &out)
{
    const QJsonObject object = value.toObject();
    readJsonString(object.value(QLatin1String("key")), out.key);
    readJsonString(object.value(QLatin1String("url")), out.url);
}

} // namespace

WidgetHelpdeskTeacher::WidgetHelpdeskTeacher(QWidget *parent)
    : BaseMainWidget(parent)
    , ui(new Ui::WidgetHelpdeskTeacher)
{
    ui->setupUi(this);
    setWindowFlags(Qt::FramelessWindowHint | Qt::Tool);
    resize(500, 400);
    m_categoryTable = { { QStringLiteral("Audio"), 1 },    { QStringLiteral("Camera"), 2 },
                        { QStringLiteral("Network"), 3 },  { QStringLiteral("Material"), 4 },
                        { QStringLiteral("Platform"), 5 }, { QStringLiteral("Other"), 6 } };
    for (int i = 0; i < m_categoryTable.size(); ++i) {
        auto *box = new QCheckBox(m_categoryTable.at(i).first, this);
        ui->layout_issues->addWidget(box, i / kCategoryColumns, i % kCategoryColumns);
        m_categories.append(box);
    }
    MqttImSdk *mqtt = MqttImSdk::instance();
    connect(mqtt, &MqttImSdk::signal_sendMsgSuccess, this, &WidgetHelpdeskTeacher::slot_sendMsgSuccess);
    connect(mqtt, &MqttImSdk::signal_sendMsgFailure, this, &WidgetHelpdeskTeacher::slot_sendMsgFailure);
}

WidgetHelpdeskTeacher::~WidgetHelpdeskTeacher()
{
    delete m_screen;
    delete ui;
}

WidgetScreen *WidgetHelpdeskTeacher::screenshotTool() const
{
    return m_screen;
}

void WidgetHelpdeskTeacher::setUserList(const UserList *roster, const QString &classId)
{
    m_classId = classId;
    qDeleteAll(m_users);
    m_users.clear();
    if (!roster)
        return;
    for (int i = 0; i < roster->getUserCount(); ++i) {
        const UserInfo user = roster->getUserInfoByIdx(i);
        auto *box = new UserCheckBox(user.userName, this);
        box->setUid(user.uid);
        box->setUserData(quint32(user.userType));
        ui->layout_users->addWidget(box);
        m_users.append(box);
    }
}

void WidgetHelpdeskTeacher::toast(const QString &text)
{
    showPromptMessage(text, this, kToastSeconds, false);
}

void WidgetHelpdeskTeacher::on_btnScreenshot_clicked()
{
    if (m_screen)
        return;
    showMinimized();
    // The tool is modal while it is open; its answer comes as a signal, so
    // nothing here waits in a loop of its own.
    m_screen = new WidgetScreen(nullptr);
    m_screen->setAttribute(Qt::WA_ShowModal);
    m_screen->setAttribute(Qt::WA_DeleteOnClose);
    connect(m_screen, &WidgetScreen::signal_quit, this, &WidgetHelpdeskTeacher::slot_finishedScreenshot);
    m_screen->grabScreen();
}

void WidgetHelpdeskTeacher::slot_finishedScreenshot(QString filePath)
{
    if (m_screen) {
        m_screen->disconnect(this);
        m_screen->close();
        m_screen.clear();
    }
    showNormal();
    if (!filePath.isEmpty())
        upLoadImage(filePath);
}

void WidgetHelpdeskTeacher::upLoadImage(const QString &filePath)
{
    qInfo().noquote() << "upLoadImage fileName:" << filePath;
    if (m_upload)
        m_upload->abort();
    m_upload = StudentApis::chatPic(this, filePath);
    connect(m_upload, &EntityNetworkReplyHolder::signal_onSuccess, this, &WidgetHelpdeskTeacher::slot_onSuccess_uploadImg);
    connect(m_upload, &EntityNetworkReplyHolder::signal_onFailure, this, &WidgetHelpdeskTeacher::slot_onFailure_uploadImg);
}

void WidgetHelpdeskTeacher::slot_onSuccess_uploadImg(QString response)
{
    qInfo("slot_onSuccess_uploadImg, response:%s", qUtf8Printable(response.left(1024)));
    HttpEntity<ChatPicUrlInfo> answer;
    fromJson(response, answer);
    // Only a web address of sane length goes into the report.
    const QString url = answer.data.url;
    const QUrl parsed(url, QUrl::StrictMode);
    const QString scheme = parsed.scheme().toLower();
    if (url.size() > kMaxPictureUrlChars || !parsed.isValid()
        || (scheme != QLatin1String("http") && scheme != QLatin1String("https"))) {
        slot_onFailure_uploadImg(BaseEntity(BaseEntity::UNREAD_ERROR_CODE, QStringLiteral("bad picture address")));
        return;
    }
    ui->labelUrl->setText(url);
    StyleSheetUtil().changeStyle(ui->labelUrl, QStringLiteral("QLabel"), QStringLiteral("color"), QStringLiteral("rgb(0, 0, 0)"));
    m_imageUploaded = true;
    qInfo().noquote() << "slot_onSuccess_uploadImg url:" << url;
}

void WidgetHelpdeskTeacher::slot_onFailure_uploadImg(BaseEntity baseEntity)
{
    ui->labelUrl->setText(QStringLiteral("upload image error, Please try again![%1]").arg(baseEntity.errorMsg.left(256)));
    StyleSheetUtil().changeStyle(ui->labelUrl, QStringLiteral("QLabel"), QStringLiteral("color"), QStringLiteral("rgb(255, 85, 0)"));
    m_imageUploaded = false;
    qInfo().noquote() << QStringLiteral("slot_onFailure_uploadImg,  %1").arg(baseEntity.toString());
}

void WidgetHelpdeskTeacher::on_btnSubmit_clicked()
{
    qInfo("on_btnSubmit_clicked");
    HelpdeskTeacherEntiry report;
    for (int i = 0; i < m_categories.size(); ++i) {
        if (m_categories.at(i)->checkState() != Qt::Checked)
            continue;
        report.issueTags.append(m_categoryTable.at(i).second);
        qInfo().noquote() << QStringLiteral("checked issueTag: %1").arg(m_categories.at(i)->text());
    }
    if (report.issueTags.isEmpty()) {
        toast(QStringLiteral("You have not select issue category!"));
        return;
    }
    for (UserCheckBox *box : qAsConst(m_users)) {
        if (box->checkState() != Qt::Checked)
            continue;
        report.users.append(HelpdeskUser { box->getUid(), int(box->getUserData()) });
        qInfo().noquote() << QStringLiteral("checked user: %1-%2").arg(box->getUid(), box->text());
    }
    if (report.users.isEmpty()) {
        toast(QStringLiteral("You have not select User!"));
        return;
    }
    report.classid = m_classId;
    report.description = ui->textEdit->toPlainText();
    if (m_imageUploaded && !ui->labelUrl->text().isEmpty())
        report.descriptionImages.append(ui->labelUrl->text());
    if (!m_submission.send(report))
        toast(QStringLiteral("Information submit failure, please check your network!"));
}

void WidgetHelpdeskTeacher::on_btnClose_clicked()
{
    hide();
}

void WidgetHelpdeskTeacher::clearForm()
{
    for (QCheckBox *box : qAsConst(m_categories))
        box->setChecked(false);
    for (UserCheckBox *box : qAsConst(m_users))
        box->setChecked(false);
    ui->textEdit->clear();
    ui->labelUrl->clear();
}

void WidgetHelpdeskTeacher::slot_sendMsgSuccess(int token)
{
    if (!m_submission.takeSuccess(token))
        return;
    emit signal_sentHelpdeskMsg();
    clearForm();
    hide();
}

void WidgetHelpdeskTeacher::slot_sendMsgFailure(int token, int errCode, QString errMsg)
{
    Q_UNUSED(errCode)
    Q_UNUSED(errMsg)
    if (m_submission.takeFailure(token))
        toast(QStringLiteral("Information submit failure, please check your network!"));
}
