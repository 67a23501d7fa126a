#ifndef WIDGETRENDERER_H
#define WIDGETRENDERER_H

#include <QVideoWidget>

namespace QtAV {

class VideoFrameSurface;

// Shows the player's pictures in a widget: the newest frame, scaled to fit
// with its aspect kept, black around it. Painted like any other widget, so
// what lies over it (toasts, buttons) shows, and a grab sees the picture.
// A video widget that is never bound to a player: it paints the frames of
// its own surface itself.
class WidgetRenderer : public QVideoWidget
{
    Q_OBJECT

public:
    explicit WidgetRenderer(QWidget *parent = nullptr);
    ~WidgetRenderer() override;

    VideoFrameSurface *surface() const { return m_surface; }

    // Where the frame goes inside a widget of the given size.
    static QRect fittedRect(const QSize &frame, const QSize &widget);

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    VideoFrameSurface *m_surface;
};

} // namespace QtAV

#endif // WIDGETRENDERER_H
