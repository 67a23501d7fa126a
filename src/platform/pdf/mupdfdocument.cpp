#include "platform/pdf/mupdfdocument.h"

extern "C" {
#include <mupdf/fitz.h>
#include <mupdf/pdf.h>
}

#include <QByteArray>
#include <QDebug>
#include <QString>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <mutex>

namespace {

// Above these a page image is refused rather than allocated.
const int kMaxSide = 16384;
const size_t kMaxBytes = size_t(256) << 20;

void logMuPdfWarning(void *, const char *message)
{
    qDebug("<pdf> %s", message);
}

void logMuPdfError(void *, const char *message)
{
    qWarning("<pdf> %s", message);
}

// The pixel box of a page of these bounds at scale, or why there is none.
bool pixelBox(const fz_rect &bounds, float scale, fz_irect *box, char *why, size_t whySize)
{
    if (!std::isfinite(scale) || scale <= 0) {
        std::snprintf(why, whySize, "scale must be finite and positive");
        return false;
    }
    const fz_matrix ctm = fz_scale(scale / 100.0f, scale / 100.0f);
    const fz_rect area = fz_transform_rect(bounds, ctm);
    if (!std::isfinite(area.x0) || !std::isfinite(area.y0) || !std::isfinite(area.x1) || !std::isfinite(area.y1)
        || area.x1 - area.x0 > kMaxSide || area.y1 - area.y0 > kMaxSide) {
        std::snprintf(why, whySize, "page image too large at scale %g", double(scale));
        return false;
    }
    *box = fz_round_rect(area);
    const int width = box->x1 - box->x0;
    const int height = box->y1 - box->y0;
    if (width <= 0 || height <= 0) {
        std::snprintf(why, whySize, "page image empty at scale %g", double(scale));
        return false;
    }
    if (width > kMaxSide || height > kMaxSide || size_t(width) * size_t(height) * 4 > kMaxBytes) {
        std::snprintf(why, whySize, "page image of %d x %d pixels too large", width, height);
        return false;
    }
    return true;
}

// The pixel box of a page at scale; throws when it is not a usable image.
fz_irect renderBox(fz_context *ctx, fz_page *page, float scale, fz_matrix *ctm)
{
    *ctm = fz_scale(scale / 100.0f, scale / 100.0f);
    fz_irect box = fz_empty_irect;
    char why[96];
    if (!pixelBox(fz_bound_page(ctx, page), scale, &box, why, sizeof why))
        fz_throw(ctx, FZ_ERROR_GENERIC, "%s", why);
    return box;
}

// Page images are a few MiB each and come and go with every turn. Released
// buffers are kept (up to a few, largest first to go) and handed out again,
// so a new page is drawn into memory that is already mapped instead of
// fresh pages the kernel has to fault in one by one. Each buffer carries its
// capacity in a header before the pixels.
class PixelPool
{
public:
    unsigned char *take(size_t bytes)
    {
        {
            std::lock_guard<std::mutex> hold(lock);
            // The buffer let go last first: its memory is the warmest.
            for (size_t i = count; i-- > 0;) {
                if (capacityOf(kept[i]) >= bytes && capacityOf(kept[i]) <= bytes + bytes / 2) {
                    unsigned char *pixels = kept[i];
                    std::copy(kept + i + 1, kept + count, kept + i);
                    --count;
                    keptBytes -= capacityOf(pixels);
                    return pixels;
                }
            }
        }
        auto *block = static_cast<unsigned char *>(std::malloc(bytes + kHeader));
        if (!block)
            return nullptr;
        *reinterpret_cast<size_t *>(block) = bytes;
        return block + kHeader;
    }

    void give(unsigned char *pixels)
    {
        if (!pixels)
            return;
        {
            std::lock_guard<std::mutex> hold(lock);
            const size_t bytes = capacityOf(pixels);
            while (count > 0 && (count == kSlots || keptBytes + bytes > kMaxKept)) {
                // The oldest goes.
                keptBytes -= capacityOf(kept[0]);
                std::free(kept[0] - kHeader);
                std::copy(kept + 1, kept + count, kept);
                --count;
            }
            if (bytes <= kMaxKept) {
                kept[count++] = pixels;
                keptBytes += bytes;
                return;
            }
        }
        std::free(pixels - kHeader);
    }

private:
    static size_t capacityOf(unsigned char *pixels) { return *reinterpret_cast<size_t *>(pixels - kHeader); }

    static const size_t kHeader = 64; // keeps the pixels 64-byte aligned as malloc gives them
    static const size_t kSlots = 4;
    static const size_t kMaxKept = size_t(64) << 20;
    std::mutex lock;
    unsigned char *kept[kSlots] = {};
    size_t count = 0;
    size_t keptBytes = 0;
};

PixelPool &pixelPool()
{
    static PixelPool *pool = new PixelPool; // never destroyed: images may outlive static destructors
    return *pool;
}

} // namespace

PdfDocument::~PdfDocument() = default;

MuPdfDocument::MuPdfDocument(fz_context *ctx)
    : m_ctx(ctx)
{
    fz_set_warning_callback(m_ctx, logMuPdfWarning, nullptr);
    fz_set_error_callback(m_ctx, logMuPdfError, nullptr);
}

MuPdfDocument::~MuPdfDocument()
{
    close();
    fz_drop_context(m_ctx);
}

bool MuPdfDocument::fail(const std::string &message)
{
    m_error = message;
    return false;
}

bool MuPdfDocument::open(const char16_t *fileName, const char *password)
{
    close();
    if (!fileName || !*fileName)
        return fail("no file name");
    const QByteArray path = QString::fromUtf16(fileName).toUtf8();

    pdf_document *pdf = nullptr;
    int pages = 0;
    bool locked = false;
    fz_var(pdf);
    fz_var(pages);
    fz_var(locked);
    fz_try(m_ctx) {
        pdf = pdf_open_document(m_ctx, path.constData());
        fz_document *doc = &pdf->super;
        if (fz_needs_password(m_ctx, doc) && !fz_authenticate_password(m_ctx, doc, password ? password : "")) {
            locked = true;
        } else {
            pages = fz_count_pages(m_ctx, doc);
        }
    }
    fz_catch(m_ctx) {
        pdf_drop_document(m_ctx, pdf);
        return fail(std::string("cannot open ") + path.constData() + ": " + fz_caught_message(m_ctx));
    }
    if (locked || pages < 1) {
        pdf_drop_document(m_ctx, pdf);
        return fail(locked ? std::string("wrong or missing password for ") + path.constData()
                           : std::string("no pages in ") + path.constData());
    }
    m_doc = &pdf->super;
    m_pageCount = pages;
    // One walk of the page tree into a map, instead of a walk from its
    // root for every page looked up (every page's bounds are read at
    // once). A tree that cannot be walked is simply not mapped.
    fz_try(m_ctx) {
        pdf_load_page_tree(m_ctx, pdf);
        m_pageTreeMapped = true;
    }
    fz_catch(m_ctx) {
        m_pageTreeMapped = false;
    }
    m_error.clear();
    return true;
}

void MuPdfDocument::close()
{
    if (m_pageTreeMapped)
        pdf_drop_page_tree(m_ctx, pdf_document_from_fz_document(m_ctx, m_doc));
    m_pageTreeMapped = false;
    fz_drop_document(m_ctx, m_doc);
    m_doc = nullptr;
    m_pageCount = 0;
}

int MuPdfDocument::pageCount()
{
    return m_pageCount;
}

void MuPdfDocument::pageSize(int page, float *size)
{
    if (!size)
        return;
    float bounds[4] = { 0, 0, 0, 0 };
    pageBounds(page, bounds);
    size[0] = bounds[2] - bounds[0];
    size[1] = bounds[3] - bounds[1];
}

void MuPdfDocument::pageBounds(int page, float *bounds)
{
    if (!bounds)
        return;
    std::fill(bounds, bounds + 4, 0.0f);
    if (!m_doc) {
        fail("no document open");
        return;
    }
    if (page < 0 || page >= m_pageCount) {
        fail("page index out of range");
        return;
    }
    // What fz_bound_page gives for a PDF page, from its dictionary alone:
    // loading the page would also read its annotations and links.
    fz_rect area = fz_empty_rect;
    fz_var(area);
    fz_try(m_ctx) {
        pdf_obj *pageObject = pdf_lookup_page_obj(m_ctx, pdf_document_from_fz_document(m_ctx, m_doc), page);
        fz_rect mediaBox;
        fz_matrix ctm;
        pdf_page_obj_transform(m_ctx, pageObject, &mediaBox, &ctm);
        area = fz_transform_rect(mediaBox, ctm);
    }
    fz_catch(m_ctx) {
        fail(std::string("cannot read page: ") + fz_caught_message(m_ctx));
        return;
    }
    const float width = area.x1 - area.x0;
    const float height = area.y1 - area.y0;
    if (!std::isfinite(width) || !std::isfinite(height) || width <= 0 || height <= 0) {
        fail("page has no area");
        return;
    }
    bounds[0] = area.x0;
    bounds[1] = area.y0;
    bounds[2] = area.x1;
    bounds[3] = area.y1;
    m_error.clear();
}

bool MuPdfDocument::renderPage(int page, PdfRenderRecord *record, float scale)
{
    if (!record)
        return fail("no render record");
    if (!m_doc)
        return fail("no document open");
    if (page < 0 || page >= m_pageCount)
        return fail("page index out of range");
    if (!std::isfinite(scale) || scale <= 0)
        return fail("scale must be finite and positive");

    fz_page *fzPage = nullptr;
    fz_pixmap *pixmap = nullptr;
    fz_device *device = nullptr;
    unsigned char *pixels = nullptr;
    int width = 0;
    int height = 0;
    fz_cookie cookie = {};
    {
        std::lock_guard<std::mutex> hold(m_abortLock);
        m_renderAbort = &cookie.abort;
    }
    fz_var(fzPage);
    fz_var(pixmap);
    fz_var(device);
    fz_var(pixels);
    fz_var(width);
    fz_var(height);
    fz_try(m_ctx) {
        fzPage = fz_load_page(m_ctx, m_doc, page);
        fz_matrix ctm;
        const fz_irect box = renderBox(m_ctx, fzPage, scale, &ctm);
        width = box.x1 - box.x0;
        height = box.y1 - box.y0;
        pixels = pixelPool().take(size_t(width) * size_t(height) * 4);
        if (!pixels)
            fz_throw(m_ctx, FZ_ERROR_MEMORY, "out of memory for %d x %d pixels", width, height);
        // BGRA bytes with alpha are an ARGB32 word on little-endian machines.
        pixmap = fz_new_pixmap_with_bbox_and_data(m_ctx, fz_device_bgr(m_ctx), box, nullptr, 1, pixels);
        fz_clear_pixmap_with_value(m_ctx, pixmap, 255);
        device = fz_new_draw_device(m_ctx, fz_identity, pixmap);
        fz_run_page(m_ctx, fzPage, device, ctm, &cookie);
        fz_close_device(m_ctx, device);
        if (cookie.abort)
            fz_throw(m_ctx, FZ_ERROR_ABORT, "aborted");
    }
    fz_always(m_ctx) {
        fz_drop_device(m_ctx, device);
        fz_drop_pixmap(m_ctx, pixmap);
        fz_drop_page(m_ctx, fzPage);
        std::lock_guard<std::mutex> hold(m_abortLock);
        m_renderAbort = nullptr;
    }
    fz_catch(m_ctx) {
        pixelPool().give(pixels);
        return fail(std::string("cannot render page: ") + fz_caught_message(m_ctx));
    }
    record->width = width;
    record->height = height;
    record->bytesPerLine = width * 4;
    record->pixels = pixels;
    m_error.clear();
    return true;
}

void MuPdfDocument::renderSize(int page, float scale, int *size)
{
    if (!size)
        return;
    size[0] = 0;
    size[1] = 0;
    if (!m_doc)
        return void(fail("no document open"));
    if (page < 0 || page >= m_pageCount)
        return void(fail("page index out of range"));
    if (!std::isfinite(scale) || scale <= 0)
        return void(fail("scale must be finite and positive"));
    float bounds[4];
    pageBounds(page, bounds);
    if (bounds[2] <= bounds[0])
        return void(fail(std::string("cannot size page: ") + m_error));
    PdfRenderSize(bounds, scale, size);
    if (size[0] <= 0)
        return void(fail("cannot size page: no image at this scale"));
    m_error.clear();
}

void MuPdfDocument::abortRender()
{
    std::lock_guard<std::mutex> hold(m_abortLock);
    if (m_renderAbort)
        *m_renderAbort = 1;
}

PdfDocument *GetPdfInstance()
{
    fz_context *ctx = fz_new_context(nullptr, nullptr, FZ_STORE_DEFAULT);
    if (!ctx) {
        qWarning("<pdf> cannot create a MuPDF context");
        return nullptr;
    }
    return new MuPdfDocument(ctx);
}

void DestoryPdfInstance(PdfDocument *instance)
{
    delete instance;
}

void FreePdfPixels(unsigned char *pixels)
{
    pixelPool().give(pixels);
}

void PdfRenderSize(const float *bounds, float scale, int *size)
{
    if (!size)
        return;
    size[0] = 0;
    size[1] = 0;
    if (!bounds)
        return;
    fz_irect box = fz_empty_irect;
    char why[96];
    if (!pixelBox(fz_make_rect(bounds[0], bounds[1], bounds[2], bounds[3]), scale, &box, why, sizeof why))
        return;
    size[0] = box.x1 - box.x0;
    size[1] = box.y1 - box.y0;
}
