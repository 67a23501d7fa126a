#ifndef FIRSTFRAME_H
#define FIRSTFRAME_H

#include <QApplication>
#include <QEvent>
#include <QObject>
#include <QTimer>
#include <QWidget>

#include <cstdio>

// Ends a start-up run at its first painted frame: once a top-level window
// has had its first paint, the rest of that repaint (children, flush to the
// screen) finishes, then "ready" is printed and the program quits. Both
// sides of the start-up benchmark use it, so both stop at the same point.
class FirstFrameWatcher : public QObject
{
public:
    static void install()
    {
        qApp->installEventFilter(new FirstFrameWatcher(qApp));
    }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (!m_seen && event->type() == QEvent::Paint && watched->isWidgetType()
            && static_cast<QWidget *>(watched)->isWindow()) {
            m_seen = true;
            QTimer::singleShot(0, []() {
                std::printf("ready\n");
                std::fflush(stdout);
                QCoreApplication::exit(0);
            });
        }
        return QObject::eventFilter(watched, event);
    }

private:
    using QObject::QObject;
    bool m_seen = false;
};

#endif // FIRSTFRAME_H
