#include "biz/whiteboard/boardscene.h"

#include "biz/whiteboard/drawunit.h"

#include <QPainter>
#include <QRegion>

void BoardScene::takeCopies()
{
    auto owned = std::make_shared<std::vector<std::unique_ptr<DrawLayer>>>();
    owned->reserve(size_t(units.size()));
    for (DrawLayer *&unit : units) {
        owned->emplace_back(unit->clone());
        unit = owned->back().get();
    }
    copies = std::move(owned);
}

void BoardScene::paint(QPaintDevice *device, const std::atomic<bool> *cancelled) const
{
    QPainter painter(device);
    // The page covers its rectangle whole (an opaque image, or white): only
    // the board around it is filled, not every pixel twice.
    QRegion board(QRect(QPoint(0, 0), size));
    if (hasPage)
        board -= pageRect;
    for (const QRect &rect : board)
        painter.fillRect(rect, background);
    if (hasPage) {
        if (pageImage.isNull()) {
            painter.fillRect(pageRect, Qt::white);
        } else if (pageImage.size() == pageRect.size()) {
            painter.drawImage(pageRect.topLeft(), pageImage);
        } else {
            painter.setRenderHint(QPainter::SmoothPixmapTransform, false);
            painter.drawImage(pageRect, pageImage);
        }
    }
    painter.end();
    if (!hasPage)
        return;
    for (DrawLayer *unit : units) {
        if (cancelled && *cancelled)
            return;
        unit->paint(device, pageRect.x(), pageRect.y(), pageRect.width(), pageRect.height());
    }
}
