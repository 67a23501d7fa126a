// The pictures of the classroom window itself: the mode switch's arrow.

#include "imagefolders.h"
#include "imagewriter.h"

#include <QPainter>

void drawClassroomImages(ImageWriter &writer)
{
    // The drop-down arrow of the mode switch, white on its dark box.
    writer.png(QStringLiteral("class/icon_down.png"), 12, 8, [](QPainter &p) {
        p.setPen(Qt::NoPen);
        p.setBrush(Qt::white);
        p.drawPolygon(QPolygonF({ QPointF(1, 1), QPointF(11, 1), QPointF(6, 7) }));
    });
}
