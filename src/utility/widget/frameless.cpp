#include "utility/widget/frameless.h"

#include <QEvent>
#include <QHoverEvent>
#include <QMouseEvent>
#include <QRubberBand>
#include <QWidget>

FrameLess::FrameLess(QWidget *window)
    : m_widget(window)
    , m_rubberBand(new QRubberBand(QRubberBand::Rectangle, window))
{
    m_widget->setAttribute(Qt::WA_MouseTracking);
    m_widget->setAttribute(Qt::WA_Hover);
    m_widget->setWindowFlags(Qt::FramelessWindowHint);
    m_widget->installEventFilter(this);
    m_visibleMargin = 50;
}

FrameLess::~FrameLess()
{
    delete m_rubberBand.data();
}

void FrameLess::setMoveBounds(int width, int height, int margin)
{
    m_screenWidth = width;
    m_screenHeight = height;
    m_visibleMargin = margin;
    m_boundedMove = true;
}

void FrameLess::setResizable(bool resizable)
{
    m_resizable = resizable;
}

int FrameLess::regionAt(const QPoint &p) const
{
    if (!m_resizable)
        return RegionNone;

    const QRect r = m_widget->frameGeometry();
    const int left = r.x();
    const int top = r.y();
    const int right = left + r.width() - 1;
    const int bottom = top + r.height() - 1;
    const int b = m_borderWidth;
    const auto within = [](int value, int low, int high) { return low <= value && value <= high; };

    if (within(p.x(), left - b, left + b) && within(p.y(), top + b, bottom - b + 1))
        return RegionLeft;
    if (within(p.x(), right - b + 1, right + 1) && within(p.y(), top + b, bottom - b + 1))
        return RegionRight;
    if (within(p.x(), left + b, right - b + 1) && within(p.y(), bottom - b + 1, bottom + 1))
        return RegionBottom;
    if (within(p.x(), left + b, right - b + 1) && within(p.y(), top, top + b))
        return RegionTop;
    if (within(p.x(), left, left + b) && within(p.y(), bottom - b + 1, bottom + 1))
        return RegionBottomLeft;
    if (within(p.x(), right - b + 1, right + 1) && within(p.y(), bottom - b + 1, bottom + 1))
        return RegionBottomRight;
    if (within(p.x(), right - b + 1, right + 1) && within(p.y(), top, top + b))
        return RegionTopRight;
    if (within(p.x(), left, left + b) && within(p.y(), top, top + b))
        return RegionTopLeft;
    return RegionNone;
}

bool FrameLess::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == m_widget) {
        switch (event->type()) {
        case QEvent::MouseButtonPress:
            mousePress(static_cast<QMouseEvent *>(event));
            return true;
        case QEvent::MouseButtonRelease:
            if (static_cast<QMouseEvent *>(event)->button() == Qt::LeftButton) {
                m_leftButtonPressed = false;
                m_moving = false;
            }
            return true;
        case QEvent::MouseMove:
            mouseMove(static_cast<QMouseEvent *>(event));
            return true;
        case QEvent::Leave:
            if (!m_leftButtonPressed)
                m_widget->unsetCursor();
            return true;
        case QEvent::HoverMove:
            updateCursor(m_widget->mapToGlobal(static_cast<QHoverEvent *>(event)->pos()));
            return true;
        default:
            break;
        }
    }
    return m_widget->eventFilter(watched, event);
}

void FrameLess::mousePress(QMouseEvent *event)
{
    if (event->button() != Qt::LeftButton)
        return;

    m_leftButtonPressed = true;
    m_pressRegion = regionAt(event->globalPos());
    if (m_pressRegion != RegionNone && m_rubberBand)
        m_rubberBand->setGeometry(m_widget->frameGeometry());

    const int b = m_borderWidth;
    const QRect inner = m_widget->rect().adjusted(b, b, -b, -b);
    if (inner.contains(event->pos())) {
        m_moving = true;
        m_dragOffset = event->pos();
    }
}

void FrameLess::mouseMove(QMouseEvent *event)
{
    if (!m_leftButtonPressed) {
        updateCursor(event->globalPos());
        return;
    }
    if (m_moving)
        moveWindow(event->pos());
    if (m_pressRegion != RegionNone)
        resizeWindow(event->globalPos());
}

void FrameLess::moveWindow(const QPoint &posInWindow)
{
    const QRect frame = m_widget->frameGeometry();
    QPoint target = frame.topLeft() + (posInWindow - m_dragOffset);
    if (m_boundedMove) {
        const int extraWidth = frame.width() - m_widget->width();
        const int extraHeight = frame.height() - m_widget->height();
        const int minX = -(frame.width() - m_visibleMargin);
        const int maxX = m_screenWidth - m_visibleMargin + extraWidth;
        const int minY = -(frame.height() - m_visibleMargin);
        const int maxY = m_screenHeight - m_visibleMargin + extraHeight;
        target.setX(qMax(minX, qMin(target.x(), maxX)));
        target.setY(qMax(minY, qMin(target.y(), maxY)));
    }
    m_widget->move(target);
}

void FrameLess::resizeWindow(const QPoint &p)
{
    if (!m_rubberBand)
        return;
    const QRect band = m_rubberBand->geometry();
    int left = band.left();
    int top = band.top();
    int right = band.right();
    int bottom = band.bottom();

    switch (m_pressRegion) {
    case RegionLeft:
        left = p.x();
        break;
    case RegionRight:
        right = p.x();
        break;
    case RegionTop:
        top = p.y();
        break;
    case RegionBottom:
        bottom = p.y();
        break;
    case RegionTopLeft:
        left = p.x();
        top = p.y();
        break;
    case RegionTopRight:
        right = p.x();
        top = p.y();
        break;
    case RegionBottomLeft:
        left = p.x();
        bottom = p.y();
        break;
    case RegionBottomRight:
        right = p.x();
        bottom = p.y();
        break;
    default:
        return;
    }

    // Below the minimum size the dragged side stays where the window has it,
    // so the opposite side does not move instead.
    if (right - left + 1 < m_widget->minimumWidth())
        left = m_widget->x();
    else if (bottom - top + 1 < m_widget->minimumHeight())
        top = m_widget->y();

    const QRect rect(QPoint(left, top), QPoint(right, bottom));
    m_widget->setGeometry(rect);
    m_rubberBand->setGeometry(rect);
}

void FrameLess::updateCursor(const QPoint &globalPos)
{
    if (!m_resizable)
        return;
    if (m_widget->isFullScreen() || m_widget->isMaximized()) {
        if (m_cursorChanged)
            m_widget->unsetCursor();
        return;
    }
    if (m_leftButtonPressed)
        return;

    m_hoverRegion = regionAt(globalPos);
    m_cursorChanged = true;
    switch (m_hoverRegion) {
    case RegionTop:
    case RegionBottom:
        m_widget->setCursor(Qt::SizeVerCursor);
        break;
    case RegionLeft:
    case RegionRight:
        m_widget->setCursor(Qt::SizeHorCursor);
        break;
    case RegionTopLeft:
    case RegionBottomRight:
        m_widget->setCursor(Qt::SizeFDiagCursor);
        break;
    case RegionTopRight:
    case RegionBottomLeft:
        m_widget->setCursor(Qt::SizeBDiagCursor);
        break;
    default:
        m_widget->unsetCursor();
        m_cursorChanged = false;
        break;
    }
}
