#ifndef FRAMELESS_H
#define FRAMELESS_H

#include <QObject>
#include <QPoint>
#include <QPointer>

class QMouseEvent;
class QRubberBand;
class QWidget;

// Gives a frameless top-level window the behaviour of a system frame: it is
// moved by dragging anywhere inside it and resized by dragging a band along
// its edges and corners, with the matching cursor shapes. Filters the
// window's own mouse events; the window does not see the ones it handles.
class FrameLess : public QObject
{
public:
    // Border region codes; exactly one is produced at a time.
    enum Region {
        RegionNone = 0,
        RegionLeft = 1,
        RegionTop = 2,
        RegionRight = 4,
        RegionBottom = 8,
        RegionTopLeft = 16,
        RegionTopRight = 32,
        RegionBottomLeft = 64,
        RegionBottomRight = 128,
    };

    explicit FrameLess(QWidget *window);
    ~FrameLess() override;

    // Keeps margin pixels of the window inside width x height while moving.
    void setMoveBounds(int width, int height, int margin);
    void setResizable(bool resizable);
    bool isResizable() const { return m_resizable; }

    // Region of the window's border under a screen position.
    int regionAt(const QPoint &globalPos) const;

    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void mousePress(QMouseEvent *event);
    void mouseMove(QMouseEvent *event);
    void moveWindow(const QPoint &posInWindow);
    void resizeWindow(const QPoint &globalPos);
    void updateCursor(const QPoint &globalPos);

    QWidget *m_widget;
    // Holds the rectangle of a resize drag; never shown. A child of the
    // window rather than a window of its own, so that deleting every
    // top-level widget cannot free it twice; the pointer clears itself
    // should the window delete it first.
    QPointer<QRubberBand> m_rubberBand;
    bool m_cursorChanged = false;
    bool m_leftButtonPressed = false;
    int m_pressRegion = RegionNone;
    int m_hoverRegion = RegionNone;
    int m_borderWidth = 5;
    QPoint m_dragOffset;
    bool m_moving = false;
    bool m_resizable = true;
    bool m_boundedMove = false;
    int m_screenWidth = 0;
    int m_screenHeight = 0;
    int m_visibleMargin = 50;
};

#endif // FRAMELESS_H
