#include "biz/whiteboard/layerrenderer.h"

#include "biz/whiteboard/renderthread.h"

LayerRenderer::LayerRenderer(QObject *parent)
    : QObject(parent)
    , thread(std::make_unique<RenderThread>())
{
}

LayerRenderer::~LayerRenderer()
{
    thread.reset();
}

QImage LayerRenderer::paintNow(const BoardScene &scene, qreal ratio, QImage reuse, const std::atomic<bool> *cancelled)
{
    const QSize pixels = scene.size * ratio;
    QImage layer;
    if (reuse.size() == pixels && reuse.format() == QImage::Format_ARGB32_Premultiplied)
        layer = std::move(reuse);
    else
        layer = QImage(pixels, QImage::Format_ARGB32_Premultiplied);
    layer.setDevicePixelRatio(ratio);
    scene.paint(&layer, cancelled);
    return layer;
}

void LayerRenderer::build(quint64 key, BoardScene scene, qreal ratio)
{
    scene.takeCopies();
    thread->post(0, QString::number(key), [this, key, scene, ratio](const std::atomic<bool> &cancelled) {
        if (cancelled)
            return;
        QImage reuse;
        {
            std::lock_guard<std::mutex> hold(spareLock);
            std::swap(reuse, spare);
        }
        QImage layer = paintNow(scene, ratio, std::move(reuse), &cancelled);
        if (cancelled) {
            recycle(layer);
            return;
        }
        // This object outlives the thread (its destructor joins it).
        QMetaObject::invokeMethod(
            this, [this, key, layer] { emit layerBuilt(key, layer); }, Qt::QueuedConnection);
    });
}

void LayerRenderer::recycle(QImage layer)
{
    if (layer.isNull())
        return;
    std::lock_guard<std::mutex> hold(spareLock);
    spare = std::move(layer);
}

void LayerRenderer::cancelAll()
{
    thread->clear();
}

void LayerRenderer::waitIdle()
{
    thread->waitIdle();
}
