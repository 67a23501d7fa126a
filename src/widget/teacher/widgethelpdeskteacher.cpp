#include "widgethelpdeskteacher.h"

#include "mgr/globalcurrentuser.h"
#include "mgr/message/sendandreceivemsg.h"
#include "mgr/singleton.h"
#include "utility/userinfo.h"
#include "utility/widget/usercheckbox.h"

#include <QDebug>
#include <QPushButton>
#include <QVBoxLayout>

WidgetHelpdeskTeacher::WidgetHelpdeskTeacher(QWidget *parent)
    : QWidget(parent)
{
    setObjectName(QStringLiteral("WidgetHelpdeskTeacher"));
    setStyleSheet(QStringLiteral("QWidget#WidgetHelpdeskTeacher{background-color: white;}"));
    setAttribute(Qt::WA_StyledBackground);
    auto *layout = new QVBoxLayout(this);
    m_userLayout = new QVBoxLayout;
    layout->addLayout(m_userLayout);
    auto *submit = new QPushButton(tr("Submit"), this);
    submit->setObjectName(QStringLiteral("btnSubmit"));
    layout->addWidget(submit);
    connect(submit, &QPushButton::clicked, this, &WidgetHelpdeskTeacher::on_btnSubmit_clicked);
}

void WidgetHelpdeskTeacher::setUserList(const UserList *roster, const QString &classId)
{
    m_classId = classId;
    qDeleteAll(m_users);
    m_users.clear();
    m_userTypes.clear();
    if (!roster)
        return;
    for (int i = 0; i < roster->getUserCount(); ++i) {
        const UserInfo user = roster->getUserInfoByIdx(i);
        auto *box = new UserCheckBox(user.userName, this);
        box->setUid(user.uid);
        m_userLayout->addWidget(box);
        m_users.append(box);
        m_userTypes.append(user.userType);
    }
}

void WidgetHelpdeskTeacher::on_btnSubmit_clicked()
{
    HelpdeskTeacherEntiry report;
    report.classid = m_classId;
    for (int i = 0; i < m_users.size(); ++i) {
        if (m_users.at(i)->isChecked())
            report.users.append(HelpdeskUser { m_users.at(i)->getUid(), m_userTypes.at(i) });
    }
    const QString uid = Singleton<GlobalCurrentUser>::instance()->getUid();
    const int token = SendAndReceiveMsg::instance()->sendToMqttServer(report, IM_Helpdesk, uid);
    if (token < 0) {
        qCritical() << "submit helpdesk information failure! token:" << token;
        return;
    }
    hide();
    emit signal_sentHelpdeskMsg();
}
