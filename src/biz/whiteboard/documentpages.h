#ifndef DOCUMENTPAGES_H
#define DOCUMENTPAGES_H

#include <QRectF>
#include <QSize>
#include <QSizeF>
#include <QVector>

// The pages of an open courseware as the board knows them: how many there
// are and where each lies, in PDF points, read once on the render thread
// when the document opens. Sizes, image sizes and fitting zooms come from
// here, so the GUI thread never waits for the document.
class DocumentPages
{
public:
    DocumentPages() = default;
    explicit DocumentPages(QVector<QRectF> bounds);

    // No pages: no document, or one that did not open.
    bool isEmpty() const { return bounds.isEmpty(); }
    int count() const { return int(bounds.size()); }
    // The page's size at scale 100; empty for a page that does not exist
    // or cannot be read.
    QSizeF size(int page) const;
    // The size of the page's image at scale percent, as the PDF layer
    // renders it; empty where it would refuse.
    QSize imageSize(int page, float scale) const;
    // The zoom at which the whole page fits into view; 0 when either has
    // no size.
    float fitScale(int page, const QSize &view) const;

private:
    QVector<QRectF> bounds;
};

#endif // DOCUMENTPAGES_H
