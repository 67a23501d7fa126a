#include "biz/whiteboard/pagerenderer.h"

#include "biz/whiteboard/materialdoc.h"
#include "biz/whiteboard/renderthread.h"

struct PageRenderer::Worker
{
    MaterialDoc doc;
    int openedGeneration = -1;
    bool opened = false;

    // The document of generation open, whichever of its tasks comes first.
    void use(int generation, const QString &path)
    {
        if (openedGeneration == generation)
            return;
        doc.close();
        opened = !path.isEmpty() && doc.openFile(path, QString());
        openedGeneration = generation;
    }

    QImage render(int page, float scale)
    {
        QImage image;
        if (opened && doc.getPageImage(page, scale, image))
            image = opaque(std::move(image));
        return image;
    }
};

PageRenderer::PageRenderer(QObject *parent)
    : QObject(parent)
    , worker(new Worker)
{
    Worker *state = worker.get();
    thread = std::make_unique<RenderThread>([state] { state->doc.abortRender(); });
}

PageRenderer::~PageRenderer()
{
    thread.reset(); // joins before the worker's document goes
}

QString PageRenderer::keyOf(int generation, int page, float scale)
{
    return QStringLiteral("%1/%2/%3").arg(generation).arg(page).arg(double(scale), 0, 'g', 9);
}

void PageRenderer::open(const QString &path, const QSize &view)
{
    thread->clear();
    filePath = path;
    ++currentGeneration;
    firstPage = FirstPage();
    postOpen(view, nullptr);
}

DocumentPages PageRenderer::openAndWait(const QString &path, const QSize &view)
{
    thread->clear();
    filePath = path;
    ++currentGeneration;
    firstPage = FirstPage();
    auto waiter = std::make_shared<std::promise<DocumentPages>>();
    std::future<DocumentPages> result = waiter->get_future();
    postOpen(view, std::move(waiter));
    DocumentPages pages;
    try {
        pages = result.get();
    } catch (const std::future_error &) {
        return DocumentPages(); // dropped before it ran
    }
    if (!pages.isEmpty())
        firstPage = FirstPage { currentGeneration, pages.fitScale(0, view) };
    return pages;
}

void PageRenderer::close()
{
    thread->clear();
    filePath.clear();
    ++currentGeneration;
    firstPage = FirstPage();
}

void PageRenderer::postOpen(const QSize &view, std::shared_ptr<std::promise<DocumentPages>> waiter)
{
    const int generation = currentGeneration;
    const QString path = filePath;
    thread->post(Open, keyOf(generation, -1, 0),
                 [this, generation, path, view, waiter](const std::atomic<bool> &cancelled) {
                     if (cancelled)
                         return;
                     Worker &state = *worker;
                     state.use(generation, path);
                     const DocumentPages pages = state.opened ? state.doc.readPages() : DocumentPages();
                     const float scale = pages.fitScale(0, view);
                     if (waiter) {
                         waiter->set_value(pages);
                     } else {
                         // This object outlives the thread (its destructor
                         // joins it), and a queued call to an object that is
                         // gone by then is dropped.
                         QMetaObject::invokeMethod(
                             this,
                             [this, generation, pages, scale] {
                                 if (generation == currentGeneration && !pages.isEmpty())
                                     firstPage = FirstPage { generation, scale };
                                 emit documentOpened(generation, pages);
                             },
                             Qt::QueuedConnection);
                     }
                     // The first page follows in the same go: no second
                     // round trip through the GUI thread before it shows.
                     if (pages.isEmpty() || !(scale > 0) || cancelled)
                         return;
                     const QImage image = state.render(0, scale);
                     if (!cancelled)
                         deliver(generation, 0, scale, image);
                 });
}

void PageRenderer::deliver(int generation, int page, float scale, const QImage &image)
{
    QMetaObject::invokeMethod(
        this, [this, generation, page, scale, image] { emit pageRendered(generation, page, scale, image); },
        Qt::QueuedConnection);
}

void PageRenderer::request(int page, float scale, Lane lane)
{
    const FirstPage first = firstPage;
    firstPage = FirstPage();
    if (page == 0 && first.generation == currentGeneration && first.scale == scale)
        return; // the open renders it
    const int generation = currentGeneration;
    const QString path = filePath;
    thread->post(lane, keyOf(generation, page, scale),
                 [this, generation, path, page, scale](const std::atomic<bool> &cancelled) {
                     if (cancelled)
                         return;
                     Worker &state = *worker;
                     state.use(generation, path);
                     const QImage image = state.render(page, scale);
                     if (!cancelled)
                         deliver(generation, page, scale, image);
                 });
}

QImage PageRenderer::renderAndWait(int page, float scale)
{
    const int generation = currentGeneration;
    const QString path = filePath;
    auto waiter = std::make_shared<std::promise<QImage>>();
    std::future<QImage> result = waiter->get_future();
    thread->post(Shown, QStringLiteral("now/") + keyOf(generation, page, scale),
                 [this, generation, path, page, scale, waiter](const std::atomic<bool> &) {
                     Worker &state = *worker;
                     state.use(generation, path);
                     waiter->set_value(state.render(page, scale));
                 });
    try {
        return result.get();
    } catch (const std::future_error &) {
        return QImage();
    }
}

QImage PageRenderer::opaque(QImage page)
{
    // Pages are rendered on white, so every pixel is opaque: marked so, the
    // page is copied onto the board instead of blended pixel by pixel.
    page.reinterpretAsFormat(QImage::Format_RGB32);
    return page;
}

void PageRenderer::cancelAll()
{
    thread->clear();
}

void PageRenderer::waitIdle()
{
    thread->waitIdle();
}
