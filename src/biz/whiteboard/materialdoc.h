#ifndef MATERIALDOC_H
#define MATERIALDOC_H

#include "biz/whiteboard/documentpages.h"

#include <QString>

class PdfDocument;
class QImage;
class QSize;

// The lesson's PDF courseware: one document object of the PDF layer for
// the whole life of this object, with at most one file open in it.
class MaterialDoc
{
public:
    MaterialDoc();
    virtual ~MaterialDoc();

    MaterialDoc(const MaterialDoc &) = delete;
    MaterialDoc &operator=(const MaterialDoc &) = delete;

    // True when the file can be read and starts with "%PDF-".
    static bool isPdfFormat(const QString &fileName);
    // Opens a PDF, closing the open one first; false for an empty name, a
    // file that is not a PDF, and whatever the PDF layer refuses.
    bool openFile(const QString &fileName, const QString &password);
    void close();
    bool isOpen() const { return opened; }

    int getPageCount() const;
    // The page's size in the unit of getPageImage at scale 100; 0 x 0 for a
    // page that does not exist.
    void getPageSize(int page, float &width, float &height) const;
    // Every page's bounds, read without loading the pages; empty when no
    // document is open or its first page cannot be read (a broken or
    // cyclic page tree), which would only ever show grey.
    DocumentPages readPages() const;
    // Renders page at scale percent into image, an ARGB32 image that owns
    // its pixels. On failure image is left as it was.
    bool getPageImage(int page, float scale, QImage &image);
    // The size of the image getPageImage would give, without rendering;
    // empty when it would fail.
    QSize getPageImageSize(int page, float scale) const;
    // Stops a getPageImage running in another thread early (it fails).
    void abortRender();

private:
    PdfDocument *pdfInstance = nullptr;
    bool opened = false;
};

#endif // MATERIALDOC_H
