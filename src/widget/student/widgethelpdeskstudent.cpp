#include "widgethelpdeskstudent.h"

#include "mgr/globalcurrentuser.h"
#include "mgr/message/sendandreceivemsg.h"
#include "mgr/singleton.h"

#include <QCheckBox>
#include <QDebug>
#include <QPushButton>
#include <QVBoxLayout>

WidgetHelpdeskStudent::WidgetHelpdeskStudent(QWidget *parent)
    : QWidget(parent)
{
    setObjectName(QStringLiteral("WidgetHelpdeskStudent"));
    setStyleSheet(QStringLiteral("QWidget#WidgetHelpdeskStudent{background-color: white;}"));
    setAttribute(Qt::WA_StyledBackground);
    auto *layout = new QVBoxLayout(this);
    const QStringList issues { tr("I cannot hear the teacher"), tr("The teacher cannot hear me"),
                               tr("I cannot see the courseware"), tr("The video is stuck") };
    for (const QString &text : issues) {
        auto *box = new QCheckBox(text, this);
        m_issues.append(box);
        layout->addWidget(box);
    }
    auto *submit = new QPushButton(tr("Submit"), this);
    submit->setObjectName(QStringLiteral("btnSubmit"));
    layout->addWidget(submit);
    connect(submit, &QPushButton::clicked, this, &WidgetHelpdeskStudent::on_btnSubmit_clicked);
}

void WidgetHelpdeskStudent::setClassId(const QString &classId)
{
    m_classId = classId;
}

QVector<int> WidgetHelpdeskStudent::checkedIssues() const
{
    QVector<int> issues;
    for (int i = 0; i < m_issues.size(); ++i) {
        if (m_issues.at(i)->isChecked())
            issues.append(i + 1);
    }
    return issues;
}

void WidgetHelpdeskStudent::setIssueChecked(int issueType, bool checked)
{
    if (issueType >= 1 && issueType <= m_issues.size())
        m_issues.at(issueType - 1)->setChecked(checked);
}

void WidgetHelpdeskStudent::on_btnSubmit_clicked()
{
    HelpdeskTeacherEntiry report;
    report.classid = m_classId;
    report.issueTags = checkedIssues();
    const QString uid = Singleton<GlobalCurrentUser>::instance()->getUid();
    report.users.append(HelpdeskUser { uid, 1 });
    const int token = SendAndReceiveMsg::instance()->sendToMqttServer(report, IM_Helpdesk, uid);
    if (token < 0) {
        qCritical() << "submit helpdesk information failure! token:" << token;
        return;
    }
    hide();
    emit signal_sentHelpdeskMsg(report.issueTags);
}
