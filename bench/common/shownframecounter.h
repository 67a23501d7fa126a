#ifndef SHOWNFRAMECOUNTER_H
#define SHOWNFRAMECOUNTER_H

#include <QBackingStore>
#include <QEvent>
#include <QImage>
#include <QPointer>
#include <QWidget>

// Counts the distinct pictures a widget shows: after each of its paints,
// its part of the window's backing store (what goes to the screen,
// children drawn over it included) is hashed; a hash unlike the last one
// is a new frame. It reads what was painted and paints nothing itself, so
// counting costs the GUI thread a hash per paint, not a second paint.
class ShownFrameCounter : public QObject
{
public:
    explicit ShownFrameCounter(QWidget *widget)
        : m_widget(widget)
    {
        widget->installEventFilter(this);
    }
    int frames = 0;
    int paints = 0;
    // Paints whose picture could not be read (no raster backing store).
    int unreadable = 0;

    bool eventFilter(QObject *, QEvent *event) override
    {
        if (event->type() != QEvent::Paint)
            return false;
        ++paints;
        // Read once the paint and its window's flush are done: the read is
        // posted behind them, ahead of the next paint's update request.
        if (!m_pending) {
            m_pending = true;
            QMetaObject::invokeMethod(this, [this] { capture(); }, Qt::QueuedConnection);
        }
        return false;
    }

private:
    void capture()
    {
        m_pending = false;
        if (!m_widget)
            return;
        QWidget *window = m_widget->window();
        QBackingStore *store = window->backingStore();
        QPaintDevice *device = store ? store->paintDevice() : nullptr;
        if (!device || device->devType() != QInternal::Image) {
            ++unreadable;
            return;
        }
        const QImage &screen = *static_cast<QImage *>(device);
        const qreal ratio = screen.devicePixelRatio();
        const QRect area = QRect(m_widget->mapTo(window, QPoint(0, 0)) * ratio, m_widget->size() * ratio) & screen.rect();
        uint hash = 0;
        const size_t rowBytes = size_t(area.width()) * size_t(screen.depth() / 8);
        for (int y = area.top(); y <= area.bottom(); ++y)
            hash = qHashBits(screen.constScanLine(y) + size_t(area.left()) * size_t(screen.depth() / 8), rowBytes, hash);
        if (hash != m_last) {
            ++frames;
            m_last = hash;
        }
    }

    QPointer<QWidget> m_widget;
    bool m_pending = false;
    uint m_last = 0;
};

#endif // SHOWNFRAMECOUNTER_H
