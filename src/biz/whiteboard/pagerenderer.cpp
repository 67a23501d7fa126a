#include "biz/whiteboard/pagerenderer.h"

#include "biz/whiteboard/materialdoc.h"
#include "biz/whiteboard/renderthread.h"

struct PageRenderer::Worker
{
    MaterialDoc doc;
    int openedGeneration = -1;
    bool opened = false;
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

void PageRenderer::setDocument(const QString &path)
{
    thread->clear();
    filePath = path;
    ++currentGeneration;
}

void PageRenderer::request(int page, float scale, Lane lane)
{
    const int generation = currentGeneration;
    const QString path = filePath;
    const QString key = QStringLiteral("%1/%2/%3").arg(generation).arg(page).arg(double(scale), 0, 'g', 9);
    thread->post(lane, key, [this, generation, path, page, scale](const std::atomic<bool> &cancelled) {
        if (cancelled)
            return;
        Worker &state = *worker;
        if (state.openedGeneration != generation) {
            state.doc.close();
            state.opened = !path.isEmpty() && state.doc.openFile(path, QString());
            state.openedGeneration = generation;
        }
        QImage image;
        if (state.opened && state.doc.getPageImage(page, scale, image))
            image = opaque(std::move(image));
        if (cancelled)
            return;
        // This object outlives the thread (its destructor joins it), and a
        // queued call to an object that is gone by then is dropped.
        QMetaObject::invokeMethod(
            this, [this, generation, page, scale, image] { emit pageRendered(generation, page, scale, image); },
            Qt::QueuedConnection);
    });
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
