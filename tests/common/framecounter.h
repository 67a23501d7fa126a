#ifndef FRAMECOUNTER_H
#define FRAMECOUNTER_H

#include <QEvent>
#include <QFile>
#include <QImage>
#include <QList>
#include <QPointer>
#include <QWidget>

#include <sys/resource.h>
#include <unistd.h>

// Counts the distinct pictures a widget shows: after a paint, the widget's
// picture is taken and hashed; a hash unlike the last one is a new frame.
class FrameCounter : public QObject
{
public:
    explicit FrameCounter(QWidget *widget)
        : widget(widget)
    {
        widget->installEventFilter(this);
    }
    int frames = 0;
    int paints = 0;
    bool eventFilter(QObject *, QEvent *event) override
    {
        if (event->type() != QEvent::Paint || capturing)
            return false;
        ++paints;
        if (!pending) {
            pending = true;
            QMetaObject::invokeMethod(this, [this] { capture(); }, Qt::QueuedConnection);
        }
        return false;
    }

private:
    void capture()
    {
        pending = false;
        if (!widget)
            return;
        capturing = true;
        if (picture.size() != widget->size())
            picture = QImage(widget->size(), QImage::Format_ARGB32_Premultiplied);
        widget->render(&picture);
        capturing = false;
        const uint hash = qHashBits(picture.constBits(), size_t(picture.sizeInBytes()));
        if (hash != last) {
            ++frames;
            last = hash;
        }
    }

    QPointer<QWidget> widget;
    QImage picture; // painted into again for every frame
    bool pending = false;
    bool capturing = false;
    uint last = 0;
};

// CPU seconds of this process (all its threads).
inline double ownCpuSeconds()
{
    rusage usage {};
    getrusage(RUSAGE_SELF, &usage);
    return double(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) + double(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}

// CPU seconds of another running process.
inline double processCpuSeconds(qint64 pid)
{
    QFile stat(QStringLiteral("/proc/%1/stat").arg(pid));
    if (!stat.open(QIODevice::ReadOnly))
        return 0;
    const QList<QByteArray> fields = stat.readAll().split(' ');
    if (fields.size() < 15)
        return 0;
    return double(fields.at(13).toLongLong() + fields.at(14).toLongLong()) / double(sysconf(_SC_CLK_TCK));
}

#endif // FRAMECOUNTER_H
