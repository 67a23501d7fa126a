#ifndef WIDGETSCREEN_H
#define WIDGETSCREEN_H

#include <QImage>
#include <QPoint>
#include <QRect>
#include <QString>
#include <QWidget>

namespace Ui {
class WidgetScreen;
}

// The screenshot tool: a full-screen picture of the desktop on which the
// user drags out an area to save or send. signal_quit carries the saved
// picture's path, or an empty text when there is nothing to send. The
// screen picture stays in memory: nothing is written until the user sends
// or saves a cut.
class WidgetScreen : public QWidget
{
    Q_OBJECT

public:
    explicit WidgetScreen(QWidget *parent = nullptr);
    ~WidgetScreen() override;

    // Grabs the screen and starts the selection. Without a screen picture
    // (no display to grab) the tool ends at once with an empty result.
    void grabScreen();

    // The selection between two corners in any order: top-left corner,
    // absolute width and height.
    static QRect selectionRect(const QPoint &press, const QPoint &current);

    QRect selection() const { return selectionRect(m_pressPoint, m_currentPoint); }
    bool hasEnded() const { return m_ended; }

signals:
    void signal_quit(QString filePath);

public slots:
    void slot_cutMove(QPoint topLeft, QPoint bottomRight);
    void slot_cutQuit(QString strFile);

protected:
    void mousePressEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void paintEvent(QPaintEvent *event) override;
    void keyReleaseEvent(QKeyEvent *event) override;

private:
    void finish(const QString &filePath);
    void showSelection();

    Ui::WidgetScreen *ui;
    QPoint m_pressPoint;
    QPoint m_currentPoint;
    QImage m_screen;
    // Screen coordinates of the picture's top-left pixel.
    QPoint m_screenOrigin;
    bool m_redraw = false;
    bool m_ended = false;
};

#endif // WIDGETSCREEN_H
