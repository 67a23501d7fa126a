#include "widgetvolumechange.h"

#include <QPainter>
#include <QtGlobal>

namespace {

const int kSize = 34;
const int kColumnHeight = 24;

} // namespace

WidgetVolumeChange::WidgetVolumeChange(QWidget *parent)
    : QWidget(parent)
{
}

void WidgetVolumeChange::setLevel(int level)
{
    // The level comes from the engine's reports of other participants.
    m_level = qBound(0, level, 255);
}

int WidgetVolumeChange::darkHeight(int level)
{
    return int(qBound(0, level, 255) / 255.0 * kColumnHeight);
}

void WidgetVolumeChange::paintEvent(QPaintEvent *)
{
    if (width() != kSize || height() != kSize) {
        qWarning("widget's width and height is not equal 34.");
        return;
    }
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    const int h = darkHeight(m_level);
    painter.fillRect(QRect(QPoint(9, 5), QPoint(24, 28)), QColor(255, 255, 255, 255));
    if (h > 0)
        painter.fillRect(QRect(QPoint(9, 29 - h), QPoint(24, 28)), QColor(47, 50, 68));
}
