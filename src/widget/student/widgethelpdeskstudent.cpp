#include "widgethelpdeskstudent.h"
#include "ui_widgethelpdeskstudent.h"

#include "biz/im/mqtt/mqttimsdk.h"
#include "mgr/globalcurrentuser.h"
#include "mgr/singleton.h"
#include "utility/widget/promptmessagewidget.h"

#include <QCheckBox>
#include <QDebug>

namespace {

const int kToastSeconds = 2;
const QString kOther = QStringLiteral("其他");

} // namespace

WidgetHelpdeskStudent::WidgetHelpdeskStudent(QWidget *parent)
    : BaseMainWidget(parent)
    , ui(new Ui::WidgetHelpdeskStudent)
{
    ui->setupUi(this);
    setWindowFlags(Qt::FramelessWindowHint | Qt::Tool);
    resize(400, 400);
    m_problemTable = { { QStringLiteral("听不见老师声音"), 1 }, { QStringLiteral("老师听不见我的声音"), 1 },
                       { QStringLiteral("看不到老师头像"), 2 }, { QStringLiteral("看不到自己头像"), 2 },
                       { QStringLiteral("上课看不到教材"), 4 }, { QStringLiteral("上课有回声/杂音"), 1 },
                       { QStringLiteral("视频/声音卡顿"), 3 },   { kOther, 6 } };
    for (const auto &problem : qAsConst(m_problemTable)) {
        auto *box = new QCheckBox(problem.first, this);
        ui->layout_issues->addWidget(box);
        m_problems.append(box);
        if (problem.first == kOther)
            connect(box, &QCheckBox::stateChanged, this, &WidgetHelpdeskStudent::slot_other_state_changed);
    }
    ui->textEdit->hide();
    MqttImSdk *mqtt = MqttImSdk::instance();
    connect(mqtt, &MqttImSdk::signal_sendMsgSuccess, this, &WidgetHelpdeskStudent::slot_sendMsgSuccess);
    connect(mqtt, &MqttImSdk::signal_sendMsgFailure, this, &WidgetHelpdeskStudent::slot_sendMsgFailure);
}

WidgetHelpdeskStudent::~WidgetHelpdeskStudent()
{
    delete ui;
}

void WidgetHelpdeskStudent::setClassId(const QString &classId)
{
    m_classId = classId;
}

void WidgetHelpdeskStudent::toast(const QString &text)
{
    showPromptMessage(text, this, kToastSeconds, false);
}

void WidgetHelpdeskStudent::on_btnClose_clicked()
{
    qInfo("on_btnClose_clicked");
    hide();
}

void WidgetHelpdeskStudent::slot_other_state_changed(int state)
{
    m_otherChecked = state != 0;
    ui->textEdit->setVisible(m_otherChecked);
}

void WidgetHelpdeskStudent::on_btnSubmit_clicked()
{
    qInfo("on_btnSubmit_clicked");
    HelpdeskTeacherEntiry report;
    QString description;
    for (int i = 0; i < m_problems.size(); ++i) {
        QCheckBox *box = m_problems.at(i);
        if (!box->isChecked())
            continue;
        description += box->text() + QLatin1Char(';');
        const int tag = m_problemTable.at(i).second;
        if (!report.issueTags.contains(tag))
            report.issueTags.append(tag);
        qInfo().noquote() << QStringLiteral("checked issueTag: %1").arg(box->text());
    }
    if (report.issueTags.isEmpty()) {
        toast(QStringLiteral("请选择问题类型!"));
        return;
    }
    description.chop(1);
    if (m_otherChecked) {
        const QString text = ui->textEdit->toPlainText();
        if (text.isEmpty()) {
            toast(QStringLiteral("请输入问题描述!"));
            return;
        }
        description += QLatin1Char(':') + text;
    }
    const QString uid = Singleton<GlobalCurrentUser>::instance()->getUid();
    report.classid = m_classId;
    report.users.append(HelpdeskUser { uid, 1 });
    report.description = description;
    m_sentTags = report.issueTags;
    if (!m_submission.send(report))
        toast(QStringLiteral("提交失败，请检查网络!"));
}

void WidgetHelpdeskStudent::slot_sendMsgSuccess(int token)
{
    if (!m_submission.takeSuccess(token))
        return;
    emit signal_sentHelpdeskMsg(m_sentTags);
    for (QCheckBox *box : qAsConst(m_problems))
        box->setChecked(false);
    ui->textEdit->clear();
    hide();
}

void WidgetHelpdeskStudent::slot_sendMsgFailure(int token, int errCode, QString errMsg)
{
    Q_UNUSED(errCode)
    Q_UNUSED(errMsg)
    if (m_submission.takeFailure(token))
        toast(QStringLiteral("提交失败，请检查网络!"));
}
