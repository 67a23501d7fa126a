#include "helpdesksubmission.h"

#include "mgr/globalcurrentuser.h"
#include "mgr/message/sendandreceivemsg.h"
#include "mgr/singleton.h"
#include "utility/actionlog.h"

#include <QDebug>

bool HelpdeskSubmission::send(const HelpdeskTeacherEntiry &report)
{
    ActionLog::instance()->ClickInfo(QStringLiteral("click_helpdesk_submit"),
                                     QStringLiteral("{description:%1}").arg(report.description));
    const QString uid = Singleton<GlobalCurrentUser>::instance()->getUid();
    m_token = SendAndReceiveMsg::instance()->sendToMqttServer(report, IM_Helpdesk, uid);
    if (m_token >= 0)
        return true;
    qCritical() << "submit helpdesk information failure! token:" << m_token;
    return false;
}

bool HelpdeskSubmission::takeSuccess(int token)
{
    return take(token, "success");
}

bool HelpdeskSubmission::takeFailure(int token)
{
    return take(token, "failure");
}

bool HelpdeskSubmission::take(int token, const char *outcome)
{
    if (token < 0 || token != m_token)
        return false;
    qInfo("submit helpdesk information %s! submitToken:%d, token:%d", outcome, m_token, token);
    m_token = -1;
    return true;
}
