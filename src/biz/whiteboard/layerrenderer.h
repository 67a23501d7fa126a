#ifndef LAYERRENDERER_H
#define LAYERRENDERER_H

#include "biz/whiteboard/boardscene.h"

#include <QImage>
#include <QObject>

#include <memory>
#include <mutex>

class RenderThread;

// Paints the board's layer of finished work on a thread of its own, so a
// page turn, an erase or a resize of a page with a thousand strokes does
// not stop the GUI thread. Only the newest layer asked for is painted: a
// newer request stops the one being painted. Layers handed back with
// recycle are painted into again, so no turn maps fresh memory.
class LayerRenderer : public QObject
{
    Q_OBJECT

public:
    explicit LayerRenderer(QObject *parent = nullptr);
    // Stops the layer being painted and waits only for that.
    ~LayerRenderer() override;

    // Paints scene (with copies of its units) into a layer of its size
    // times ratio; key comes back with the layer.
    void build(quint64 key, BoardScene scene, qreal ratio);
    // A layer the board no longer shows, to paint the next one into.
    void recycle(QImage layer);
    void cancelAll();
    void waitIdle();

    // The layer of a scene painted on the calling thread, into reuse when
    // that has the right size.
    static QImage paintNow(const BoardScene &scene, qreal ratio, QImage reuse = QImage(),
                           const std::atomic<bool> *cancelled = nullptr);

signals:
    void layerBuilt(quint64 key, const QImage &layer);

private:
    std::mutex spareLock;
    QImage spare;
    std::unique_ptr<RenderThread> thread;
};

#endif // LAYERRENDERER_H
