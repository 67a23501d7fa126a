#ifndef BOARDSCENE_H
#define BOARDSCENE_H

#include <QColor>
#include <QImage>
#include <QRect>
#include <QSize>
#include <QVector>

#include <atomic>
#include <memory>
#include <vector>

class DrawLayer;
class QPaintDevice;

// What the board's layer of finished work shows: the board colour, the
// page in its place and the finished units over it. The page image is
// drawn scaled while the sharp one for a new zoom is on its way, and the
// page is plain white while no image of it has come yet.
class BoardScene
{
public:
    QSize size;               // the board, in device-independent pixels
    QColor background;
    bool hasPage = false;
    QRect pageRect;           // where the page lies on the board
    QImage pageImage;         // may be null or of another size than pageRect
    QVector<DrawLayer *> units; // painted in order; not owned

    // Copies of the units for painting on another thread, which owns them;
    // units then points at these copies.
    void takeCopies();

    // Paints the scene; stops between units once cancelled turns true.
    void paint(QPaintDevice *device, const std::atomic<bool> *cancelled = nullptr) const;

private:
    std::shared_ptr<std::vector<std::unique_ptr<DrawLayer>>> copies;
};

#endif // BOARDSCENE_H
