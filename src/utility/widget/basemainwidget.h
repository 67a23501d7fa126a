#ifndef BASEMAINWIDGET_H
#define BASEMAINWIDGET_H

#include <QFrame>

class FrameLess;

// Base of every top-level window: no system frame, moved by dragging inside
// it and resized by its edges (FrameLess), the program icon, and
// signal_close() when it closes.
class BaseMainWidget : public QFrame
{
    Q_OBJECT

public:
    explicit BaseMainWidget(QWidget *parent = nullptr);
    ~BaseMainWidget() override;

    // Keeps margin pixels of the window inside width x height while moving.
    void setMoveBounds(int width, int height, int margin);
    void setResizable(bool resizable);

signals:
    void signal_close();

protected:
    void closeEvent(QCloseEvent *event) override;

private:
    FrameLess *m_frameLess;
};

#endif // BASEMAINWIDGET_H
