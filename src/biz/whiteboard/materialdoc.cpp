#include "biz/whiteboard/materialdoc.h"

#include "platform/pdf/pdfdocument.h"

#include <QDebug>
#include <QFile>
#include <QImage>
#include <QRectF>
#include <QSize>

namespace {

void releasePixels(void *pixels)
{
    FreePdfPixels(static_cast<unsigned char *>(pixels));
}

} // namespace

MaterialDoc::MaterialDoc()
{
    pdfInstance = GetPdfInstance();
}

MaterialDoc::~MaterialDoc()
{
    DestoryPdfInstance(pdfInstance);
    pdfInstance = nullptr;
}

bool MaterialDoc::isPdfFormat(const QString &fileName)
{
    QFile file(fileName);
    if (!file.open(QIODevice::ReadOnly))
        return false;
    const QByteArray head = file.read(10);
    file.close();
    if (head.size() > 4 && head.startsWith("%PDF-")) {
        qInfo().noquote() << QStringLiteral("The file of  %1 is PDF.").arg(fileName);
        return true;
    }
    qCritical().noquote() << QStringLiteral("The file of %1 is not PDF.").arg(fileName);
    return false;
}

bool MaterialDoc::openFile(const QString &fileName, const QString &password)
{
    if (fileName.isEmpty()) {
        qWarning() << "the variable of fileName is empty.";
        return false;
    }
    if (!isPdfFormat(fileName)) {
        qWarning().noquote() << QStringLiteral("the file of \"%1\" is not PDF format.").arg(fileName);
        return false;
    }
    if (opened) {
        pdfInstance->close();
        opened = false;
    }
    if (!pdfInstance)
        return false;
    const QByteArray password8 = password.toUtf8();
    opened = pdfInstance->open(reinterpret_cast<const char16_t *>(fileName.utf16()), password8.constData());
    if (!opened)
        qWarning().noquote() << QStringLiteral("<pdf> %1").arg(QString::fromUtf8(pdfInstance->lastError()));
    return opened;
}

void MaterialDoc::close()
{
    if (pdfInstance)
        pdfInstance->close();
    opened = false;
}

int MaterialDoc::getPageCount() const
{
    return pdfInstance ? pdfInstance->pageCount() : 0;
}

void MaterialDoc::getPageSize(int page, float &width, float &height) const
{
    width = 0;
    height = 0;
    if (!pdfInstance)
        return;
    float size[2] = { 0, 0 };
    pdfInstance->pageSize(page, size);
    width = size[0];
    height = size[1];
}

DocumentPages MaterialDoc::readPages() const
{
    const int count = opened ? getPageCount() : 0;
    QVector<QRectF> bounds;
    bounds.reserve(count);
    for (int page = 0; page < count; ++page) {
        float corners[4] = { 0, 0, 0, 0 };
        pdfInstance->pageBounds(page, corners);
        if (page == 0 && !(corners[2] > corners[0] && corners[3] > corners[1])) {
            qWarning().noquote() << QStringLiteral("<pdf> first page cannot be read: %1")
                                        .arg(QString::fromUtf8(pdfInstance->lastError()));
            return DocumentPages();
        }
        bounds.append(QRectF(QPointF(corners[0], corners[1]), QPointF(corners[2], corners[3])));
    }
    return DocumentPages(std::move(bounds));
}

bool MaterialDoc::getPageImage(int page, float scale, QImage &image)
{
    if (!pdfInstance || page < 0 || page >= getPageCount())
        return false;
    PdfRenderRecord record;
    if (!pdfInstance->renderPage(page, &record, scale)) {
        if (qstrcmp(pdfInstance->lastError(), "cannot render page: aborted") == 0) {
            qInfo("<pdf> page %d at scale %g: no longer wanted", page, double(scale));
            return false;
        }
        qWarning().noquote() << QStringLiteral("<pdf> page %1 at scale %2: %3")
                                    .arg(page).arg(scale).arg(QString::fromUtf8(pdfInstance->lastError()));
        return false;
    }
    // The image takes the pixels over and releases them with its last copy,
    // so a page image kept by a caller outlives the next render and close.
    image = QImage(record.pixels, record.width, record.height, record.bytesPerLine, QImage::Format_ARGB32,
                   releasePixels, record.pixels);
    return true;
}

QSize MaterialDoc::getPageImageSize(int page, float scale) const
{
    if (!pdfInstance || page < 0 || page >= getPageCount())
        return QSize();
    int size[2] = { 0, 0 };
    pdfInstance->renderSize(page, scale, size);
    return QSize(size[0], size[1]);
}

void MaterialDoc::abortRender()
{
    if (pdfInstance)
        pdfInstance->abortRender();
}
