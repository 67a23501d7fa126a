#include "widgetwhiteboard.h"
#include "ui_widgetwhiteboard.h"

#include "biz/whiteboard/drawunit.h"
#include "biz/whiteboard/whiteboardmsgutil.h"
#include "buildconstants.h"
#include "mgr/appcontext.h"
#include "mgr/http/networkdownloadreplyholder.h"
#include "mgr/message/sendandreceivemsg.h"
#include "mgr/signalqueuemgr.h"
#include "mgr/singleton.h"
#include "rolepolicy.h"
#include "utility/actionlog.h"
#include "utility/appdirs.h"
#include "utility/downloadutil.h"
#include "utility/durations.h"
#include "utility/stringutility.h"
#include "utility/timeutility.h"
#include "utility/translatelanguage.h"
#include "utility/userinfo.h"
#include "utility/widget/loadingwidget.h"
#include "widget/textinputbox.h"

#include <QDebug>
#include <QFile>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QScrollBar>
#include <QWheelEvent>

#include <cmath>

namespace {

const QColor kBoardColor(70, 68, 68);
const int kPenWidth = 3;
const int kStrokeChunk = 50;
const int kMoveThreshold = 3;
const int kWatchdogMs = 1000;
const int kDirectWeight = WidgetWhiteBoard::directWeight;

qint64 weightOf(const QVector<DrawLayer *> &units, int from = 0)
{
    qint64 weight = 0;
    for (int i = from; i < units.size(); ++i)
        weight += units.at(i)->paintWeight();
    return weight;
}

QString shortNumber(double value)
{
    return QString::number(value, 'g', 6);
}

} // namespace

WidgetWhiteBoard::WidgetWhiteBoard(QWidget *parent)
    : IWidget(parent)
    , penColor(QColor::fromRgba(0xffff0000))
    , ui(new Ui::WidgetWhiteBoard)
{
    ui->setupUi(this);
    // Every paint covers the whole board (its colour, the page, the layer):
    // nothing under it needs filling first.
    setAttribute(Qt::WA_OpaquePaintEvent);
    setMouseTracking(false);
    ui->horizontalScrollBar->hide();
    ui->verticalScrollBar->hide();
    ui->pushButtonUpdateClass->hide();
    connect(this, &WidgetWhiteBoard::returnPageNum, this, &WidgetWhiteBoard::showPageNum);

    SendAndReceiveMsg *messages = SendAndReceiveMsg::instance();
    connect(messages, &SendAndReceiveMsg::signal_receiveDrawMsg, this, &WidgetWhiteBoard::slot_receiveDrawMsg);
    connect(messages, &SendAndReceiveMsg::signal_receiveWBTextMsg, this, &WidgetWhiteBoard::slot_receiveWBTextMsg);
    connect(messages, &SendAndReceiveMsg::signal_receiveErasureMsg, this, &WidgetWhiteBoard::slot_receiveErasureMsg);
    connect(messages, &SendAndReceiveMsg::signal_receiveTurnToPageMsg, this,
            &WidgetWhiteBoard::slot_receiveTurnToPageMsg);
    connect(SignalQueueMgr::instance(), &SignalQueueMgr::signal_keyEvent, this, &WidgetWhiteBoard::slot_keyPressEvent);

    loading = new LoadingWidget(ui->layoutLoading, ui->widgetLoading);
    loading->playGif(QStringLiteral(":/image/class/classLoading_greyBG.gif"));
    connect(loading, &LoadingWidget::signal_reload, this, &WidgetWhiteBoard::slot_reDownload);

    ui->btnHelpdesk->hide();
    downloadWatchdog.setInterval(Durations::ms(kWatchdogMs));
    connect(&downloadWatchdog, &QTimer::timeout, this, &WidgetWhiteBoard::slot_checkDownloadding);
    if (RolePolicy::current().boardShowsClassCountdown)
        ui->widget_timeProgress->setWhiteBoard(this);
    else
        ui->widget_timeProgress->hide();

    connect(&pageRenderer, &PageRenderer::documentOpened, this, &WidgetWhiteBoard::documentOpened);
    connect(&pageRenderer, &PageRenderer::pageRendered, this, &WidgetWhiteBoard::acceptPageImage);
    connect(&layerRenderer, &LayerRenderer::layerBuilt, this, &WidgetWhiteBoard::acceptLayer);
}

WidgetWhiteBoard::~WidgetWhiteBoard()
{
    dropHolder();
    delete strokeInProgress;
    strokeInProgress = nullptr;
    clearAllDrawUnits();
    delete ui;
}

// ---------------------------------------------------------------- class

void WidgetWhiteBoard::setClassInfo(UserList *roster, const QString &classId)
{
    this->roster = roster;
    this->classId = classId;
}

void WidgetWhiteBoard::setMaterialInfo(const QString &materialId, const QString &pdfUrl, const QString &third)
{
    this->materialId = materialId;
    this->pdfUrl = pdfUrl;
    materialThird = third;
}

void WidgetWhiteBoard::closeMaterial()
{
    dropDocument();
    clearAllDrawUnits();
}

void WidgetWhiteBoard::dropDocument()
{
    pages = DocumentPages();
    opening = false;
    pageRenderer.close();
    pageImage = QImage();
    imagePage = -1;
    pageSize = QSize();
    forgetPrerendered();
    invalidateLayer();
    update();
}

void WidgetWhiteBoard::setHelpdeskVisible(bool visible)
{
    ui->btnHelpdesk->setVisible(visible);
}

QString WidgetWhiteBoard::currentUid() const
{
    return roster ? roster->getCurUser().uid : QString();
}

QString WidgetWhiteBoard::teacherUid() const
{
    return roster ? roster->getTeacher().uid : QString();
}

// ---------------------------------------------------------------- units

void WidgetWhiteBoard::addDrawUnit(int page, DrawLayer *unit)
{
    if (!unit)
        return;
    drawUnitsByPage[page].append(unit);
    boardWeight += unit->paintWeight();
    // A unit added to the shown page goes on top of the cached layer; one
    // that comes while the layer is being painted goes on when it comes.
    if (page != curPageIdx || builtKey != layerKey || unitsLayer.isNull() || !hasPage())
        return;
    if (unit->paintWeight() <= kDirectWeight) {
        // Put on the layer by the next paint: the message that brought it
        // is done without waiting for pixels, and the units of one frame
        // cost one repaint.
        unitsForLayer.append(unit);
        return;
    }
    // Too much for the GUI thread: the layer there is shown until the one
    // with this unit comes.
    putUnitsOnLayer();
    invalidateLayer();
    layerLacksUnits = true;
    ensureLayer();
}

void WidgetWhiteBoard::deleteUnits(const QVector<DrawLayer *> &units)
{
    for (DrawLayer *unit : units)
        unitsForLayer.removeAll(unit);
    boardWeight -= weightOf(units);
    qDeleteAll(units);
}

void WidgetWhiteBoard::clearPageDrawUnits(int page)
{
    auto it = drawUnitsByPage.find(page);
    if (it == drawUnitsByPage.end())
        return;
    deleteUnits(*it);
    drawUnitsByPage.erase(it);
    if (page == curPageIdx)
        invalidateLayer();
}

void WidgetWhiteBoard::removeUserDrawUnits(const QString &uid, int page)
{
    auto it = drawUnitsByPage.find(page);
    if (it == drawUnitsByPage.end())
        return;
    QVector<DrawLayer *> kept;
    QVector<DrawLayer *> removed;
    for (DrawLayer *unit : qAsConst(*it))
        (unit->getOwnerUid() == uid ? removed : kept).append(unit);
    deleteUnits(removed);
    if (kept.isEmpty())
        drawUnitsByPage.erase(it);
    else
        *it = kept;
    if (page == curPageIdx)
        invalidateLayer();
}

void WidgetWhiteBoard::clearAllDrawUnits()
{
    for (const QVector<DrawLayer *> &units : qAsConst(drawUnitsByPage))
        deleteUnits(units);
    drawUnitsByPage.clear();
    invalidateLayer();
}

int WidgetWhiteBoard::unitCount(int page) const
{
    return drawUnitsByPage.value(page).size();
}

// ---------------------------------------------------------------- tools

void WidgetWhiteBoard::setPenEnabled(bool enable)
{
    if (penOn) {
        setCursor(Qt::ArrowCursor);
        penOn = false;
        emit signal_setClickedPenBtn(false);
    }
    emit signal_setEnablePenBtn(enable);
}

void WidgetWhiteBoard::setPenCursor()
{
    const QPixmap pen(QStringLiteral(":/image/class/cursorPen.png"));
    setCursor(QCursor(pen, 0, pen.height()));
}

void WidgetWhiteBoard::on_btnPen_clicked()
{
    penOn = !penOn;
    if (!penOn) {
        setCursor(Qt::ArrowCursor);
        return;
    }
    textOn = false;
    finishTextInput();
    textBoxOpen = false;
    emit signal_setClickedTextBtn(false);
    setPenCursor();
}

void WidgetWhiteBoard::on_btnText_clicked()
{
    textOn = !textOn;
    if (!textOn) {
        finishTextInput();
        textBoxOpen = false;
        setCursor(Qt::ArrowCursor);
        return;
    }
    penOn = false;
    emit signal_setClickedPenBtn(false);
    setCursor(Qt::IBeamCursor);
}

void WidgetWhiteBoard::on_btnErase_clicked()
{
    sendErasureMsg();
}

void WidgetWhiteBoard::setColor(QColor color)
{
    penColor = color;
}

void WidgetWhiteBoard::mouseIn()
{
    if (penOn)
        setPenCursor();
    if (textOn)
        setCursor(Qt::IBeamCursor);
}

void WidgetWhiteBoard::mouseOut()
{
    setCursor(Qt::ArrowCursor);
}

void WidgetWhiteBoard::on_pushButtonUpdateClass_clicked()
{
    qInfo("<reEnterClassroom> clicked refresh classroom btn.");
    emit signal_reEnterClass();
}

void WidgetWhiteBoard::on_btnHelpdesk_clicked()
{
}

bool WidgetWhiteBoard::hasPage() const
{
    return !pages.isEmpty() && !pageSize.isEmpty();
}

QPoint WidgetWhiteBoard::toPagePoint(const QPoint &widgetPos, bool *inside) const
{
    const int x = widgetPos.x() - pageOrigin.x();
    const int y = widgetPos.y() - pageOrigin.y();
    if (inside)
        *inside = x >= 0 && x <= pageSize.width() && y >= 0 && y <= pageSize.height();
    return QPoint(qBound(0, x, pageSize.width()), qBound(0, y, pageSize.height()));
}

void WidgetWhiteBoard::mousePressEvent(QMouseEvent *event)
{
    if (event->button() != Qt::LeftButton || !penOn)
        return;
    // No page, no drawing: a stroke needs the page's size.
    if (!hasPage())
        return;
    bool inside = false;
    const QPoint point = toPagePoint(event->pos(), &inside);
    if (inside) {
        delete strokeInProgress;
        strokeInProgress = new DrawCurveUnit(kPenWidth, penColor, currentUid());
        strokeInProgress->begin(point.x(), point.y(), pageSize.width(), pageSize.height());
        strokePage = curPageIdx;
        lastPoint = point;
    }
    mouseDown = true;
}

void WidgetWhiteBoard::mouseMoveEvent(QMouseEvent *event)
{
    if (!penOn || !mouseDown || !strokeInProgress || !hasPage())
        return;
    const QPoint point = toPagePoint(event->pos());
    if (qAbs(point.x() - lastPoint.x()) <= kMoveThreshold && qAbs(point.y() - lastPoint.y()) <= kMoveThreshold)
        return;
    strokeInProgress->addPoint(point.x(), point.y(), pageSize.width(), pageSize.height());
    lastPoint = point;
    update();
}

void WidgetWhiteBoard::mouseReleaseEvent(QMouseEvent *event)
{
    if (event->button() == Qt::RightButton) {
        if (!textOn && !penOn)
            return;
        if (textOn) {
            textOn = false;
            finishTextInput();
            textBoxOpen = false;
            emit signal_setClickedTextBtn(false);
        }
        if (penOn) {
            penOn = false;
            emit signal_setClickedPenBtn(false);
        }
        setCursor(Qt::ArrowCursor);
        return;
    }
    if (event->button() != Qt::LeftButton)
        return;

    qInfo().noquote() << QStringLiteral("mouse click: (%1, %2).").arg(event->pos().x()).arg(event->pos().y());
    if (penOn && mouseDown && strokeInProgress && hasPage())
        finishStroke(toPagePoint(event->pos()));

    if (textOn && hasPage()) {
        bool inside = false;
        toPagePoint(event->pos(), &inside);
        if (inside) {
            if (textBoxOpen)
                finishTextInput();
            else
                startTextInput(event->pos().x(), event->pos().y());
            textBoxOpen = !textBoxOpen;
        }
    }
    mouseDown = false;
}

void WidgetWhiteBoard::finishStroke(const QPoint &pagePoint)
{
    DrawCurveUnit *stroke = strokeInProgress;
    strokeInProgress = nullptr;
    stroke->end(pagePoint.x(), pagePoint.y(), pageSize.width(), pageSize.height());
    if (stroke->isValid()) {
        // The page the stroke was started on, even when the page changed
        // under the pen. Sent first: the others wait for nothing here.
        sendDrawUnit(stroke, strokePage, kStrokeChunk);
        addDrawUnit(strokePage, stroke);
    } else {
        delete stroke;
    }
    update();
}

void WidgetWhiteBoard::startTextInput(int x, int y)
{
    const int pointSize = int(scale / 100 * textSize);
    textBox = new TextInputBox(this, penColor, pointSize, QGuiApplication::font().family(), QFont::StyleNormal,
                               QFont::Bold);
    textBoxPage = curPageIdx;
    const int top = y - textBox->getLineHeight() / 2;
    qInfo().noquote() << QStringLiteral("pInputBox location: (%1, %2)  fontSize:%3").arg(x - 4).arg(top).arg(pointSize);
    textBox->setMaximumWidth(qMax(1, pageSize.width() + pageOrigin.x() - x + 4));
    textBox->move(x - 4, top);
    textBox->show();
}

void WidgetWhiteBoard::finishTextInput()
{
    if (!textBox)
        return;
    TextInputBox *box = textBox;
    textBox = nullptr;
    if (!box->getText().trimmed().isEmpty() && hasPage()) {
        TextUnit *unit = getTextUnit(box);
        addDrawUnit(textBoxPage, unit);
        sendInputTextMsg(getWBTextData(*unit, textBoxPage));
        update();
    }
    delete box;
}

TextUnit *WidgetWhiteBoard::getTextUnit(TextInputBox *box)
{
    auto *unit = new TextUnit(penColor, currentUid(), box->getFontFamily());
    unit->setFontSize(int(textSize * scale / 100), pageSize.height());
    unit->setText(box->getText());
    unit->setFontWeight(box->getFontWeight());
    unit->setFontStyle(box->getFontStyle());
    const QRect edit = box->getEditRect();
    qInfo().noquote() << QStringLiteral("EditRect:([x]%1, [y]%2, [w]%3, [h]%4)")
                             .arg(edit.left())
                             .arg(edit.top())
                             .arg(edit.right() - edit.left() + 1)
                             .arg(edit.bottom() - edit.top() + 1);
    unit->setRect(edit.translated(-pageOrigin), pageSize.width(), pageSize.height());
    return unit;
}

// ---------------------------------------------------------------- painting

void WidgetWhiteBoard::invalidateLayer()
{
    ++layerKey;
    doneAnnounced = false;
    layerLacksUnits = false;
    unitsForLayer.clear();
}

void WidgetWhiteBoard::putUnitsOnLayer()
{
    if (unitsForLayer.isEmpty())
        return;
    if (builtKey == layerKey && !unitsLayer.isNull() && hasPage()) {
        for (DrawLayer *unit : qAsConst(unitsForLayer))
            unit->paint(&unitsLayer, pageOrigin.x(), pageOrigin.y(), pageSize.width(), pageSize.height());
    }
    unitsForLayer.clear();
}

BoardScene WidgetWhiteBoard::scene(bool withUnits) const
{
    BoardScene scene;
    scene.size = size();
    scene.background = kBoardColor;
    scene.hasPage = hasPage();
    scene.pageRect = QRect(pageOrigin, pageSize);
    if (imagePage == curPageIdx)
        scene.pageImage = pageImage;
    if (withUnits && scene.hasPage)
        scene.units = drawUnitsByPage.value(curPageIdx);
    return scene;
}

bool WidgetWhiteBoard::ensureLayer()
{
    // A page without units is painted straight from its image: a layer
    // would only be one more copy of it.
    if (!needsLayer())
        return false;
    const qreal ratio = devicePixelRatioF();
    if (builtKey == layerKey) {
        if (unitsLayer.size() == size() * ratio)
            return true;
        invalidateLayer();
    }
    // A page whose pixels are on their way gets its layer with them.
    if (hasPage() && !isPageImageCurrent())
        return false;
    if (requestedKey != layerKey) {
        doneAnnounced = false;
        BoardScene wanted = scene(true);
        requestedKey = layerKey;
        requestedUnits = wanted.units.size();
        layerRenderer.build(layerKey, std::move(wanted), ratio);
    }
    return false;
}

void WidgetWhiteBoard::acceptLayer(quint64 key, const QImage &layer)
{
    if (key != layerKey) {
        layerRenderer.recycle(layer);
        return;
    }
    QImage old = std::move(unitsLayer);
    unitsLayer = layer;
    builtKey = key;
    layerRenderer.recycle(std::move(old));
    // Units that came while it was painted go on top; when many came (a
    // burst of strokes), the layer is shown as it is and the next one,
    // with all of them, is painted on its thread.
    const QVector<DrawLayer *> units = drawUnitsByPage.value(curPageIdx);
    unitsForLayer.clear();
    if (hasPage() && weightOf(units, requestedUnits) > kDirectWeight) {
        invalidateLayer();
        layerLacksUnits = true;
        ensureLayer();
    } else if (hasPage()) {
        for (int i = requestedUnits; i < units.size(); ++i)
            unitsForLayer.append(units[i]);
    }
    update();
    announceIfDone();
}

bool WidgetWhiteBoard::needsLayer() const
{
    return hasPage() && unitCount(curPageIdx) > 0;
}

bool WidgetWhiteBoard::isRenderingDone() const
{
    return (!hasPage() || isPageImageCurrent()) && (!needsLayer() || builtKey == layerKey);
}

void WidgetWhiteBoard::announceIfDone()
{
    if (doneAnnounced || !isRenderingDone())
        return;
    doneAnnounced = true;
    emit signal_renderingDone();
}

void WidgetWhiteBoard::finishPageImage()
{
    if (!hasPage() || isPageImageCurrent())
        return;
    const QImage image = pageRenderer.renderAndWait(curPageIdx, scale);
    acceptPageImage(pageRenderer.generation(), curPageIdx, scale, image);
}

void WidgetWhiteBoard::finishRendering()
{
    finishPageImage();
    if (!needsLayer())
        return;
    const qreal ratio = devicePixelRatioF();
    if (builtKey == layerKey && unitsLayer.size() == size() * ratio)
        return;
    // A new key: a layer still being painted for the old one is dropped.
    invalidateLayer();
    const BoardScene wanted = scene(true);
    unitsLayer = LayerRenderer::paintNow(wanted, ratio, std::move(unitsLayer));
    builtKey = requestedKey = layerKey;
    requestedUnits = wanted.units.size();
}

void WidgetWhiteBoard::paintBoard(QPaintDevice *device, bool cached)
{
    if (cached)
        putUnitsOnLayer();
    if (cached && (ensureLayer() || layerLacksUnits)) {
        QPainter painter(device);
        painter.drawImage(0, 0, unitsLayer);
    } else {
        // The plain way, a page without units, or the layer is still being
        // painted: a page with few units is painted directly meanwhile.
        scene(!cached || weightOf(drawUnitsByPage.value(curPageIdx)) <= kDirectWeight).paint(device);
    }
    if (!pages.isEmpty() && strokeInProgress && strokePage == curPageIdx)
        strokeInProgress->paint(device, pageOrigin.x(), pageOrigin.y(), pageSize.width(), pageSize.height());
}

void WidgetWhiteBoard::paintEvent(QPaintEvent *)
{
    paintBoard(this, true);
    announceIfDone();
}

void WidgetWhiteBoard::paintUncached(QPaintDevice *device)
{
    finishPageImage();
    paintBoard(device, false);
}

void WidgetWhiteBoard::paintCached(QPaintDevice *device)
{
    finishRendering();
    paintBoard(device, true);
}

QImage WidgetWhiteBoard::renderedPage()
{
    finishRendering();
    QImage image(size(), QImage::Format_ARGB32_Premultiplied);
    paintBoard(&image, true);
    return image.copy(QRect(pageOrigin, pageSize));
}

// ---------------------------------------------------------------- page view

int WidgetWhiteBoard::pageCount() const
{
    return pages.count();
}

float WidgetWhiteBoard::fitScaleOf(int pageIdx) const
{
    return pages.fitScale(pageIdx, size());
}

float WidgetWhiteBoard::fitScale() const
{
    return fitScaleOf(curPageIdx);
}

bool WidgetWhiteBoard::gotoPage(int pageIdx)
{
    return gotoPage(pageIdx, scale);
}

bool WidgetWhiteBoard::gotoPage(int pageIdx, float newScale)
{
    return showPage(pageIdx, newScale, false);
}

bool WidgetWhiteBoard::isPageImageCurrent() const
{
    return imagePage == curPageIdx && imageScale == scale;
}

bool WidgetWhiteBoard::showPage(int pageIdx, float newScale, bool force)
{
    if (pageIdx < 0 || pageIdx >= pages.count())
        return false;
    qInfo().noquote() << QStringLiteral("gotoPage, curPageIdx:%1, pageIdx:%2 scale:%3")
                             .arg(curPageIdx)
                             .arg(pageIdx)
                             .arg(shortNumber(newScale));
    force = force || documentChanged || pageSize.isEmpty();
    if (!force && pageIdx == curPageIdx && newScale == scale)
        return true;
    // Nothing sensible to show at a zoom of nothing (an empty view).
    if (!(newScale > 0) || !std::isfinite(newScale))
        return false;
    // The size is known at once; the pixels follow from the render thread.
    const QSize newSize = pages.imageSize(pageIdx, newScale);
    if (newSize.isEmpty())
        return false;
    // The page left stays at hand for a turn back.
    if (prerenderEnabled && !documentChanged && isPageImageCurrent() && !pageImage.isNull() && scale == newScale
        && curPageIdx != pageIdx) {
        if (prerenderedScale != newScale) {
            prerendered.clear();
            prerenderedScale = newScale;
        }
        prerendered.insert(curPageIdx, pageImage);
    }
    documentChanged = false;
    curPageIdx = pageIdx;
    scale = newScale;
    pageSize = newSize;
    if (prerenderedScale == newScale && prerendered.contains(pageIdx)) {
        pageImage = prerendered.value(pageIdx);
        imagePage = pageIdx;
        imageScale = newScale;
    } else {
        pageRenderer.request(pageIdx, newScale, PageRenderer::Shown);
    }
    placePage();
    invalidateLayer();
    update();
    emit returnPageNum(curPageIdx + 1, pages.count());
    schedulePrerender();
    return true;
}

void WidgetWhiteBoard::acceptPageImage(int generation, int page, float pageScale, const QImage &image)
{
    if (generation != pageRenderer.generation() || pages.isEmpty())
        return;
    if (page == curPageIdx && pageScale == scale) {
        if (isPageImageCurrent())
            return;
        // A page that cannot be rendered stays white; its units still show.
        if (image.isNull())
            qWarning("page %d cannot be shown at scale %g", page + 1, double(pageScale));
        pageImage = image;
        imagePage = page;
        imageScale = pageScale;
        invalidateLayer();
        update();
        ensureLayer();
        announceIfDone();
        return;
    }
    // A neighbour rendered ahead; anything else is for a page no longer
    // shown and is dropped.
    if (image.isNull() || !prerenderEnabled || pageScale != scale || qAbs(page - curPageIdx) != 1)
        return;
    if (prerenderedScale != scale) {
        prerendered.clear();
        prerenderedScale = scale;
    }
    prerendered.insert(page, image);
}

void WidgetWhiteBoard::placePage()
{
    const auto placeAxis = [](int view, int image, QScrollBar *bar, int &origin) {
        if (view < image) {
            const float ratio = bar->maximum() > 0 ? float(bar->value()) / float(bar->maximum()) : 0.f;
            if (bar->isHidden() || ratio == 0.f)
                origin = (view - image) / 2;
            else
                origin = int((view - image) * ratio);
            bar->setMaximum(image - view);
            bar->setPageStep(view);
            bar->setValue(-origin);
            bar->show();
        } else {
            origin = (view - image) / 2;
            bar->hide();
        }
    };
    int x = pageOrigin.x();
    int y = pageOrigin.y();
    placeAxis(width(), pageSize.width(), ui->horizontalScrollBar, x);
    placeAxis(height(), pageSize.height(), ui->verticalScrollBar, y);
    pageOrigin = QPoint(x, y);
}

void WidgetWhiteBoard::schedulePrerender()
{
    if (!prerenderEnabled || pages.isEmpty())
        return;
    if (prerenderedScale != scale) {
        prerendered.clear();
        prerenderedScale = scale;
    }
    // Only the neighbours of the shown page are kept.
    for (auto it = prerendered.begin(); it != prerendered.end();) {
        if (qAbs(it.key() - curPageIdx) > 1)
            it = prerendered.erase(it);
        else
            ++it;
    }
    // They wait on the render thread behind the shown page.
    const std::pair<int, PageRenderer::Lane> neighbours[] = { { curPageIdx + 1, PageRenderer::Next },
                                                              { curPageIdx - 1, PageRenderer::Previous } };
    for (const auto &neighbour : neighbours) {
        const int page = neighbour.first;
        if (page >= 0 && page < pages.count() && !prerendered.contains(page))
            pageRenderer.request(page, scale, neighbour.second);
    }
}

void WidgetWhiteBoard::forgetPrerendered()
{
    prerendered.clear();
    prerenderedScale = 0;
}

bool WidgetWhiteBoard::hasPrerenderedPage(int pageIdx) const
{
    return prerenderedScale == scale && prerendered.contains(pageIdx);
}

void WidgetWhiteBoard::openPdfInBackground(const QString &filePath)
{
    openInBackground(filePath, OpenedFrom::Caller);
}

void WidgetWhiteBoard::openInBackground(const QString &filePath, OpenedFrom from)
{
    dropDocument();
    opening = true;
    openingPath = filePath;
    openingFrom = from;
    pageRenderer.open(filePath, size());
}

bool WidgetWhiteBoard::openPdf(const QString &filePath)
{
    dropDocument();
    return applyDocument(filePath, pageRenderer.openAndWait(filePath, size()));
}

void WidgetWhiteBoard::documentOpened(int generation, const DocumentPages &opened)
{
    if (!opening || generation != pageRenderer.generation())
        return;
    opening = false;
    const QString filePath = openingPath;
    const bool shown = applyDocument(filePath, opened);
    switch (openingFrom) {
    case OpenedFrom::Cache: cachedDocumentOpened(shown, filePath); break;
    case OpenedFrom::Download: downloadedDocumentOpened(shown, filePath); break;
    case OpenedFrom::Caller: break;
    }
    emit signal_documentOpened(shown);
}

bool WidgetWhiteBoard::applyDocument(const QString &filePath, const DocumentPages &opened)
{
    // A file that is no PDF, or whose first page cannot be read (a broken
    // or cyclic page tree), would only ever show grey: it does not count
    // as opened.
    if (opened.isEmpty()) {
        qCritical().noquote() << QStringLiteral("<pdf> %1 cannot be opened or its first page cannot be read").arg(filePath);
        dropDocument();
        return false;
    }
    pages = opened;
    forgetPrerendered();
    // Units received for pages this document does not have are dropped.
    for (auto it = drawUnitsByPage.begin(); it != drawUnitsByPage.end();) {
        if (isReceivedPage(it.key())) {
            ++it;
            continue;
        }
        deleteUnits(*it);
        it = drawUnitsByPage.erase(it);
    }
    documentChanged = true;
    curPageIdx = 0;
    pageImage = QImage();
    imagePage = -1;
    pageSize = QSize();
    invalidateLayer();
    // A view of no size shows nothing yet; the first resize renders.
    if (width() <= 0 || height() <= 0)
        return true;
    if (showPage(0, fitScaleOf(0), true))
        return true;
    qCritical().noquote() << QStringLiteral("<pdf> first page of %1 cannot be shown").arg(filePath);
    dropDocument();
    return false;
}

void WidgetWhiteBoard::showPageNum(int pageNum, int totalNum)
{
    ui->btnPageNum->setText(QStringLiteral("%1/%2").arg(pageNum, 2, 10, QLatin1Char('0')).arg(totalNum));
}

void WidgetWhiteBoard::on_btnZoomIn_clicked()
{
    const float fit = fitScale();
    float newScale = scale + 10;
    if (newScale > 2 * fit)
        newScale = 2 * fit;
    gotoPage(curPageIdx, newScale);
    ActionLog::instance()->ClickInfo(QStringLiteral("click_doc_zoom_in"),
                                     QStringLiteral("{rate:%1}").arg(shortNumber(newScale)));
}

void WidgetWhiteBoard::on_btnZoomOut_clicked()
{
    const float fit = fitScale();
    float newScale = scale - 10;
    if (newScale < 0.5f * fit)
        newScale = 0.5f * fit;
    ActionLog::instance()->ClickInfo(QStringLiteral("click_doc_zoom_out"),
                                     QStringLiteral("{rate:%1}").arg(shortNumber(newScale)));
    gotoPage(curPageIdx, newScale);
}

void WidgetWhiteBoard::on_btnZoomReset_clicked()
{
    const float fit = fitScale();
    ActionLog::instance()->ClickInfo(QStringLiteral("click_doc_zoom_reset"),
                                     QStringLiteral("{rate:%1}").arg(shortNumber(fit)));
    gotoPage(curPageIdx, fit);
}

void WidgetWhiteBoard::on_btnNextPage_clicked()
{
    gotoPage(curPageIdx + 1, scale);
    ActionLog::instance()->ClickInfo(QStringLiteral("click_next_page"), QStringLiteral("page:%1").arg(curPageIdx + 1));
    qInfo("clicked next page, pageIdx:%d", curPageIdx + 1);
}

void WidgetWhiteBoard::on_btnPrePage_clicked()
{
    gotoPage(curPageIdx - 1, scale);
    ActionLog::instance()->ClickInfo(QStringLiteral("click_pre_page"), QStringLiteral("{page:%1}").arg(curPageIdx - 1));
    qInfo("clicked pre page, pageIdx:%d", curPageIdx - 1);
}

void WidgetWhiteBoard::resizeEvent(QResizeEvent *event)
{
    IWidget::resizeEvent(event);
    invalidateLayer();
    if (pages.isEmpty())
        return;
    // A document opened while the view had no size is rendered now.
    showPage(curPageIdx, fitScale(), pageSize.isEmpty() || documentChanged);
    if (!pageSize.isEmpty())
        placePage();
}

void WidgetWhiteBoard::scrollPage(Qt::Orientation orientation, int position)
{
    if (orientation == Qt::Horizontal)
        pageOrigin.setX(-position);
    else
        pageOrigin.setY(-position);
    invalidateLayer();
    update();
}

void WidgetWhiteBoard::on_horizontalScrollBar_sliderMoved(int position)
{
    scrollPage(Qt::Horizontal, position);
    qDebug() << "pos:" << position;
}

void WidgetWhiteBoard::on_verticalScrollBar_sliderMoved(int position)
{
    scrollPage(Qt::Vertical, position);
    qDebug() << "pos:" << position;
}

void WidgetWhiteBoard::wheelEvent(QWheelEvent *event)
{
    const QPoint delta = event->angleDelta();
    const bool horizontal = delta.x() != 0 && delta.y() == 0;
    QScrollBar *bar = horizontal ? ui->horizontalScrollBar : ui->verticalScrollBar;
    if (bar->isHidden())
        return;
    const int steps = (horizontal ? delta.x() : delta.y()) / 120;
    const int value = qBound(0, bar->value() - steps * 120, bar->maximum());
    bar->setValue(value);
    scrollPage(horizontal ? Qt::Horizontal : Qt::Vertical, value);
}

void WidgetWhiteBoard::slot_keyPressEvent(QKeyEvent *event)
{
    if (!event)
        return;
    switch (event->key()) {
    case Qt::Key_Left: on_btnPrePage_clicked(); break;
    case Qt::Key_Right: on_btnNextPage_clicked(); break;
    case Qt::Key_Up: on_btnZoomIn_clicked(); break;
    case Qt::Key_Down: on_btnZoomOut_clicked(); break;
    default: break;
    }
}

// ---------------------------------------------------------------- messages

void WidgetWhiteBoard::sendDrawUnit(DrawUnit *unit, int pageIdx, int maxPoints)
{
    if (!unit)
        return;
    const QVector<DrawUnitData> messages =
        WhiteboardMsgUtil::splitStroke(*unit, pageIdx, classId, materialId, maxPoints);
    for (const DrawUnitData &data : messages)
        sendDrawMsg(data);
}

WBTextData WidgetWhiteBoard::getWBTextData(const TextUnit &unit, int pageIdx) const
{
    return WhiteboardMsgUtil::getWBTextData(unit, pageIdx, classId);
}

void WidgetWhiteBoard::sendDrawMsg(DrawUnitData data)
{
    SendAndReceiveMsg::instance()->sendMsg(data, IM_WBDraw, currentUid());
}

void WidgetWhiteBoard::sendInputTextMsg(WBTextData data)
{
    SendAndReceiveMsg::instance()->sendMsg(data, IM_WBText, currentUid());
}

void WidgetWhiteBoard::sendErasureMsg()
{
    ErasureData data;
    data.classid = classId;
    data.mtlid = materialId;
    data.toPage = curPageIdx + 1;
    sendErasureMsg(data);
}

void WidgetWhiteBoard::sendErasureMsg(ErasureData data)
{
    SendAndReceiveMsg::instance()->sendMsg(data, IM_WBErasure, currentUid());
}

void WidgetWhiteBoard::sendTurnToPage(int page)
{
    TurnToPageData data;
    data.classid = classId;
    data.mtlid = materialId;
    data.prePage = 0;
    data.toPage = page;
    sendTurnToPageMsg(data);
}

void WidgetWhiteBoard::sendTurnToPageMsg(TurnToPageData data)
{
    SendAndReceiveMsg::instance()->sendMsg(data, IM_WBPage, currentUid());
}

void WidgetWhiteBoard::pageUnitsChanged(int page)
{
    if (page == curPageIdx)
        update();
}

void WidgetWhiteBoard::storeReceivedUnit(const ImMsgInfo &info, DrawLayer *unit, int page)
{
    if (!unit)
        return;
    if (!isReceivedPage(page)) {
        qWarning("received draw unit outside the document ignored");
        delete unit;
        return;
    }
    const QVector<DrawLayer *> units = drawUnitsByPage.value(page);
    const qint64 weight = unit->paintWeight();
    if (units.size() >= maxPageUnits || weightOf(units) + weight > maxPageWeight || boardWeight + weight > maxBoardWeight) {
        qWarning("received draw unit dropped: page %d holds %d units, the board weighs %lld", page + 1,
                 int(units.size()), boardWeight);
        delete unit;
        return;
    }
    addDrawUnit(page, unit);
    pageUnitsChanged(page);
    unitReceived(info, page);
}

bool WidgetWhiteBoard::isReceivedPage(int page) const
{
    return page >= 0 && (pages.isEmpty() || page < pages.count());
}

void WidgetWhiteBoard::unitReceived(const ImMsgInfo &, int)
{
}

void WidgetWhiteBoard::slot_receiveDrawMsg(ImMsgInfo info, DrawUnitData data)
{
    int page = 0;
    DrawLayer *unit = WhiteboardMsgUtil::createDrawUnitFromJson(info, data, page);
    storeReceivedUnit(info, unit, page);
    qInfo().noquote() << QStringLiteral("pageNum:%1 uid:%2 classId:%3").arg(data.atPage).arg(info.uid, data.classid);
}

void WidgetWhiteBoard::slot_receiveWBTextMsg(ImMsgInfo info, WBTextData data)
{
    int page = 0;
    DrawLayer *unit = WhiteboardMsgUtil::createTextUnitFromJson(info, data, page);
    storeReceivedUnit(info, unit, page);
    qInfo().noquote() << QStringLiteral("pageNum:%1 uid:%2 classId:%3").arg(data.page).arg(info.uid, data.classid);
}

void WidgetWhiteBoard::slot_receiveErasureMsg(ImMsgInfo info, ErasureData data)
{
    const int page = WhiteboardMsgUtil::pageIndexFromWire(data.toPage);
    if (!isReceivedPage(page)) {
        qWarning("received erasure of page %d outside the document ignored", data.toPage);
        return;
    }
    // The teacher's erasure clears the page, anybody else's their own units.
    if (!info.uid.isEmpty() && info.uid == teacherUid())
        clearPageDrawUnits(page);
    else
        removeUserDrawUnits(info.uid, page);
    if (page == curPageIdx)
        update();
    qInfo().noquote() << QStringLiteral("page:%1  classId:%2").arg(data.toPage).arg(data.classid);
}

void WidgetWhiteBoard::slot_receiveTurnToPageMsg(ImMsgInfo info, TurnToPageData data)
{
    const QString teacher = teacherUid();
    if (teacher.isEmpty() || info.uid != teacher)
        return;
    gotoPage(WhiteboardMsgUtil::pageIndexFromWire(data.toPage));
}

// ---------------------------------------------------------------- download

bool WidgetWhiteBoard::isAlreadyDownloaded(QString &filePath) const
{
    const QString folder = getResourceDownloadPath();
    QString https = pdfUrl;
    https.replace(QLatin1String("http://"), QLatin1String("https://"));
    for (const QString &url : { pdfUrl, https, getProxyUrl(pdfUrl) }) {
        if (url.trimmed().isEmpty())
            continue;
        if (NetWorkDownloadReplyHolder::isFileAlreadyDownloaded(url, folder)) {
            qInfo().noquote() << QStringLiteral("<MaterialDownload> already downloaded file of url:%1").arg(url);
            filePath = NetWorkDownloadReplyHolder::getFilePath(url, folder);
            return true;
        }
    }
    return false;
}

void WidgetWhiteBoard::downloadPdf()
{
    QString filePath;
    if (isAlreadyDownloaded(filePath)) {
        qInfo().noquote() << QStringLiteral("<MaterialDownload> already downloaded file, fileName:%1").arg(filePath);
        openInBackground(filePath, OpenedFrom::Cache);
        return;
    }
    transfer = Transfer::Plain;
    downloadPdf(pdfUrl);
}

void WidgetWhiteBoard::cachedDocumentOpened(bool opened, const QString &filePath)
{
    if (opened) {
        loading->setLoadingState(LoadingWidget::StateHidden);
        return;
    }
    // A cached file that does not open is damaged: fetch it again.
    qCritical().noquote() << QStringLiteral("<MaterialDownload> cached file does not open, removed:%1").arg(filePath);
    QFile::remove(filePath);
    transfer = Transfer::Plain;
    downloadPdf(pdfUrl);
}

void WidgetWhiteBoard::downloadPdf(const QString &url)
{
    if (url.trimmed().isEmpty()) {
        qWarning("pdf url is empty.");
        ActionLog::instance()->ErrorInfo(QStringLiteral("<MaterialDownload> class_download_pdf_fail"),
                                         QStringLiteral("url:empty"));
        loading->setLoadingState(LoadingWidget::StateNoData);
        return;
    }
    downloadUrl = url;
    ActionLog::instance()->NormalInfo(QStringLiteral("class_download_pdf_start"), QStringLiteral("{url:%1}").arg(url));
    qInfo().noquote() << QStringLiteral("<MaterialDownload> downloadPdf url:%1").arg(url);
    downloadWatchdog.start(Durations::ms(kWatchdogMs));
    lastProgressTime = TimeUtility::currentSecsSinceEpoch();
    startTransfer(url);
}

void WidgetWhiteBoard::startTransfer(const QString &url)
{
    dropHolder();
    downloadHolder = DownloadUtil::downloadPdf(this, url);
    connectHolder(downloadHolder);
    ++downloadTimes;
}

void WidgetWhiteBoard::connectHolder(NetWorkDownloadReplyHolder *holder)
{
    if (!holder)
        return;
    // Only the current transfer is listened to: a failed transfer that
    // finishes after the next one started must not change its state.
    const auto current = [this, holder] { return holder == downloadHolder.data(); };
    connect(holder, &NetWorkDownloadReplyHolder::signal_onStart, this, [this, current] {
        if (current())
            slot_onStart();
    });
    connect(holder, &NetWorkDownloadReplyHolder::signal_downloadProgress, this,
            [this, current](double percent, qlonglong received, qlonglong total) {
                if (current())
                    slot_downloadProgress(percent, received, total);
            });
    connect(holder, &NetWorkDownloadReplyHolder::signal_onSuccess, this, [this, current](QString filePath) {
        if (current())
            slot_onSuccess(filePath);
    });
    connect(holder, &NetWorkDownloadReplyHolder::signal_onFailure, this, [this, current](int errorCode) {
        if (current())
            slot_onFailure(errorCode);
    });
    connect(holder, &NetWorkDownloadReplyHolder::signal_onFinish, this, [this, current] {
        if (current())
            slot_onFinish();
    });
}

void WidgetWhiteBoard::updateDownloadProgressText(double percent)
{
    const QString word = Translatelanguage::instance()->getText(
        bUseProxy ? QStringLiteral("proxyDownloadingMaterial") : QStringLiteral("downloadingMaterial"));
    loading->setStateText(word + QStringLiteral(" [%1%]").arg(int(percent)), LoadingWidget::StateLoading);
}

void WidgetWhiteBoard::slot_onStart()
{
    qInfo("slot_onStart");
    updateDownloadProgressText(0);
    loading->setLoadingState(LoadingWidget::StateLoading);
}

void WidgetWhiteBoard::slot_downloadProgress(double percent, qlonglong bytesReceived, qlonglong bytesTotal)
{
    if (bytesReceived > lastBytesReceived)
        lastProgressTime = TimeUtility::currentSecsSinceEpoch();
    updateDownloadProgressText(std::isfinite(percent) ? percent : 0);
    lastBytesReceived = bytesReceived;
    qInfo().noquote() << QStringLiteral("<MaterialDownload> download process:%1% [ %2kb/%3kb ]")
                             .arg(shortNumber(percent))
                             .arg(bytesReceived)
                             .arg(bytesTotal);
}

void WidgetWhiteBoard::slot_checkDownloadding()
{
    const qint64 timeout = Singleton<AppContext>::instance()->getDownloadTimeout();
    const qint64 stagnant = TimeUtility::currentSecsSinceEpoch() - lastProgressTime;
    if (stagnant < timeout)
        return;
    qInfo().noquote() << QStringLiteral("<MaterialDownload> stagnate is timeout. stagnateTime:%1, timeout:%2")
                             .arg(stagnant)
                             .arg(timeout);
    if (!bUseProxy) {
        dropHolder();
        proxyDownloadPdf();
        return;
    }
    failDownload(QStringLiteral("stalled"));
}

void WidgetWhiteBoard::failDownload(const QString &reason)
{
    loading->setLoadingState(LoadingWidget::StateNetworkFailure);
    qCritical().noquote() << QStringLiteral("<MaterialDownload> download pdf file through proxy is error! bUseProxy:%1")
                                 .arg(bUseProxy);
    qInfo().noquote() << QStringLiteral("<MaterialDownload> courseware download given up: %1").arg(reason);
    downloadWatchdog.stop();
    dropHolder();
    bUseProxy = false;
}

void WidgetWhiteBoard::dropHolder()
{
    if (!downloadHolder)
        return;
    // Whatever the transfer before this one still says is not heard.
    downloadHolder->disconnect(this);
    downloadHolder->abort();
    downloadHolder->deleteLater();
    downloadHolder = nullptr;
}

void WidgetWhiteBoard::proxyDownloadPdf()
{
    bUseProxy = true;
    transfer = Transfer::Proxy;
    qInfo().noquote() << QStringLiteral("<MaterialDownload> download material use proxy server. bUseProxy:%1").arg(bUseProxy);
    const QString proxied = getProxyUrl(pdfUrl);
    if (!proxied.isEmpty())
        downloadPdf(proxied);
    else
        failDownload(QStringLiteral("no url"));
}

QString WidgetWhiteBoard::getProxyUrl(const QString &url) const
{
    const QString proxy = Singleton<AppContext>::instance()->getProxyServer();
    if (proxy.isEmpty())
        return url;
    const QString domain = StringUtility::findDomain(url);
    const QString proxied = proxy + url.mid(domain.length());
    qInfo().noquote() << QStringLiteral("getProxyUrl, proxyServer:%1, url:%2, proxyUrl:%3").arg(proxy, url, proxied);
    return proxied;
}

void WidgetWhiteBoard::slot_onSuccess(QString filePath)
{
    downloadWatchdog.stop();
    openInBackground(filePath, OpenedFrom::Download);
}

void WidgetWhiteBoard::downloadedDocumentOpened(bool opened, const QString &filePath)
{
    if (!opened) {
        // Downloaded but not a courseware we can show: say so, and fetch it
        // anew next time instead of reusing it.
        qCritical().noquote() << QStringLiteral("<MaterialDownload> downloaded file does not open:%1").arg(filePath);
        ActionLog::instance()->ErrorInfo(QStringLiteral("class_download_pdf_fail"),
                                         QStringLiteral("url:%1,error:unreadable").arg(downloadUrl));
        QFile::remove(filePath);
        bUseProxy = false;
        loading->setLoadingState(LoadingWidget::StateNetworkFailure);
        return;
    }
    qInfo().noquote() << QStringLiteral("<MaterialDownload> download %1 is success!").arg(filePath);
    ActionLog::instance()->NormalInfo(QStringLiteral("class_download_pdf_finish"),
                                      QStringLiteral("{url:%1,filePath:%2}").arg(downloadUrl, filePath));
    loading->setLoadingState(LoadingWidget::StateHidden);
}

void WidgetWhiteBoard::slot_onFailure(int errorCode)
{
    qCritical().noquote() << QStringLiteral("<MaterialDownload> %1th times to download pdf file is error! error code:%2, url:%3")
                                 .arg(downloadTimes)
                                 .arg(errorCode)
                                 .arg(downloadUrl);
    ActionLog::instance()->ErrorInfo(QStringLiteral("class_download_pdf_fail"),
                                     QStringLiteral("url:%1,error:%2").arg(downloadUrl).arg(errorCode));
    if (bUseProxy || transfer == Transfer::Proxy) {
        failDownload(QStringLiteral("error %1").arg(errorCode));
        return;
    }
    if (transfer == Transfer::Https || downloadTimes > 1) {
        proxyDownloadPdf();
        return;
    }
    transfer = Transfer::Https;
    QString https = pdfUrl;
    https.replace(QLatin1String("http://"), QLatin1String("https://"));
    downloadPdf(https);
}

void WidgetWhiteBoard::slot_onFinish()
{
    qInfo().noquote() << QStringLiteral("<MaterialDownload> download pdf fininshed, bUseProxy:%1").arg(bUseProxy);
    bUseProxy = false;
}

void WidgetWhiteBoard::slot_reDownload()
{
    downloadTimes = 0;
    bUseProxy = false;
    transfer = Transfer::Plain;
    downloadPdf();
}
