#include "utility/widget/widgetdragmove.h"

#include <QGuiApplication>
#include <QMouseEvent>
#include <QScreen>

WidgetDragMove::WidgetDragMove(QWidget *parent)
    : IWidget(parent)
{
}

void WidgetDragMove::mousePressEvent(QMouseEvent *event)
{
    if (event->button() != Qt::LeftButton)
        return;
    m_dragOffset = event->globalPos() - frameGeometry().topLeft();
    event->accept();
}

void WidgetDragMove::mouseMoveEvent(QMouseEvent *event)
{
    if (event->buttons() & Qt::LeftButton)
        move(event->globalPos() - m_dragOffset);
}

void WidgetDragMove::mouseReleaseEvent(QMouseEvent *)
{
    int desktopTop = 0;
    if (const QScreen *screen = QGuiApplication::primaryScreen())
        desktopTop = screen->virtualGeometry().top();
    if (y() < desktopTop)
        move(x(), desktopTop);
}
