#ifndef WIDGETWHITEBOARD_H
#define WIDGETWHITEBOARD_H

#include "biz/whiteboard/documentpages.h"
#include "biz/whiteboard/layerrenderer.h"
#include "biz/whiteboard/pagerenderer.h"
#include "mgr/message/immsginfo.h"
#include "mgr/message/whiteboardpayloads.h"
#include "utility/widget/iwidget.h"

#include <QImage>
#include <QMap>
#include <QPoint>
#include <QPointer>
#include <QTimer>
#include <QVector>

namespace Ui {
class WidgetWhiteBoard;
}

class DrawLayer;
class DrawCurveUnit;
class DrawUnit;
class LoadingWidget;
class NetWorkDownloadReplyHolder;
class QKeyEvent;
class TextInputBox;
class TextUnit;
class UserList;

// The shared board of the classroom: the current courseware page as the
// background, the pen strokes and text boxes of every participant on it,
// and the page view (paging, zoom, scroll). Every local change goes out as
// a whiteboard message; changes of others arrive through the message layer
// and are drawn the same way. The board owns its draw units.
//
// Finished units of the shown page are kept painted in one cached layer
// over the page image; a move of the pen repaints only the cached layer and
// the stroke in progress, and repaints are coalesced. The document is
// opened and its pages rendered, and the layer is repainted, on threads of
// their own (PageRenderer, LayerRenderer): the GUI thread knows the pages
// by their bounds (DocumentPages), so a page turn, zoom or resize takes
// effect at once (page index, size and place), the pixels follow when
// ready, and whatever arrives for a page no longer shown is dropped.
class WidgetWhiteBoard : public IWidget
{
    Q_OBJECT

public:
    explicit WidgetWhiteBoard(QWidget *parent = nullptr);
    ~WidgetWhiteBoard() override;

    // While the layer of a page is being painted on its thread, a page whose
    // units weigh (DrawLayer::paintWeight) at most this much is painted
    // directly (a few milliseconds, some 60 strokes); a fuller one shows its
    // units when the layer comes. The same holds for a unit added on top of
    // a finished layer.
    static constexpr int directWeight = 3200;
    // What others may put on the board: a received unit beyond these is
    // dropped. A page at its bound is painted in a few seconds on the
    // layer's thread.
    static constexpr int maxPageUnits = 2000;
    static constexpr qint64 maxPageWeight = 500000;
    static constexpr qint64 maxBoardWeight = 5000000;

    virtual void setClassInfo(UserList *roster, const QString &classId);
    virtual void setPenEnabled(bool enable);

    void setMaterialInfo(const QString &materialId, const QString &pdfUrl, const QString &third);
    void closeMaterial();
    void setHelpdeskVisible(bool visible);

    // Page view.
    bool gotoPage(int pageIdx, float newScale);
    bool gotoPage(int pageIdx);
    // Opens a courseware on the render thread (the document is read there
    // only); signal_documentOpened tells how it went. The document shown
    // before is closed at once.
    void openPdfInBackground(const QString &filePath);
    // The same, waiting for the document to open (tests and tools): true
    // when it is open on return.
    bool openPdf(const QString &filePath);
    float fitScale() const;

    // Courseware download.
    void downloadPdf();
    void downloadPdf(const QString &url);
    bool isAlreadyDownloaded(QString &filePath) const;
    QString getProxyUrl(const QString &url) const;
    void proxyDownloadPdf();

    void sendTurnToPage(int page);

    // Draw units by 0-based page.
    void addDrawUnit(int page, DrawLayer *unit);
    void clearPageDrawUnits(int page);
    void removeUserDrawUnits(const QString &uid, int page);
    void clearAllDrawUnits();

    // For the tool bars, tests and the tool program.
    int currentPageIndex() const { return curPageIdx; }
    int pageCount() const;
    float currentScale() const { return scale; }
    QPoint currentPageOrigin() const { return pageOrigin; }
    // The size of the shown page's image at the shown zoom, known before
    // its pixels are rendered.
    QSize pageImageSize() const { return pageSize; }
    const QMap<int, QVector<DrawLayer *>> &drawUnits() const { return drawUnitsByPage; }
    int unitCount(int page) const;
    bool isPenOn() const { return penOn; }
    bool isTextOn() const { return textOn; }
    TextInputBox *openTextBox() const { return textBox; }
    bool isDocumentOpen() const { return !pages.isEmpty(); }
    QColor getPenColor() const { return penColor; }
    LoadingWidget *loadingPanel() const { return loading; }
    int getDownloadTimes() const { return downloadTimes; }
    bool isUsingProxy() const { return bUseProxy; }
    // The page image of the shown page with every finished unit on it,
    // as the board paints it once rendering is done.
    QImage renderedPage();

    // Whole-board paint of the shown page the plain way, every unit with
    // its own painter and nothing cached; the cached paint must give the
    // same pixels. Both first finish, on the calling thread, whatever the
    // render threads still owe. For the benchmark and the tests.
    void paintUncached(QPaintDevice *device);
    void paintCached(QPaintDevice *device);
    // True once the shown page's pixels and its layer are there.
    bool isRenderingDone() const;

    // Pages rendered ahead of a turn: the next and the previous page of the
    // shown one, at its zoom. Off in tests that count renders.
    void setPrerenderEnabled(bool enabled) { prerenderEnabled = enabled; }
    bool hasPrerenderedPage(int pageIdx) const;

    // The tool bars' pen, eraser and text buttons. Plain members, not
    // slots: the buttons live on the tool bars, which connect them
    // explicitly, and as slots their on_<child>_<signal> names would make
    // the form's connect-by-name look for children the board lacks.
    void on_btnPen_clicked();
    virtual void on_btnErase_clicked();
    void on_btnText_clicked();

signals:
    // A courseware opened in the background is open (or could not be).
    void signal_documentOpened(bool opened);
    void returnPageNum(int pageNum, int totalNum);
    // The shown page's pixels and layer are on the board.
    void signal_renderingDone();
    void signal_reEnterClass();
    void signal_setClickedTextBtn(bool bChecked);
    void signal_setClickedPenBtn(bool bChecked);
    void signal_setEnablePenBtn(bool bEnable);
    void signal_setEnableTextBtn(bool bEnable);

public slots:
    void mouseIn() override;
    void mouseOut() override;

    void slot_keyPressEvent(QKeyEvent *event);
    virtual void on_btnPrePage_clicked();
    virtual void on_btnNextPage_clicked();
    void on_btnZoomIn_clicked();
    void on_btnZoomOut_clicked();
    void on_btnZoomReset_clicked();
    void setColor(QColor color);
    void showPageNum(int pageNum, int totalNum);
    void slot_downloadProgress(double percent, qlonglong bytesReceived, qlonglong bytesTotal);
    void slot_onSuccess(QString filePath);
    void slot_onFailure(int errorCode);
    void slot_onStart();
    void slot_onFinish();
    void slot_reDownload();
    void slot_checkDownloadding();
    void sendDrawMsg(DrawUnitData data);
    void sendInputTextMsg(WBTextData data);
    void sendErasureMsg();
    void sendErasureMsg(ErasureData data);
    void sendTurnToPageMsg(TurnToPageData data);
    virtual void slot_receiveDrawMsg(ImMsgInfo info, DrawUnitData data);
    virtual void slot_receiveWBTextMsg(ImMsgInfo info, WBTextData data);
    void slot_receiveErasureMsg(ImMsgInfo info, ErasureData data);
    void slot_receiveTurnToPageMsg(ImMsgInfo info, TurnToPageData data);
    void on_horizontalScrollBar_sliderMoved(int position);
    void on_verticalScrollBar_sliderMoved(int position);
    void on_pushButtonUpdateClass_clicked();
    virtual void on_btnHelpdesk_clicked();

protected:
    void mousePressEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void wheelEvent(QWheelEvent *event) override;
    void paintEvent(QPaintEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;

    // The signed-in user's and the teacher's uid from the roster; empty
    // while the board has no roster.
    QString currentUid() const;
    QString teacherUid() const;

    void sendDrawUnit(DrawUnit *unit, int pageIdx, int maxPoints);
    WBTextData getWBTextData(const TextUnit &unit, int pageIdx) const;
    // Stores a received unit under page and repaints when it is shown.
    void storeReceivedUnit(const ImMsgInfo &info, DrawLayer *unit, int page);
    // True for a 0-based page a received message may name: one of the open
    // document, or any valid page while none is open.
    bool isReceivedPage(int page) const;
    // A received stroke or text was stored under page.
    virtual void unitReceived(const ImMsgInfo &info, int page);
    // Repaints when page (0-based) is shown, after its units changed.
    void pageUnitsChanged(int page);
    // Deletes units no longer on the board.
    void deleteUnits(const QVector<DrawLayer *> &units);

    UserList *roster = nullptr;
    QString classId;
    int curPageIdx = 0;
    float scale = 100;

private:
    enum class Transfer { Plain, Https, Proxy };
    // Where a document opened in the background came from.
    enum class OpenedFrom { Caller, Cache, Download };

    void setPenCursor();
    void finishStroke(const QPoint &pagePoint);
    void startTextInput(int x, int y);
    void finishTextInput();
    TextUnit *getTextUnit(TextInputBox *box);
    // Page pixels of a widget position, clamped to the page; inside tells
    // whether the unclamped position lies on the page.
    QPoint toPagePoint(const QPoint &widgetPos, bool *inside = nullptr) const;
    bool hasPage() const;

    // Closes the document and forgets its pages; the units stay.
    void dropDocument();
    void openInBackground(const QString &filePath, OpenedFrom from);
    void documentOpened(int generation, const DocumentPages &opened);
    // Shows the first page of a document that opened with these pages;
    // false (and nothing open) when there are none or it cannot be shown.
    bool applyDocument(const QString &filePath, const DocumentPages &opened);
    void cachedDocumentOpened(bool opened, const QString &filePath);
    void downloadedDocumentOpened(bool opened, const QString &filePath);
    bool showPage(int pageIdx, float newScale, bool force);
    bool isPageImageCurrent() const;
    void acceptPageImage(int generation, int page, float pageScale, const QImage &image);
    void placePage();
    void schedulePrerender();
    void forgetPrerendered();
    float fitScaleOf(int pageIdx) const;

    void invalidateLayer();
    // Paints the units added on top of the current layer since the last
    // paint onto it.
    void putUnitsOnLayer();
    // A page with units on it is painted through the layer.
    bool needsLayer() const;
    // True when the layer is current; otherwise asks the layer thread for
    // it (once per change) and returns false.
    bool ensureLayer();
    void acceptLayer(quint64 key, const QImage &layer);
    // Renders and paints on this thread what the render threads still owe.
    void finishPageImage();
    void finishRendering();
    void announceIfDone();
    // The shown page and units as the layer shows them; withUnits false
    // leaves the units out.
    BoardScene scene(bool withUnits) const;
    void paintBoard(QPaintDevice *device, bool cached);
    void scrollPage(Qt::Orientation orientation, int position);

    void startTransfer(const QString &url);
    void connectHolder(NetWorkDownloadReplyHolder *holder);
    void updateDownloadProgressText(double percent);
    void failDownload(const QString &reason);
    void dropHolder();

    // The open document's pages; empty while none is open.
    DocumentPages pages;
    // The document being opened in the background, and for what.
    bool opening = false;
    QString openingPath;
    OpenedFrom openingFrom = OpenedFrom::Caller;
    // The latest pixels of the shown page; of another zoom (drawn scaled)
    // or another page (not drawn) until the rendered ones come.
    QImage pageImage;
    int imagePage = -1;
    float imageScale = 0;
    QSize pageSize;
    QPoint pageOrigin;
    QString materialId;
    QString pdfUrl;
    QString materialThird;
    QString downloadUrl;
    QPointer<NetWorkDownloadReplyHolder> downloadHolder;
    int downloadTimes = 0;
    bool bUseProxy = false;
    QTimer downloadWatchdog;
    qint64 lastProgressTime = 0;
    qint64 lastBytesReceived = 0;
    QColor penColor;
    bool mouseDown = false;
    bool penOn = false;
    QMap<int, QVector<DrawLayer *>> drawUnitsByPage;
    // The paint weight of every unit on the board.
    qint64 boardWeight = 0;
    DrawCurveUnit *strokeInProgress = nullptr;
    int strokePage = 0;
    QPoint lastPoint;
    bool textOn = false;
    bool textBoxOpen = false;
    TextInputBox *textBox = nullptr;
    int textBoxPage = 0;
    int textSize = 14;
    LoadingWidget *loading = nullptr;
    Ui::WidgetWhiteBoard *ui;

    // A document opened since the page image was rendered: the next page
    // view renders whatever index and zoom it had.
    bool documentChanged = false;
    // The attempts of the current download: plain url, https form, proxy.
    Transfer transfer = Transfer::Plain;

    PageRenderer pageRenderer;
    LayerRenderer layerRenderer;
    QImage unitsLayer;
    // The layer wanted (bumped by every change that is not one more unit
    // on top), the one unitsLayer shows and the one asked for, with the
    // count of units that request held.
    quint64 layerKey = 1;
    quint64 builtKey = 0;
    quint64 requestedKey = 0;
    int requestedUnits = 0;
    // unitsLayer is right but for units added since: it is shown until
    // the layer with them comes.
    bool layerLacksUnits = false;
    // Units of the shown page that go on top of unitsLayer with the next
    // paint (light ones, painted on this thread).
    QVector<DrawLayer *> unitsForLayer;
    bool doneAnnounced = false;
    QMap<int, QImage> prerendered;
    float prerenderedScale = 0;
    bool prerenderEnabled = true;
};

#endif // WIDGETWHITEBOARD_H
