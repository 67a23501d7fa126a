#include "biz/whiteboard/documentpages.h"

#include "platform/pdf/pdfdocument.h"

#include <QtGlobal>

DocumentPages::DocumentPages(QVector<QRectF> bounds)
    : bounds(std::move(bounds))
{
}

QSizeF DocumentPages::size(int page) const
{
    if (page < 0 || page >= count())
        return QSizeF();
    return bounds.at(page).size();
}

QSize DocumentPages::imageSize(int page, float scale) const
{
    if (page < 0 || page >= count() || bounds.at(page).isEmpty())
        return QSize();
    const QRectF &area = bounds.at(page);
    const float corners[4] = { float(area.left()), float(area.top()), float(area.right()), float(area.bottom()) };
    int pixels[2] = { 0, 0 };
    PdfRenderSize(corners, scale, pixels);
    return QSize(pixels[0], pixels[1]);
}

float DocumentPages::fitScale(int page, const QSize &view) const
{
    const QSizeF pageSize = size(page);
    if (pageSize.width() <= 0 || pageSize.height() <= 0 || view.width() <= 0 || view.height() <= 0)
        return 0;
    return qMin(float(view.height()) / float(pageSize.height()), float(view.width()) / float(pageSize.width())) * 100;
}
