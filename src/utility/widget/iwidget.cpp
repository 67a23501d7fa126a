#include "utility/widget/iwidget.h"

#include <QMouseEvent>

IWidget::IWidget(QWidget *parent)
    : QWidget(parent)
{
    connect(this, &IWidget::signal_mouseIn, this, &IWidget::mouseIn);
    connect(this, &IWidget::signal_mouseOut, this, &IWidget::mouseOut);
    connect(this, &IWidget::signal_mouseDoubleClick, this, &IWidget::mouseDoubleClick);
}

void IWidget::mouseDoubleClickEvent(QMouseEvent *event)
{
    if (event->buttons() == Qt::LeftButton)
        emit signal_mouseDoubleClick();
}

void IWidget::enterEvent(QEvent *)
{
    if (m_mouseInside)
        return;
    m_mouseInside = true;
    emit signal_mouseIn();
}

void IWidget::leaveEvent(QEvent *)
{
    m_mouseInside = false;
    emit signal_mouseOut();
}
