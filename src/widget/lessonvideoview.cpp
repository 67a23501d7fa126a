#include "lessonvideoview.h"

#include "platform/player/avplayer.h"
#include "platform/player/videooutput.h"

#include <QBoxLayout>
#include <QDebug>
#include <QSysInfo>

void LessonVideoView::createPlayer(QObject *window)
{
    m_player = new QtAV::AVPlayer(window);
    m_player->setVideoDecoderPriority({ QStringLiteral("FFmpeg") });
}

bool LessonVideoView::createRenderer(QObject *window, QBoxLayout *layout)
{
    qInfo() << "QSysInfo::WindowsVersion:" << QSysInfo::prettyProductName();
    m_output = new QtAV::VideoOutput(QStringLiteral("Widget"), window);
    QWidget *widget = m_output->widget();
    if (!widget)
        return false;
    layout->insertWidget(0, widget);
    if (m_player)
        m_player->setRenderer(m_output);
    return true;
}

QWidget *LessonVideoView::videoWidget() const
{
    return m_output ? m_output->widget() : nullptr;
}
