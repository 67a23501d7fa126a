#include "videooutput.h"

#include "widgetrenderer.h"

namespace QtAV {

VideoOutput::VideoOutput(const QString &rendererId, QObject *parent)
    : QObject(parent)
    , m_rendererId(rendererId)
{
    if (rendererId == QLatin1String("Widget")) {
        m_widget = new WidgetRenderer;
    }
}

VideoOutput::~VideoOutput()
{
    // A widget nobody took into a layout is still ours.
    if (m_widget && !m_widget->parent())
        delete m_widget.data();
}

QWidget *VideoOutput::widget() const
{
    return m_widget.data();
}

} // namespace QtAV
