#ifndef WIDGETCUT_H
#define WIDGETCUT_H

#include "utility/widget/basemainwidget.h"

#include <QImage>
#include <QPoint>
#include <QRect>
#include <QString>

namespace Ui {
class WidgetCut;
}

// The small window that sits on a screenshot's selection: the size text
// above it, the selection itself, and save, cancel and send below. It can
// be dragged (the selection follows) but not resized.
class WidgetCut : public BaseMainWidget
{
    Q_OBJECT

public:
    static constexpr int kLabelHeight = 20;
    static constexpr int kToolBarHeight = 25;

    explicit WidgetCut(QWidget *parent = nullptr);
    ~WidgetCut() override;

    // The screen picture to cut from and the screen position of its first pixel.
    void setScreenImage(const QImage &screen, const QPoint &origin);
    void setCutSize(int w, int h);

    // The window of a selection: kLabelHeight above it, kToolBarHeight below.
    static QRect windowRectFor(const QRect &selection);
    // The selection (screen coordinates) under the window now.
    QRect selectionOnScreen() const;
    // The part of the screen picture under the selection; null when empty.
    QImage cutImage() const;
    // A new file in folder named after the local time (17 digits, ".png").
    static QString sendFilePath(const QString &folder);
    bool hasEnded() const { return m_ended; }

signals:
    // The window's corners: top-left and bottom-right (exclusive).
    void signal_move(QPoint topLeft, QPoint bottomRight);
    void signal_quit(QString filePath);

public slots:
    void slot_Save();
    void slot_Send();
    void slot_close();

protected:
    void moveEvent(QMoveEvent *event) override;
    // A right-button release ends the tool; seen before the frame's own
    // filter, which takes every mouse event of the window for dragging.
    bool eventFilter(QObject *watched, QEvent *event) override;
    void keyReleaseEvent(QKeyEvent *event) override;

private:
    void finish(const QString &filePath);

    Ui::WidgetCut *ui;
    QImage m_screen;
    QPoint m_screenOrigin;
    QSize m_cutSize;
    bool m_ended = false;
};

#endif // WIDGETCUT_H
