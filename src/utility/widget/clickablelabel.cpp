#include "utility/widget/clickablelabel.h"

ClickableLabel::ClickableLabel(QWidget *parent)
    : QLabel(parent)
{
}

void ClickableLabel::mousePressEvent(QMouseEvent *)
{
    m_pressed = true;
    emit pressed();
}

void ClickableLabel::mouseReleaseEvent(QMouseEvent *)
{
    m_toggleState = !m_toggleState;
    if (m_pressed)
        emit clicked();
    m_pressed = false;
}
