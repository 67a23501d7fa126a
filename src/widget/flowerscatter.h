#ifndef FLOWERSCATTER_H
#define FLOWERSCATTER_H

#include <QList>
#include <QObject>
#include <QRect>
#include <QSize>
#include <QString>

#include <functional>

class QLabel;
class QWidget;

// One flower picture of the shared table and its size.
struct FlowerPicture
{
    const char *picture;
    int width;
    int height;
};

// The flower pictures of the praise and prize effects: the praise uses the
// first seven rows, the prize layer all fourteen.
namespace FlowerTable {
int count();
const FlowerPicture &at(int index);
} // namespace FlowerTable

// Scatters flowers over a widget: five at a time, again 1 ms later, until
// a number has been made. Each flower flies from a start to an end
// rectangle and closes when the flight ends, oldest first. The rectangles
// come from the owner, which reads the widget's size at that moment; a
// widget without area gets no flowers.
class FlowerScatter : public QObject
{
    Q_OBJECT

public:
    struct Setup
    {
        int tableRows = 0;   // flowers are drawn from rows 0 .. tableRows - 1
        int total = 0;       // flowers made in all
        int flightMs = 0;
        bool lowered = false; // beneath the widget's other children
        // Top-left corners for a widget of the given size.
        std::function<QPoint(const QSize &)> start;
        std::function<QPoint(const QSize &)> end;
    };

    FlowerScatter(QWidget *layer, const Setup &setup);

    // Makes the next five flowers and schedules the following batch.
    void scatter();
    // The flight of one flower ended: close the oldest flower still open.
    void flowerLanded();

    int created() const { return m_created; }
    int closed() const { return m_closed; }
    const QList<QLabel *> &flowers() const { return m_flowers; }

    // A random number in [0, bound); 0 for a bound of 0 or below.
    static int boundedRandom(int bound);

signals:
    void batchMade();

private:
    void makeFlower();

    QWidget *m_layer;
    Setup m_setup;
    QList<QLabel *> m_flowers;
    int m_created = 0;
    int m_closed = 0;
};

#endif // FLOWERSCATTER_H
