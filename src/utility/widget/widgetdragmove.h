#ifndef WIDGETDRAGMOVE_H
#define WIDGETDRAGMOVE_H

#include "utility/widget/iwidget.h"

#include <QPoint>

// An IWidget the user drags with the left mouse button. Dropped above the
// desktop's top, it snaps back down to it.
class WidgetDragMove : public IWidget
{
public:
    explicit WidgetDragMove(QWidget *parent = nullptr);

protected:
    void mousePressEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;

private:
    QPoint m_dragOffset;
};

#endif // WIDGETDRAGMOVE_H
