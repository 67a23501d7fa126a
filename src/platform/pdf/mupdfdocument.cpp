#include "platform/pdf/mupdfdocument.h"

extern "C" {
#include <mupdf/fitz.h>
#include <mupdf/pdf.h>
}

#include <QByteArray>
#include <QDebug>
#include <QString>

#include <cmath>
#include <cstdlib>

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
    m_error.clear();
    return true;
}

void MuPdfDocument::close()
{
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
    size[0] = 0;
    size[1] = 0;
    if (!m_doc) {
        fail("no document open");
        return;
    }
    if (page < 0 || page >= m_pageCount) {
        fail("page index out of range");
        return;
    }
    fz_page *fzPage = nullptr;
    fz_rect bounds = fz_empty_rect;
    fz_var(fzPage);
    fz_try(m_ctx) {
        fzPage = fz_load_page(m_ctx, m_doc, page);
        bounds = fz_bound_page(m_ctx, fzPage);
    }
    fz_always(m_ctx) {
        fz_drop_page(m_ctx, fzPage);
    }
    fz_catch(m_ctx) {
        fail(std::string("cannot read page: ") + fz_caught_message(m_ctx));
        return;
    }
    const float width = bounds.x1 - bounds.x0;
    const float height = bounds.y1 - bounds.y0;
    if (!std::isfinite(width) || !std::isfinite(height) || width <= 0 || height <= 0) {
        fail("page has no area");
        return;
    }
    size[0] = width;
    size[1] = height;
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
    fz_var(fzPage);
    fz_var(pixmap);
    fz_var(device);
    fz_var(pixels);
    fz_var(width);
    fz_var(height);
    fz_try(m_ctx) {
        fzPage = fz_load_page(m_ctx, m_doc, page);
        const fz_matrix ctm = fz_scale(scale / 100.0f, scale / 100.0f);
        const fz_rect area = fz_transform_rect(fz_bound_page(m_ctx, fzPage), ctm);
        if (!std::isfinite(area.x0) || !std::isfinite(area.y0) || !std::isfinite(area.x1) || !std::isfinite(area.y1)
            || area.x1 - area.x0 > kMaxSide || area.y1 - area.y0 > kMaxSide)
            fz_throw(m_ctx, FZ_ERROR_GENERIC, "page image too large at scale %g", scale);
        const fz_irect box = fz_round_rect(area);
        width = box.x1 - box.x0;
        height = box.y1 - box.y0;
        if (width <= 0 || height <= 0)
            fz_throw(m_ctx, FZ_ERROR_GENERIC, "page image empty at scale %g", scale);
        const size_t bytes = size_t(width) * size_t(height) * 4;
        if (width > kMaxSide || height > kMaxSide || bytes > kMaxBytes)
            fz_throw(m_ctx, FZ_ERROR_GENERIC, "page image of %d x %d pixels too large", width, height);
        pixels = static_cast<unsigned char *>(std::malloc(bytes));
        if (!pixels)
            fz_throw(m_ctx, FZ_ERROR_MEMORY, "out of memory for %d x %d pixels", width, height);
        // BGRA bytes with alpha are an ARGB32 word on little-endian machines.
        pixmap = fz_new_pixmap_with_bbox_and_data(m_ctx, fz_device_bgr(m_ctx), box, nullptr, 1, pixels);
        fz_clear_pixmap_with_value(m_ctx, pixmap, 255);
        device = fz_new_draw_device(m_ctx, fz_identity, pixmap);
        fz_run_page(m_ctx, fzPage, device, ctm, nullptr);
        fz_close_device(m_ctx, device);
    }
    fz_always(m_ctx) {
        fz_drop_device(m_ctx, device);
        fz_drop_pixmap(m_ctx, pixmap);
        fz_drop_page(m_ctx, fzPage);
    }
    fz_catch(m_ctx) {
        std::free(pixels);
        return fail(std::string("cannot render page: ") + fz_caught_message(m_ctx));
    }
    record->width = width;
    record->height = height;
    record->bytesPerLine = width * 4;
    record->pixels = pixels;
    m_error.clear();
    return true;
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
    std::free(pixels);
}
