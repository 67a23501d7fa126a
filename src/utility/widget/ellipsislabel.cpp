#include "utility/widget/ellipsislabel.h"

#include <QPainter>
#include <QStyle>

EllipsisLabel::EllipsisLabel(QWidget *parent, Qt::WindowFlags f)
    : QLabel(parent, f)
{
    setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
}

void EllipsisLabel::setFullText(const QString &text)
{
    setText(text);
    updateElidedText(width());
    setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
}

void EllipsisLabel::updateElidedText(int width)
{
    const int flags = buddy() ? int(Qt::TextShowMnemonic) : 0;
    m_elidedText = fontMetrics().elidedText(text(), m_elideMode, width, flags);
}

void EllipsisLabel::resizeEvent(QResizeEvent *event)
{
    QLabel::resizeEvent(event);
    updateElidedText(width());
}

void EllipsisLabel::paintEvent(QPaintEvent *event)
{
    if (m_elideMode == Qt::ElideNone) {
        QLabel::paintEvent(event);
        return;
    }
    QPainter painter(this);
    int flags = int(QStyle::visualAlignment(layoutDirection(), alignment()));
    if (buddy())
        flags |= Qt::TextShowMnemonic;
    painter.drawText(QRect(0, 0, width(), height()), flags, m_elidedText);
}
