#ifndef FRAMECOUNTER_H
#define FRAMECOUNTER_H

#include <QBackingStore>
#include <QEvent>
#include <QImage>
#include <QPointer>
#include <QWidget>

// Counts the distinct pictures a widget shows: after each of its paints its
// picture is taken and hashed; a hash unlike the last one is a new frame,
// so repaints of one frame count once. The picture is taken once the paint
// and its window's flush are done (posted behind them, ahead of the next
// paint's update request).
class FrameCounter : public QObject
{
public:
    enum class Picture {
        // The widget painted again into an image of its own: its own paint,
        // without what is drawn over it; costs a second paint.
        Rendered,
        // Its part of the window's backing store, what goes to the screen
        // (children drawn over it included); reads what was painted and
        // paints nothing itself, so it costs the GUI thread only a hash.
        Shown,
    };

    FrameCounter(QWidget *widget, Picture picture)
        : m_widget(widget)
        , m_picture(picture)
    {
        widget->installEventFilter(this);
    }
    int frames = 0;
    int paints = 0;
    // Paints whose shown picture could not be read (no raster backing store).
    int unreadable = 0;

    bool eventFilter(QObject *, QEvent *event) override
    {
        if (event->type() != QEvent::Paint || m_rendering)
            return false;
        ++paints;
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
        uint hash = 0;
        if (m_picture == Picture::Rendered)
            hash = renderedHash();
        else if (!shownHash(&hash)) {
            ++unreadable;
            return;
        }
        if (hash != m_last) {
            ++frames;
            m_last = hash;
        }
    }

    uint renderedHash()
    {
        m_rendering = true;
        if (m_rendered.size() != m_widget->size())
            m_rendered = QImage(m_widget->size(), QImage::Format_ARGB32_Premultiplied);
        m_widget->render(&m_rendered);
        m_rendering = false;
        return qHashBits(m_rendered.constBits(), size_t(m_rendered.sizeInBytes()));
    }

    bool shownHash(uint *hash) const
    {
        QWidget *window = m_widget->window();
        QBackingStore *store = window->backingStore();
        QPaintDevice *device = store ? store->paintDevice() : nullptr;
        if (!device || device->devType() != QInternal::Image)
            return false;
        const QImage &screen = *static_cast<QImage *>(device);
        const qreal ratio = screen.devicePixelRatio();
        const QRect area = QRect(m_widget->mapTo(window, QPoint(0, 0)) * ratio, m_widget->size() * ratio) & screen.rect();
        const size_t pixelBytes = size_t(screen.depth() / 8);
        const size_t rowBytes = size_t(area.width()) * pixelBytes;
        for (int y = area.top(); y <= area.bottom(); ++y)
            *hash = qHashBits(screen.constScanLine(y) + size_t(area.left()) * pixelBytes, rowBytes, *hash);
        return true;
    }

    QPointer<QWidget> m_widget;
    const Picture m_picture;
    QImage m_rendered; // painted into again for every frame
    bool m_pending = false;
    bool m_rendering = false;
    uint m_last = 0;
};

#endif // FRAMECOUNTER_H
