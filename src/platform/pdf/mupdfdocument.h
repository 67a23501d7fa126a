#ifndef MUPDFDOCUMENT_H
#define MUPDFDOCUMENT_H

#include "platform/pdf/pdfdocument.h"

#include <mutex>
#include <string>

struct fz_context;
struct fz_document;

// PdfDocument over MuPDF. MuPDF reports errors by long jumps; every call
// into it stays inside an fz_try block here, so none crosses the interface.
class MuPdfDocument final : public PdfDocument
{
public:
    // Takes ownership of ctx.
    explicit MuPdfDocument(fz_context *ctx);
    ~MuPdfDocument() override;

    bool open(const char16_t *fileName, const char *password) override;
    void close() override;
    void pageSize(int page, float *size) override;
    void pageBounds(int page, float *bounds) override;
    bool renderPage(int page, PdfRenderRecord *record, float scale) override;
    void renderSize(int page, float scale, int *size) override;
    void abortRender() override;
    int pageCount() override;
    const char *lastError() const override { return m_error.c_str(); }

private:
    bool fail(const std::string &message);

    fz_context *m_ctx = nullptr;
    fz_document *m_doc = nullptr;
    int m_pageCount = 0;
    // The page tree is held in a map while the document is open.
    bool m_pageTreeMapped = false;
    // The abort field of the cookie MuPDF reads while a page renders,
    // null between renders; abortRender sets it from any thread.
    int *m_renderAbort = nullptr;
    std::mutex m_abortLock;
    std::string m_error;
};

#endif // MUPDFDOCUMENT_H
