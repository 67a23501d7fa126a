#ifndef PDFDOCUMENT_H
#define PDFDOCUMENT_H

#if defined(LESSONRY_PDF_LIBRARY)
#define LESSONRY_PDF_EXPORT __attribute__((visibility("default")))
#else
#define LESSONRY_PDF_EXPORT
#endif

// One page rendered by PdfDocument::renderPage: width x height 32-bit
// pixels in packed rows, each an ARGB32 word (0xAARRGGBB in native byte
// order). The caller owns the pixels and releases them with FreePdfPixels.
struct PdfRenderRecord
{
    int width = 0;
    int height = 0;
    int bytesPerLine = 0; // always 4 x width
    unsigned char *pixels = nullptr;
};

// A PDF document object of the PDF layer. Page indices are 0-based; page
// sizes are in PDF points and a page rendered at scale s (a zoom in
// percent, 100 = natural size) is about size x s / 100 pixels.
//
// Nothing here throws or aborts: every failure is a false result, a zero
// size or a page count of 0, and lastError() says what went wrong. One
// object is used from one thread at a time; separate objects are
// independent.
class LESSONRY_PDF_EXPORT PdfDocument
{
public:
    virtual ~PdfDocument();

    // Opens a PDF, closing any open one first. fileName is NUL-terminated
    // UTF-16, password NUL-terminated UTF-8 (may be null or empty). A file
    // that is not a readable PDF, a document that needs a password that was
    // not given and a document without pages are refused.
    virtual bool open(const char16_t *fileName, const char *password) = 0;
    virtual void close() = 0;
    // size[0] and size[1] receive the width and height of the page; both
    // are 0 for a page that does not exist or cannot be read.
    virtual void pageSize(int page, float *size) = 0;
    // bounds[0..3] receive x0, y0, x1, y1 of the page in PDF points, as a
    // render places it, read from the page tree without loading the page's
    // content: quick enough to read every page of a document at once. All
    // are 0 for a page that does not exist or cannot be read.
    virtual void pageBounds(int page, float *bounds) = 0;
    // Renders a page on white. The record is filled only on success; scale
    // must be finite and positive, and the image no larger than the layer's
    // limit (16384 pixels a side, 256 MiB).
    virtual bool renderPage(int page, PdfRenderRecord *record, float scale) = 0;
    // size[0] and size[1] receive the width and height in pixels of the
    // image renderPage would give at that scale, without rendering; both
    // are 0 when it would fail.
    virtual void renderSize(int page, float scale, int *size) = 0;
    // Makes a renderPage running in another thread stop early and fail.
    // The one call that may come from another thread; without a render
    // running it does nothing.
    virtual void abortRender() = 0;
    // 0 when no document is open.
    virtual int pageCount() = 0;
    // Why the last failed call failed; empty after a success.
    virtual const char *lastError() const = 0;
};

// A new document object, or null when the layer cannot start (out of
// memory). Release it with DestoryPdfInstance, which closes it.
LESSONRY_PDF_EXPORT PdfDocument *GetPdfInstance();
LESSONRY_PDF_EXPORT void DestoryPdfInstance(PdfDocument *instance);
// Releases the pixels of a PdfRenderRecord; null is ignored. Any thread may
// release them. The layer keeps a few released buffers for the next pages,
// so turning pages does not fault in fresh memory for every image.
LESSONRY_PDF_EXPORT void FreePdfPixels(unsigned char *pixels);
// size[0] and size[1] receive the width and height in pixels of the image
// renderPage gives at scale for a page of these bounds (pageBounds); both
// are 0 where renderPage would refuse. Needs no document.
LESSONRY_PDF_EXPORT void PdfRenderSize(const float *bounds, float scale, int *size);

#endif // PDFDOCUMENT_H
