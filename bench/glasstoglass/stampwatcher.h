#ifndef STAMPWATCHER_H
#define STAMPWATCHER_H

#include <QImage>
#include <QObject>
#include <QPointer>
#include <QWidget>

#include <vector>

// Reads the frame stamp of each picture a widget shows: after a paint and
// its window's flush (posted behind them) the widget is painted again into
// an image and the stamp read off it; a frame number not seen before gives
// one figure, the milliseconds from the sender's drawing to now.
class StampWatcher : public QObject
{
public:
    explicit StampWatcher(QWidget *widget);

    bool eventFilter(QObject *watched, QEvent *event) override;
    // The figures since the last take.
    std::vector<double> take();
    // Paints whose picture held no readable stamp, since the start.
    int unreadable() const { return m_unreadable; }

private:
    void capture();

    QPointer<QWidget> m_widget;
    QImage m_rendered;
    bool m_pending = false;
    bool m_rendering = false;
    bool m_seen = false;
    quint32 m_lastFrame = 0;
    int m_unreadable = 0;
    std::vector<double> m_latencies;
};

#endif // STAMPWATCHER_H
