#ifndef AFTERFIRSTPAINT_H
#define AFTERFIRSTPAINT_H

#include <QObject>

#include <functional>

class QWidget;

// Runs a task once a window has painted its first frame, from the event
// loop, so that work the window does not need stays off the path to it;
// or at once when the window is hidden or destroyed before it painted, so
// that whatever comes after the window finds the task done.
class AfterFirstPaint : public QObject
{
    Q_OBJECT

public:
    // The watcher looks after itself; the task runs exactly once.
    static void run(QWidget *window, std::function<void()> task);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    AfterFirstPaint(QWidget *window, std::function<void()> task);
    void runTask();

    std::function<void()> m_task;
    bool m_painted = false;
};

#endif // AFTERFIRSTPAINT_H
