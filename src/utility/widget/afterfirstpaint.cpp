#include "afterfirstpaint.h"

#include <QEvent>
#include <QTimer>
#include <QWidget>

void AfterFirstPaint::run(QWidget *window, std::function<void()> task)
{
    new AfterFirstPaint(window, std::move(task));
}

AfterFirstPaint::AfterFirstPaint(QWidget *window, std::function<void()> task)
    : m_task(std::move(task))
{
    window->installEventFilter(this);
    connect(window, &QObject::destroyed, this, &AfterFirstPaint::runTask);
}

bool AfterFirstPaint::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::Paint && !m_painted) {
        m_painted = true;
        // After this paint and the flush of the frame to the screen.
        QTimer::singleShot(0, this, &AfterFirstPaint::runTask);
    } else if (event->type() == QEvent::Hide) {
        runTask();
    }
    return QObject::eventFilter(watched, event);
}

void AfterFirstPaint::runTask()
{
    if (!m_task)
        return;
    const std::function<void()> task = std::move(m_task);
    m_task = nullptr;
    deleteLater();
    task();
}
