#ifndef PAGERENDERER_H
#define PAGERENDERER_H

#include "biz/whiteboard/documentpages.h"

#include <QImage>
#include <QObject>
#include <QSize>
#include <QString>

#include <future>
#include <memory>

class RenderThread;

// Opens the courseware and renders its pages on a thread of its own, with
// the only document object of the board (MuPDF wants one context per
// thread), and hands each result to the GUI thread when it is done: the
// GUI thread never opens, reads or renders the document itself. Opening
// comes first, then the page shown; the pages rendered ahead wait behind
// it and give way to it. A newer wish for a lane stops the page that lane
// was rendering.
class PageRenderer : public QObject
{
    Q_OBJECT

public:
    enum Lane { Open = 0, Shown = 1, Next = 2, Previous = 3 };

    explicit PageRenderer(QObject *parent = nullptr);
    // Stops the page being rendered and waits only for that.
    ~PageRenderer() override;

    // Opens filePath for the pages asked for from now on and reports its
    // pages with documentOpened. Every call starts a new generation: pages
    // still on their way from the one before are dropped. With a view of
    // some size the first page follows at once, at the zoom that fits it
    // into view; a request for just that page is then not rendered again.
    void open(const QString &filePath, const QSize &view);
    // The same without the signal: waits for the pages (tests and tools,
    // which want an open document when the call returns).
    DocumentPages openAndWait(const QString &filePath, const QSize &view);
    // Closes the document; a new generation.
    void close();
    int generation() const { return currentGeneration; }

    void request(int page, float scale, Lane lane);
    // Renders a page on the render thread and waits for it (tests and the
    // benchmarks' paint of everything at once); null on failure.
    QImage renderAndWait(int page, float scale);
    // Drops the waiting pages and stops the one being rendered.
    void cancelAll();
    // Blocks until the render thread has nothing to do (tests, tools).
    void waitIdle();

    // A page image of MaterialDoc marked opaque, which it is.
    static QImage opaque(QImage page);

signals:
    // pages is empty when the file could not be opened or its first page
    // cannot be read.
    void documentOpened(int generation, const DocumentPages &pages);
    // image is null when the page could not be rendered.
    void pageRendered(int generation, int page, float scale, const QImage &image);

private:
    struct Worker;
    struct FirstPage
    {
        int generation = -1;
        float scale = 0;
    };

    void postOpen(const QSize &view, std::shared_ptr<std::promise<DocumentPages>> waiter);
    // Hands a rendered page to the GUI thread.
    void deliver(int generation, int page, float scale, const QImage &image);
    static QString keyOf(int generation, int page, float scale);

    QString filePath;
    int currentGeneration = 0;
    // The first page the open is rendering, not to be asked for twice.
    FirstPage firstPage;
    std::unique_ptr<Worker> worker; // used on the render thread only
    std::unique_ptr<RenderThread> thread;
};

#endif // PAGERENDERER_H
