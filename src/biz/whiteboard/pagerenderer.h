#ifndef PAGERENDERER_H
#define PAGERENDERER_H

#include <QImage>
#include <QObject>
#include <QString>

#include <memory>

class MaterialDoc;
class RenderThread;

// Renders courseware pages on a thread of its own, with a document object
// of its own (MuPDF wants one context per thread), and hands each page to
// the GUI thread when it is done. The page shown comes first; the pages
// rendered ahead wait behind it and give way to it. A newer wish for a
// lane stops the page that lane was rendering.
class PageRenderer : public QObject
{
    Q_OBJECT

public:
    enum Lane { Shown = 0, Next = 1, Previous = 2 };

    explicit PageRenderer(QObject *parent = nullptr);
    // Stops the page being rendered and waits only for that.
    ~PageRenderer() override;

    // The file later pages come from (opened on the render thread with the
    // first of them); empty closes it. Every call starts a new generation:
    // pages still on their way from the one before are dropped.
    void setDocument(const QString &filePath);
    int generation() const { return currentGeneration; }

    void request(int page, float scale, Lane lane);
    // Drops the waiting pages and stops the one being rendered.
    void cancelAll();
    // Blocks until the render thread has nothing to do (tests, tools).
    void waitIdle();

    // A page image of MaterialDoc marked opaque, which it is.
    static QImage opaque(QImage page);

signals:
    // image is null when the page could not be rendered.
    void pageRendered(int generation, int page, float scale, const QImage &image);

private:
    struct Worker;

    QString filePath;
    int currentGeneration = 0;
    std::unique_ptr<Worker> worker; // used on the render thread only
    std::unique_ptr<RenderThread> thread;
};

#endif // PAGERENDERER_H
