#include "widgetvideotool.h"

#include "rolepolicy.h"
#include "utility/actionlog.h"
#include "widget/widgetvolumechange.h"

#include <QPushButton>

WidgetVideoTool::WidgetVideoTool(QWidget *parent)
    : QWidget(parent)
{
}

void WidgetVideoTool::setUserInfo(const UserInfo &info)
{
    m_user = info;
}

UserInfo WidgetVideoTool::getUserInfo() const
{
    return m_user;
}

void WidgetVideoTool::setAudioChecked(bool checked)
{
    if (m_btnAudio)
        m_btnAudio->setChecked(checked);
    m_audioOn = !checked;
}

void WidgetVideoTool::setAudioEnabled(bool enabled)
{
    if (m_btnAudio)
        m_btnAudio->setEnabled(enabled);
}

void WidgetVideoTool::setVolume(int level)
{
    if (!m_volume)
        return;
    m_volume->setLevel(level);
    m_volume->update();
}

void WidgetVideoTool::setAudioWidgets(QPushButton *btnAudio, WidgetVolumeChange *volume)
{
    m_btnAudio = btnAudio;
    m_volume = volume;
}

void WidgetVideoTool::logFlag(const QString &action, bool flag) const
{
    ActionLog::instance()->ClickInfo(action, QStringLiteral("{uid:%1, flag:%2}").arg(m_user.uid).arg(flag ? 1 : 0));
}

bool WidgetVideoTool::isTeacherProgram()
{
    return !RolePolicy::current().isStudent();
}
