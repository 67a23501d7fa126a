// The shared whiteboard: drawing with the pen and the text tool, what goes
// out as whiteboard messages, what arriving messages do, painting (cached
// and plain alike), and the page view (paging, zoom, scroll, resize).

#include "actionlogreader.h"
#include "boardtestclass.h"
#include "testutil.h"

#include "utility/actionlog.h"

#include "biz/whiteboard/drawunit.h"
#include "biz/whiteboard/materialdoc.h"
#include "biz/whiteboard/whiteboardmsgutil.h"
#include "mgr/message/sendandreceivemsg.h"
#include "mgr/signalqueuemgr.h"
#include "utility/jsonutil.h"
#include "utility/userinfo.h"
#include "widget/textinputbox.h"
#include "widget/widgetwhiteboard.h"

#include <QApplication>
#include <QJsonArray>
#include <QJsonDocument>
#include <QKeyEvent>
#include <QLabel>
#include <QPainter>
#include <QScrollBar>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QTextEdit>

#include <limits>
#include <memory>

namespace {

const QColor kBoardGrey(70, 68, 68);

// The page area of the board as an image, painted the way the board does.
QImage boardImage(WidgetWhiteBoard &board)
{
    QImage image(board.size(), QImage::Format_ARGB32_Premultiplied);
    board.paintCached(&image);
    return image;
}

// A move with the left button held, delivered to the board itself.
void dragTo(QWidget *widget, const QPoint &pos)
{
    QMouseEvent move(QEvent::MouseMove, pos, widget->mapToGlobal(pos), Qt::NoButton, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(widget, &move);
}

DrawUnitData strokePayload(int page, const QVector<QPoint> &fractions, quint32 color = 0xFF0000FFu)
{
    DrawElement element;
    element.page = page;
    element.type = 1;
    element.size = 3;
    element.color = double(color);
    for (const QPoint &point : fractions)
        element.ptArray.append(WhiteboardMsgUtil::packPoint(point));
    return WhiteboardMsgUtil::toDrawUnitData(WhiteboardMsgUtil::toDrawObjectDetail(element), "10001", "m1");
}

// The payloads of the messages of one type name the board sent so far.
QVector<QJsonObject> sent(const ActionLogReader &log, const QString &typeName)
{
    QVector<QJsonObject> payloads;
    for (const auto &record : log.named(QStringLiteral("im_send_") + typeName)) {
        const QJsonObject envelope = QJsonDocument::fromJson(record.info.toUtf8()).object();
        payloads.append(envelope.value("data").toObject());
    }
    return payloads;
}

} // namespace

class TestWidgetWhiteBoard : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();

    void greyWithoutDocumentAndNoInput();
    void messagesBeforeClassInfo();
    void strokeIsStoredAndSentInFractions();
    void shortMovesAndSingleClicks();
    void strokeKeepsThePageItStartedOn();
    void strokeAtFractionsPaintsAlikeAtTwoZooms();
    void cachedPaintEqualsPlainPaint();
    void textBoxCommitAndClicks();
    void textBoxPastThePageEdgeIsClamped();
    void rightClickEndsBothTools();
    void penAndTextExcludeEachOther();
    void receivedUnitsWaitForTheirPage();
    void receivedErasure_data();
    void receivedErasure();
    void pageTurnOnlyFromTheTeacher();
    void receivedPagesOutsideTheDocument_data();
    void receivedPagesOutsideTheDocument();
    void unitsBeyondTheOpenedDocumentAreDropped();
    void unitsPerPageBound();
    void weightBounds();
    void heavyUnitIsPaintedOffTheGuiThread();

    void pageLabel_data();
    void pageLabel();
    void gotoSamePageEmitsNothing();
    void zoomLimitsFollowTheFitZoom();
    void pageOfTheViewSizeHasNoBars();
    void wheelAndKeys();
    void resizeReturnsToFitZoom();
    void pageButtonsRecordClicks();
    void openingAnotherDocumentAlwaysRenders();
    void opensInTheBackground_data();
    void opensInTheBackground();
    void closingWhileOpeningKeepsNothing();
    void emptyViewRendersOnFirstResize();
    void neighbourPageRenderedAhead();

private:
    std::unique_ptr<WidgetWhiteBoard> openBoard(const QString &current = kStudent);
    QPoint widgetPoint(const WidgetWhiteBoard &board, double fx, double fy) const;

    QTemporaryDir m_dir;
    ActionLogReader m_log;
    UserList m_roster;
};

void TestWidgetWhiteBoard::initTestCase()
{
    QVERIFY(m_dir.isValid());
    qRegisterMetaType<ImMsgInfo>();
}

void TestWidgetWhiteBoard::init()
{
    static int run = 0;
    QVERIFY(ActionLog::instance()->init(m_log.use(m_dir.filePath(QStringLiteral("action%1.log").arg(++run)))));
    fillRoster(m_roster, kStudent);
}

void TestWidgetWhiteBoard::cleanup()
{
}

std::unique_ptr<WidgetWhiteBoard> TestWidgetWhiteBoard::openBoard(const QString &current)
{
    fillRoster(m_roster, current);
    auto board = std::make_unique<WidgetWhiteBoard>();
    board->setPrerenderEnabled(false);
    board->setClassInfo(&m_roster, "10001");
    board->setMaterialInfo("m1", QString(), QString());
    // Twice the page's 595 x 420: the fit zoom is 200 %.
    board->resize(1190, 840);
    board->show();
    if (!board->openPdf(kCourseware))
        return nullptr;
    return board;
}

QPoint TestWidgetWhiteBoard::widgetPoint(const WidgetWhiteBoard &board, double fx, double fy) const
{
    return board.currentPageOrigin()
        + QPoint(int(fx * board.pageImageSize().width()), int(fy * board.pageImageSize().height()));
}

void TestWidgetWhiteBoard::greyWithoutDocumentAndNoInput()
{
    WidgetWhiteBoard board;
    board.setClassInfo(&m_roster, "10001");
    board.resize(800, 600);
    board.show();
    const QImage image = boardImage(board);
    QCOMPARE(image.pixelColor(400, 300), kBoardGrey);
    QCOMPARE(image.pixelColor(5, 595), kBoardGrey);

    // No page shown: the pen and the text tool take nothing.
    board.on_btnPen_clicked();
    QTest::mousePress(&board, Qt::LeftButton, {}, QPoint(400, 300));
    QTest::mouseMove(&board, QPoint(450, 350));
    QTest::mouseRelease(&board, Qt::LeftButton, {}, QPoint(450, 350));
    board.on_btnText_clicked();
    QTest::mouseClick(&board, Qt::LeftButton, {}, QPoint(400, 300));
    QVERIFY(!board.openTextBox());
    QVERIFY(board.drawUnits().isEmpty());
    QVERIFY(sent(m_log, "WBDraw").isEmpty());
}

// A message that arrives before the classroom handed over the roster is
// handled as if the roster were empty.
void TestWidgetWhiteBoard::messagesBeforeClassInfo()
{
    WidgetWhiteBoard board;
    board.slot_receiveDrawMsg({ QString(), kTeacher }, strokePayload(1, { { 0, 0 }, { 100, 100 } }));
    board.slot_receiveErasureMsg({ QString(), kTeacher }, ErasureData { "10001", "m1", 1, {} });
    QCOMPARE(board.unitCount(0), 0); // the teacher is not known: only its own units went
    board.slot_receiveDrawMsg({ QString(), kTeacher }, strokePayload(1, { { 0, 0 }, { 100, 100 } }));
    board.slot_receiveTurnToPageMsg({ QString(), kTeacher }, TurnToPageData { "10001", "m1", 0, 2 });
    QCOMPARE(board.currentPageIndex(), 0);
    board.sendErasureMsg();
    QCOMPARE(board.unitCount(0), 1);
}

void TestWidgetWhiteBoard::strokeIsStoredAndSentInFractions()
{
    auto board = openBoard();
    QVERIFY(board);
    QCOMPARE(board->fitScale(), 200.f);
    QCOMPARE(board->pageImageSize(), QSize(1190, 840));
    board->on_btnPen_clicked();
    const QPoint start = widgetPoint(*board, 0.25, 0.5);
    QTest::mousePress(board.get(), Qt::LeftButton, {}, start);
    for (int i = 1; i <= 10; ++i)
        dragTo(board.get(), start + QPoint(i * 20, i * 5));
    // Past the right edge: the stroke goes on along the edge.
    dragTo(board.get(), QPoint(board->width() + 50, start.y()));
    QTest::mouseRelease(board.get(), Qt::LeftButton, {}, QPoint(board->width() + 60, start.y()));

    QCOMPARE(board->unitCount(0), 1);
    auto *stroke = static_cast<DrawCurveUnit *>(board->drawUnits().value(0).first());
    QCOMPARE(stroke->getOwnerUid(), kStudent);
    const QPoint first = start - board->currentPageOrigin();
    QCOMPARE(stroke->getPoints().first(), QPoint(int(first.x() / 1190.0 * 10000), int(first.y() / 840.0 * 10000)));
    QCOMPARE(stroke->getPoints().last().x(), 10000);
    QCOMPARE(stroke->getPoints().size(), 13);

    const QVector<QJsonObject> messages = sent(m_log, "WBDraw");
    QCOMPARE(messages.size(), 1);
    QCOMPARE(messages.first().value("atPage").toInt(), 1);
    QCOMPARE(messages.first().value("classid").toString(), QString("10001"));
    const QJsonObject element =
        QJsonDocument::fromJson(messages.first().value("objectdetail").toString().toUtf8()).object().value("element").toObject();
    QCOMPARE(element.value("ptArray").toArray().size(), 13);
    QCOMPARE(element.value("ptArray").toArray().first().toInt(), WhiteboardMsgUtil::packPoint(stroke->getPoints().first()));
    QCOMPARE(element.value("color").toDouble(), double(0xFF0000FFu)); // the board's own red
}

void TestWidgetWhiteBoard::shortMovesAndSingleClicks()
{
    auto board = openBoard();
    QVERIFY(board);
    board->on_btnPen_clicked();
    const QPoint start = widgetPoint(*board, 0.5, 0.5);
    // Moves of 3 pixels or less are not recorded; press and release make
    // two points of the same place: a valid stroke (a dot).
    QTest::mousePress(board.get(), Qt::LeftButton, {}, start);
    dragTo(board.get(), start + QPoint(3, -3));
    QTest::mouseRelease(board.get(), Qt::LeftButton, {}, start);
    QCOMPARE(board->unitCount(0), 1);
    QCOMPARE(static_cast<DrawCurveUnit *>(board->drawUnits().value(0).first())->getPoints().size(), 2);
    const QImage image = boardImage(*board);
    QCOMPARE(image.pixelColor(start), QColor(255, 0, 0));

    // A press outside the page starts nothing.
    QTest::mousePress(board.get(), Qt::LeftButton, {}, QPoint(board->width() + 5, 5));
    QTest::mouseRelease(board.get(), Qt::LeftButton, {}, widgetPoint(*board, 0.4, 0.4));
    QCOMPARE(board->unitCount(0), 1);
}

void TestWidgetWhiteBoard::strokeKeepsThePageItStartedOn()
{
    auto board = openBoard();
    QVERIFY(board);
    board->on_btnPen_clicked();
    const QPoint start = widgetPoint(*board, 0.2, 0.2);
    QTest::mousePress(board.get(), Qt::LeftButton, {}, start);
    dragTo(board.get(), start + QPoint(40, 40));
    // The teacher turns the page under the student's pen.
    fillRoster(m_roster, kStudent);
    board->slot_receiveTurnToPageMsg({ QString(), kTeacher }, TurnToPageData { "10001", "m1", 0, 3 });
    QCOMPARE(board->currentPageIndex(), 2);
    QTest::mouseRelease(board.get(), Qt::LeftButton, {}, start + QPoint(80, 80));
    QCOMPARE(board->unitCount(0), 1);
    QCOMPARE(board->unitCount(2), 0);
    QCOMPARE(sent(m_log, "WBDraw").first().value("atPage").toInt(), 1);

    // The same for a text box opened before the turn.
    board->on_btnText_clicked();
    board->gotoPage(0);
    QTest::mouseClick(board.get(), Qt::LeftButton, {}, widgetPoint(*board, 0.3, 0.3));
    QVERIFY(board->openTextBox());
    board->openTextBox()->findChild<QTextEdit *>()->setPlainText(QStringLiteral("page one"));
    board->gotoPage(1);
    QTest::mouseClick(board.get(), Qt::LeftButton, {}, widgetPoint(*board, 0.6, 0.6));
    QCOMPARE(board->unitCount(0), 2);
    QCOMPARE(board->unitCount(1), 0);
    QCOMPARE(sent(m_log, "WBText").first().value("page").toInt(), 1);
}

void TestWidgetWhiteBoard::strokeAtFractionsPaintsAlikeAtTwoZooms()
{
    auto board = openBoard();
    QVERIFY(board);
    board->slot_receiveDrawMsg({ QString(), kClassmate },
                               strokePayload(1, { { 2000, 5000 }, { 8000, 5000 } }, 0xFF00FF00u));
    for (float zoom : { 200.f, 120.f }) {
        QVERIFY(board->gotoPage(0, zoom));
        const QImage image = boardImage(*board);
        for (double fx : { 0.25, 0.5, 0.75 })
            QCOMPARE(image.pixelColor(widgetPoint(*board, fx, 0.5)), QColor(0, 255, 0));
        QVERIFY(image.pixelColor(widgetPoint(*board, 0.5, 0.4)) != QColor(0, 255, 0));
    }
}

// The cached layer of finished units gives the very pixels of the plain
// paint, also after units were added, removed and the page scrolled.
void TestWidgetWhiteBoard::cachedPaintEqualsPlainPaint()
{
    auto board = openBoard();
    QVERIFY(board);
    for (int i = 0; i < 40; ++i) {
        board->slot_receiveDrawMsg({ QString(), i % 2 ? kClassmate : kTeacher },
                                   strokePayload(1, { { 100 + i * 200, 1000 }, { 300 + i * 150, 9000 }, { 9000, 200 * i } },
                                                 0xFF000000u | quint32(i * 5000)));
    }
    WBTextData text { "10001", 1, double(0xFF3043F5u), { 2000 * 65536 + 1000, 3000 * 65536 + 5000 }, "DejaVu Sans", 500, "Hello\n你好" };
    board->slot_receiveWBTextMsg({ QString(), kTeacher }, text);
    const auto compare = [&board] {
        QImage cached(board->size(), QImage::Format_ARGB32_Premultiplied);
        QImage plain(board->size(), QImage::Format_ARGB32_Premultiplied);
        board->paintCached(&cached);
        board->paintUncached(&plain);
        return cached == plain;
    };
    QVERIFY(compare());
    board->removeUserDrawUnits(kClassmate, 0);
    QVERIFY(compare());
    board->slot_receiveDrawMsg({ QString(), kStudent }, strokePayload(1, { { 0, 0 }, { 10000, 10000 } }));
    QVERIFY(compare());
    QVERIFY(board->gotoPage(0, 300));
    QVERIFY(compare());
    board->on_verticalScrollBar_sliderMoved(100);
    QVERIFY(compare());
}

void TestWidgetWhiteBoard::textBoxCommitAndClicks()
{
    auto board = openBoard();
    QVERIFY(board);
    board->on_btnText_clicked();
    // Outside the page: neither opens nor commits.
    QTest::mouseClick(board.get(), Qt::LeftButton, {}, QPoint(board->width() + 3, 3));
    QVERIFY(!board->openTextBox());

    const QPoint click = widgetPoint(*board, 0.1, 0.3);
    QTest::mouseClick(board.get(), Qt::LeftButton, {}, click);
    TextInputBox *box = board->openTextBox();
    QVERIFY(box);
    QCOMPARE(box->pos().x(), click.x() - 4);
    box->findChild<QTextEdit *>()->setPlainText(QStringLiteral("x + y"));
    // The second click commits the box instead of opening another.
    QTest::mouseClick(board.get(), Qt::LeftButton, {}, widgetPoint(*board, 0.6, 0.6));
    QVERIFY(!board->openTextBox());
    QCOMPARE(board->unitCount(0), 1);
    auto *unit = static_cast<TextUnit *>(board->drawUnits().value(0).first());
    QCOMPARE(unit->getText(), QString("x + y"));
    QCOMPARE(unit->getOwnerUid(), kStudent);
    QCOMPARE(unit->getFontSize(), int(14.0 * 200 / 100 / 840 * 10000));
    const QVector<QJsonObject> texts = sent(m_log, "WBText");
    QCOMPARE(texts.size(), 1);
    QCOMPARE(texts.first().value("text").toString(), QString("x + y"));
    QCOMPARE(texts.first().value("rect").toArray().size(), 2);

    // A third click opens a new box; blank text is dropped on commit.
    QTest::mouseClick(board.get(), Qt::LeftButton, {}, click);
    QVERIFY(board->openTextBox());
    board->openTextBox()->findChild<QTextEdit *>()->setPlainText(QStringLiteral("  \n "));
    QTest::mouseClick(board.get(), Qt::LeftButton, {}, click);
    QCOMPARE(board->unitCount(0), 1);
    QCOMPARE(sent(m_log, "WBText").size(), 1);
}

void TestWidgetWhiteBoard::textBoxPastThePageEdgeIsClamped()
{
    auto board = openBoard();
    QVERIFY(board);
    QVERIFY(board->gotoPage(0, 150)); // the page is smaller than the view
    board->on_btnText_clicked();
    // Near the bottom-right corner: the box reaches past the page.
    QTest::mouseClick(board.get(), Qt::LeftButton, {}, widgetPoint(*board, 0.98, 0.99));
    QVERIFY(board->openTextBox());
    board->openTextBox()->findChild<QTextEdit *>()->setPlainText(QStringLiteral("W\nW\nW"));
    board->on_btnText_clicked();
    QCOMPARE(board->unitCount(0), 1);
    const QRect stored = board->drawUnits().value(0).first()->getRect();
    QVERIFY(stored.right() <= 10000);
    QVERIFY(stored.bottom() <= 10000);
    const QJsonArray rect = sent(m_log, "WBText").first().value("rect").toArray();
    const QPoint bottomRight = WhiteboardMsgUtil::unpackPoint(rect.at(1).toInt());
    QCOMPARE(bottomRight.y(), 10000);
}

void TestWidgetWhiteBoard::rightClickEndsBothTools()
{
    auto board = openBoard();
    QVERIFY(board);
    QSignalSpy pen(board.get(), &WidgetWhiteBoard::signal_setClickedPenBtn);
    QSignalSpy text(board.get(), &WidgetWhiteBoard::signal_setClickedTextBtn);
    board->on_btnText_clicked();
    QTest::mouseClick(board.get(), Qt::LeftButton, {}, widgetPoint(*board, 0.5, 0.5));
    board->openTextBox()->findChild<QTextEdit *>()->setPlainText(QStringLiteral("kept"));
    QTest::mouseClick(board.get(), Qt::RightButton, {}, widgetPoint(*board, 0.5, 0.5));
    QVERIFY(!board->isTextOn());
    QCOMPARE(board->unitCount(0), 1); // the open box was committed
    QCOMPARE(text.last().at(0).toBool(), false);
    QCOMPARE(board->cursor().shape(), Qt::ArrowCursor);

    board->on_btnPen_clicked();
    pen.clear();
    QTest::mouseClick(board.get(), Qt::RightButton, {}, widgetPoint(*board, 0.5, 0.5));
    QVERIFY(!board->isPenOn());
    QCOMPARE(pen.size(), 1);

    // setPenEnabled(true) with the pen on still turns it off.
    board->on_btnPen_clicked();
    QSignalSpy enable(board.get(), &WidgetWhiteBoard::signal_setEnablePenBtn);
    board->setPenEnabled(true);
    QVERIFY(!board->isPenOn());
    QCOMPARE(enable.size(), 1);
}

void TestWidgetWhiteBoard::penAndTextExcludeEachOther()
{
    auto board = openBoard();
    QVERIFY(board);
    QSignalSpy pen(board.get(), &WidgetWhiteBoard::signal_setClickedPenBtn);
    board->on_btnPen_clicked();
    board->on_btnText_clicked();
    QVERIFY(board->isTextOn());
    QVERIFY(!board->isPenOn());
    QCOMPARE(pen.last().at(0).toBool(), false);
    QCOMPARE(board->cursor().shape(), Qt::IBeamCursor);
    board->on_btnPen_clicked();
    QVERIFY(!board->isTextOn());
    QCOMPARE(board->cursor().shape(), Qt::BitmapCursor);
}

void TestWidgetWhiteBoard::receivedUnitsWaitForTheirPage()
{
    auto board = openBoard();
    QVERIFY(board);
    board->slot_receiveDrawMsg({ QString(), kClassmate }, strokePayload(2, { { 0, 5000 }, { 10000, 5000 } }, 0xFF00FF00u));
    QCOMPARE(board->currentPageIndex(), 0);
    QCOMPARE(board->unitCount(1), 1);
    QVERIFY(boardImage(*board).pixelColor(widgetPoint(*board, 0.5, 0.5)) != QColor(0, 255, 0));
    QVERIFY(board->gotoPage(1));
    QCOMPARE(boardImage(*board).pixelColor(widgetPoint(*board, 0.5, 0.5)), QColor(0, 255, 0));
    // A page before the first is refused.
    board->slot_receiveDrawMsg({ QString(), kClassmate }, strokePayload(0, { { 0, 0 }, { 1, 1 } }));
    QVERIFY(!board->drawUnits().contains(-1));
}

void TestWidgetWhiteBoard::receivedErasure_data()
{
    QTest::addColumn<QString>("sender");
    QTest::addColumn<int>("left");
    QTest::newRow("teacher clears the page") << kTeacher << 0;
    QTest::newRow("a student removes its own") << kClassmate << 2;
    QTest::newRow("a stranger counts as a student") << QString("99999") << 3;
}

void TestWidgetWhiteBoard::receivedErasure()
{
    QFETCH(QString, sender);
    QFETCH(int, left);
    auto board = openBoard();
    QVERIFY(board);
    board->slot_receiveDrawMsg({ QString(), kTeacher }, strokePayload(1, { { 0, 0 }, { 10, 10 } }));
    // With the page's layer there, the next strokes wait to be put on it
    // with the next paint; the erasure comes before that paint.
    board->update();
    QTRY_VERIFY(board->isRenderingDone());
    board->slot_receiveDrawMsg({ QString(), kClassmate }, strokePayload(1, { { 0, 0 }, { 5000, 5000 } }));
    board->slot_receiveDrawMsg({ QString(), kStudent }, strokePayload(1, { { 0, 0 }, { 10, 10 } }));
    board->slot_receiveDrawMsg({ QString(), sender }, strokePayload(2, { { 0, 0 }, { 10, 10 } }));
    board->slot_receiveErasureMsg({ QString(), sender }, ErasureData { "10001", "m1", 1, {} });
    QImage plain(board->size(), QImage::Format_ARGB32_Premultiplied);
    board->paintUncached(&plain);
    QCOMPARE(boardImage(*board), plain);
    QCOMPARE(board->unitCount(0), left);
    QCOMPARE(board->drawUnits().contains(0), left > 0);
    QCOMPARE(board->unitCount(1), 1); // other pages keep theirs
    for (DrawLayer *unit : board->drawUnits().value(0))
        QVERIFY(unit->getOwnerUid() != sender);
}

void TestWidgetWhiteBoard::pageTurnOnlyFromTheTeacher()
{
    auto board = openBoard();
    QVERIFY(board);
    QSignalSpy pages(board.get(), &WidgetWhiteBoard::returnPageNum);
    board->slot_receiveTurnToPageMsg({ QString(), kClassmate }, TurnToPageData { "10001", "m1", 0, 3 });
    QCOMPARE(board->currentPageIndex(), 0);
    board->slot_receiveTurnToPageMsg({ QString(), kTeacher }, TurnToPageData { "10001", "m1", 0, 3 });
    QCOMPARE(board->currentPageIndex(), 2);
    board->slot_receiveTurnToPageMsg({ QString(), kTeacher }, TurnToPageData { "10001", "m1", 0, 9 });
    QCOMPARE(board->currentPageIndex(), 2);
    QCOMPARE(pages.size(), 1);
    QCOMPARE(board->findChild<QLabel *>("btnPageNum")->text(), QString("03/4"));
}

void TestWidgetWhiteBoard::receivedPagesOutsideTheDocument_data()
{
    QTest::addColumn<int>("page");
    QTest::newRow("INT_MIN") << std::numeric_limits<int>::min();
    QTest::newRow("-1") << -1;
    QTest::newRow("0") << 0;
    QTest::newRow("past the last page") << 5;
    QTest::newRow("past any document") << 10001;
    QTest::newRow("INT_MAX") << std::numeric_limits<int>::max();
}

// The courseware has 4 pages: whatever names another page changes nothing.
void TestWidgetWhiteBoard::receivedPagesOutsideTheDocument()
{
    QFETCH(int, page);
    auto board = openBoard();
    QVERIFY(board);
    QVERIFY(board->gotoPage(1));
    board->slot_receiveDrawMsg({ QString(), kClassmate }, strokePayload(2, { { 0, 0 }, { 10, 10 } }));
    QSignalSpy pages(board.get(), &WidgetWhiteBoard::returnPageNum);

    board->slot_receiveDrawMsg({ QString(), kTeacher }, strokePayload(page, { { 0, 0 }, { 10, 10 } }));
    WBTextData text;
    text.page = page;
    text.rect = { 0, WhiteboardMsgUtil::packPoint(QPoint(100, 100)) };
    text.text = "x";
    board->slot_receiveWBTextMsg({ QString(), kTeacher }, text);
    board->slot_receiveErasureMsg({ QString(), kTeacher }, ErasureData { "10001", "m1", page, {} });
    board->slot_receiveTurnToPageMsg({ QString(), kTeacher }, TurnToPageData { "10001", "m1", 0, page });

    QCOMPARE(board->drawUnits().keys(), QList<int>({ 1 }));
    QCOMPARE(board->unitCount(1), 1);
    QCOMPARE(board->currentPageIndex(), 1);
    QCOMPARE(pages.size(), 0);
}

// Units that came while no document was open keep only the pages of the
// document then opened.
void TestWidgetWhiteBoard::unitsBeyondTheOpenedDocumentAreDropped()
{
    WidgetWhiteBoard board;
    board.setPrerenderEnabled(false);
    board.setClassInfo(&m_roster, "10001");
    board.resize(1190, 840);
    board.show();
    for (int page : { 1, 4, 5, 10000 })
        board.slot_receiveDrawMsg({ QString(), kClassmate }, strokePayload(page, { { 0, 0 }, { 10, 10 } }));
    board.slot_receiveDrawMsg({ QString(), kClassmate }, strokePayload(10001, { { 0, 0 }, { 10, 10 } }));
    QCOMPARE(board.drawUnits().keys(), QList<int>({ 0, 3, 4, 9999 }));
    QVERIFY(board.openPdf(kCourseware));
    QCOMPARE(board.drawUnits().keys(), QList<int>({ 0, 3 }));
}

void TestWidgetWhiteBoard::unitsPerPageBound()
{
    auto board = openBoard();
    QVERIFY(board);
    for (int i = 0; i < WidgetWhiteBoard::maxPageUnits; ++i)
        board->slot_receiveDrawMsg({ QString(), kClassmate }, strokePayload(2, { { i % 10000, 0 }, { 0, 10 } }));
    QCOMPARE(board->unitCount(1), WidgetWhiteBoard::maxPageUnits);
    board->slot_receiveDrawMsg({ QString(), kTeacher }, strokePayload(2, { { 0, 0 }, { 10, 10 } }));
    WBTextData text;
    text.page = 2;
    text.rect = { 0, WhiteboardMsgUtil::packPoint(QPoint(100, 100)) };
    board->slot_receiveWBTextMsg({ QString(), kTeacher }, text);
    QCOMPARE(board->unitCount(1), WidgetWhiteBoard::maxPageUnits);
    // Other pages take theirs; an erased page takes new ones again.
    board->slot_receiveDrawMsg({ QString(), kTeacher }, strokePayload(3, { { 0, 0 }, { 10, 10 } }));
    QCOMPARE(board->unitCount(2), 1);
    board->slot_receiveErasureMsg({ QString(), kTeacher }, ErasureData { "10001", "m1", 2, {} });
    board->slot_receiveDrawMsg({ QString(), kTeacher }, strokePayload(2, { { 0, 0 }, { 10, 10 } }));
    QCOMPARE(board->unitCount(1), 1);
}

// The heaviest stroke there is: every point at the other corner of the page,
// in the widest pen.
static DrawUnitData zigzagPayload(int page)
{
    DrawElement element;
    element.page = page;
    element.type = 1;
    element.size = WhiteboardMsgUtil::maxPenWidth;
    element.color = double(0xFF0000FFu);
    for (int i = 0; i < WhiteboardMsgUtil::maxUnitPoints; ++i)
        element.ptArray.append(WhiteboardMsgUtil::packPoint(i % 2 ? QPoint(10000, 10000) : QPoint(0, 0)));
    return WhiteboardMsgUtil::toDrawUnitData(WhiteboardMsgUtil::toDrawObjectDetail(element), "10001", "m1");
}

// Heavy units are bounded by their weight on a page and on the whole board
// (while no document is open, received units may name any page).
void TestWidgetWhiteBoard::weightBounds()
{
    int page = 0;
    std::unique_ptr<DrawCurveUnit> probe(WhiteboardMsgUtil::createDrawUnitFromJson(ImMsgInfo(), zigzagPayload(1), page));
    QVERIFY(probe);
    const qint64 weight = probe->paintWeight();
    QVERIFY(weight > WidgetWhiteBoard::directWeight);

    WidgetWhiteBoard board;
    board.setClassInfo(&m_roster, "10001");
    const int perPage = int(WidgetWhiteBoard::maxPageWeight / weight);
    QVERIFY(perPage >= 1);
    for (int i = 0; i <= perPage; ++i)
        board.slot_receiveDrawMsg({ QString(), kTeacher }, zigzagPayload(1));
    QCOMPARE(board.unitCount(0), perPage);
    // Light units still fit where heavy ones no longer do.
    board.slot_receiveDrawMsg({ QString(), kTeacher }, strokePayload(1, { { 0, 0 }, { 10, 10 } }));
    QCOMPARE(board.unitCount(0), perPage + 1);

    std::unique_ptr<DrawCurveUnit> light(WhiteboardMsgUtil::createDrawUnitFromJson(
        ImMsgInfo(), strokePayload(1, { { 0, 0 }, { 10, 10 } }), page));
    const int onBoard = int((WidgetWhiteBoard::maxBoardWeight - perPage * weight - light->paintWeight()) / weight);
    int sent = perPage;
    for (int wirePage = 2; sent < onBoard + perPage + 3; ++wirePage) {
        for (int i = 0; i < perPage; ++i, ++sent)
            board.slot_receiveDrawMsg({ QString(), kTeacher }, zigzagPayload(wirePage));
    }
    int kept = 0;
    for (const QVector<DrawLayer *> &units : board.drawUnits())
        kept += units.size();
    QCOMPARE(kept, perPage + 1 + onBoard);
    // What an erasure frees is taken again.
    board.slot_receiveErasureMsg({ QString(), kTeacher }, ErasureData { "10001", "m1", 1, {} });
    board.slot_receiveDrawMsg({ QString(), kTeacher }, zigzagPayload(1));
    QCOMPARE(board.unitCount(0), 1);
}

// A unit too heavy for the GUI thread reaches the shown page through the
// layer's thread; a light one is painted on the finished layer at once.
void TestWidgetWhiteBoard::heavyUnitIsPaintedOffTheGuiThread()
{
    auto board = openBoard();
    QVERIFY(board);
    board->slot_receiveDrawMsg({ QString(), kClassmate }, strokePayload(1, { { 0, 2000 }, { 10000, 2000 } }, 0xFF00FF00u));
    QTRY_VERIFY(board->isRenderingDone());
    QImage shown(board->size(), QImage::Format_ARGB32_Premultiplied);
    board->render(&shown);
    QCOMPARE(shown.pixelColor(widgetPoint(*board, 0.5, 0.2)), QColor(0, 255, 0));

    board->slot_receiveDrawMsg({ QString(), kClassmate }, strokePayload(1, { { 0, 4000 }, { 10000, 4000 } }, 0xFF00FF00u));
    QVERIFY(board->isRenderingDone());
    board->render(&shown);
    QCOMPARE(shown.pixelColor(widgetPoint(*board, 0.5, 0.4)), QColor(0, 255, 0));

    board->slot_receiveDrawMsg({ QString(), kClassmate }, zigzagPayload(1));
    QVERIFY(!board->isRenderingDone());
    // Meanwhile the board shows the layer it has.
    board->render(&shown);
    QCOMPARE(shown.pixelColor(widgetPoint(*board, 0.5, 0.4)), QColor(0, 255, 0));
    QTRY_VERIFY(board->isRenderingDone());
    board->render(&shown);
    QCOMPARE(shown.pixelColor(widgetPoint(*board, 0.5, 0.5)), QColor(255, 0, 0));
    QCOMPARE(shown.pixelColor(widgetPoint(*board, 0.5, 0.4)), QColor(0, 255, 0));
}

void TestWidgetWhiteBoard::pageLabel_data()
{
    QTest::addColumn<int>("page");
    QTest::addColumn<int>("total");
    QTest::addColumn<QString>("text");
    QTest::newRow("3 of 12") << 3 << 12 << "03/12";
    QTest::newRow("12 of 120") << 12 << 120 << "12/120";
    QTest::newRow("10 of 9") << 10 << 9 << "10/9";
}

void TestWidgetWhiteBoard::pageLabel()
{
    QFETCH(int, page);
    QFETCH(int, total);
    QFETCH(QString, text);
    WidgetWhiteBoard board;
    board.showPageNum(page, total);
    QCOMPARE(board.findChild<QLabel *>("btnPageNum")->text(), text);
}

void TestWidgetWhiteBoard::gotoSamePageEmitsNothing()
{
    auto board = openBoard();
    QVERIFY(board);
    QSignalSpy pages(board.get(), &WidgetWhiteBoard::returnPageNum);
    QVERIFY(board->gotoPage(0, board->currentScale()));
    QCOMPARE(pages.size(), 0);
    QVERIFY(!board->gotoPage(-1));
    QVERIFY(!board->gotoPage(4));
    QCOMPARE(pages.size(), 0);
}

void TestWidgetWhiteBoard::zoomLimitsFollowTheFitZoom()
{
    auto board = openBoard();
    QVERIFY(board);
    // Fit zoom 200: the zoom stays within 100..400.
    QVERIFY(board->gotoPage(0, 390));
    board->on_btnZoomIn_clicked();
    QCOMPARE(board->currentScale(), 400.f);
    board->on_btnZoomIn_clicked();
    QCOMPARE(board->currentScale(), 400.f);
    QVERIFY(board->gotoPage(0, 105));
    board->on_btnZoomOut_clicked();
    QCOMPARE(board->currentScale(), 100.f);
    board->on_btnZoomReset_clicked();
    QCOMPARE(board->currentScale(), 200.f);
    QCOMPARE(m_log.named("click_doc_zoom_in").first().info, QString("{rate:400}"));
    QCOMPARE(m_log.named("click_doc_zoom_out").first().info, QString("{rate:100}"));
    QCOMPARE(m_log.named("click_doc_zoom_reset").first().info, QString("{rate:200}"));

    // With the horizontal bar at its left end, a zoom step centres the page.
    QVERIFY(board->gotoPage(0, 300));
    auto *bar = board->findChild<QScrollBar *>("horizontalScrollBar");
    QVERIFY(!bar->isHidden());
    QCOMPARE(board->currentPageOrigin().x(), (1190 - board->pageImageSize().width()) / 2);
    bar->setValue(0);
    board->on_horizontalScrollBar_sliderMoved(0);
    QCOMPARE(board->currentPageOrigin().x(), 0);
    board->on_btnZoomIn_clicked();
    QCOMPARE(board->currentPageOrigin().x(), (1190 - board->pageImageSize().width()) / 2);
}

void TestWidgetWhiteBoard::pageOfTheViewSizeHasNoBars()
{
    auto board = openBoard();
    QVERIFY(board);
    QCOMPARE(board->pageImageSize(), board->size());
    QCOMPARE(board->currentPageOrigin(), QPoint(0, 0));
    QVERIFY(board->findChild<QScrollBar *>("horizontalScrollBar")->isHidden());
    QVERIFY(board->findChild<QScrollBar *>("verticalScrollBar")->isHidden());
}

void TestWidgetWhiteBoard::wheelAndKeys()
{
    auto board = openBoard();
    QVERIFY(board);
    QVERIFY(board->gotoPage(0, 300));
    auto *bar = board->findChild<QScrollBar *>("verticalScrollBar");
    const int before = bar->value();
    QWheelEvent down(QPointF(100, 100), board->mapToGlobal(QPoint(100, 100)), QPoint(), QPoint(0, -120), Qt::NoButton,
                     Qt::NoModifier, Qt::NoScrollPhase, false);
    QApplication::sendEvent(board.get(), &down);
    QCOMPARE(bar->value(), before + 120);
    QCOMPARE(board->currentPageOrigin().y(), -(before + 120));
    QWheelEvent small(QPointF(100, 100), board->mapToGlobal(QPoint(100, 100)), QPoint(), QPoint(0, 60), Qt::NoButton,
                      Qt::NoModifier, Qt::NoScrollPhase, false);
    QApplication::sendEvent(board.get(), &small);
    QCOMPARE(bar->value(), before + 120);

    QKeyEvent right(QEvent::KeyPress, Qt::Key_Right, Qt::NoModifier);
    SignalQueueMgr::instance()->signalKeyEvent(&right);
    QCOMPARE(board->currentPageIndex(), 1);
    QKeyEvent left(QEvent::KeyPress, Qt::Key_Left, Qt::NoModifier);
    SignalQueueMgr::instance()->signalKeyEvent(&left);
    QCOMPARE(board->currentPageIndex(), 0);
    QKeyEvent up(QEvent::KeyPress, Qt::Key_Up, Qt::NoModifier);
    SignalQueueMgr::instance()->signalKeyEvent(&up);
    QCOMPARE(board->currentScale(), 310.f);
}

void TestWidgetWhiteBoard::resizeReturnsToFitZoom()
{
    auto board = openBoard();
    QVERIFY(board);
    QVERIFY(board->gotoPage(0, 333));
    board->resize(900, 840);
    QCOMPARE(board->currentScale(), board->fitScale());
    QCOMPARE(board->fitScale(), float(900) / 595 * 100);
}

void TestWidgetWhiteBoard::pageButtonsRecordClicks()
{
    auto board = openBoard();
    QVERIFY(board);
    QVERIFY(board->gotoPage(3));
    board->on_btnNextPage_clicked(); // past the last page
    QCOMPARE(board->currentPageIndex(), 3);
    QCOMPARE(m_log.named("click_next_page").first().info, QString("page:4"));
    QVERIFY(board->gotoPage(1));
    board->on_btnPrePage_clicked();
    QCOMPARE(board->currentPageIndex(), 0);
    QCOMPARE(m_log.named("click_pre_page").first().info, QString("{page:-1}"));
    // The base board turns only its own page.
    QVERIFY(sent(m_log, "WBPage").isEmpty());
}

// A new document replaces the old one's page even at page 0 and the same
// zoom: the old pixels are never painted again.
void TestWidgetWhiteBoard::openingAnotherDocumentAlwaysRenders()
{
    auto board = openBoard();
    QVERIFY(board);
    const QString copy = m_dir.filePath("second.pdf");
    QVERIFY(QFile::copy(kCourseware, copy));
    QSignalSpy pages(board.get(), &WidgetWhiteBoard::returnPageNum);
    board->closeMaterial();
    QVERIFY(board->openPdf(copy));
    QCOMPARE(pages.size(), 1);
    QCOMPARE(board->currentPageIndex(), 0);
    QVERIFY(!boardImage(*board).isNull());
    // From another page too, back to page 0.
    QVERIFY(board->gotoPage(2));
    QVERIFY(board->openPdf(kCourseware));
    QCOMPARE(board->currentPageIndex(), 0);
}

// The GUI thread hands the file to the render thread and goes on: the
// document is open, with its first page on the board, when the board says
// so, and a file that cannot be shown says that instead.
void TestWidgetWhiteBoard::opensInTheBackground_data()
{
    QTest::addColumn<QString>("file");
    QTest::addColumn<bool>("opens");
    QTest::newRow("courseware") << kCourseware << true;
    QTest::newRow("not a PDF") << QStringLiteral(LESSONRY_SOURCE_DIR "/tests/data/pdf/makefixtures.sh") << false;
    QTest::newRow("damaged") << QStringLiteral(LESSONRY_SOURCE_DIR "/tests/data/pdf/damaged.pdf") << false;
    QTest::newRow("no pages") << QStringLiteral(LESSONRY_SOURCE_DIR "/tests/data/pdf/nopages.pdf") << false;
    QTest::newRow("missing") << m_dir.filePath("missing.pdf") << false;
}

void TestWidgetWhiteBoard::opensInTheBackground()
{
    QFETCH(QString, file);
    QFETCH(bool, opens);
    WidgetWhiteBoard board;
    board.setPrerenderEnabled(false);
    board.resize(1190, 840);
    board.show();
    QSignalSpy opened(&board, &WidgetWhiteBoard::signal_documentOpened);
    QSignalSpy pages(&board, &WidgetWhiteBoard::returnPageNum);
    board.openPdfInBackground(file);
    QVERIFY(!board.isDocumentOpen());
    QCOMPARE(opened.size(), 0);
    QVERIFY(opened.wait());
    QCOMPARE(opened.first().first().toBool(), opens);
    QCOMPARE(board.isDocumentOpen(), opens);
    QCOMPARE(board.pageCount(), opens ? 4 : 0);
    QCOMPARE(pages.size(), opens ? 1 : 0);
    if (!opens)
        return;
    QCOMPARE(board.pageImageSize(), QSize(1190, 840));
    QTRY_VERIFY(board.isRenderingDone());
    MaterialDoc doc;
    QVERIFY(doc.openFile(kCourseware, QString()));
    QImage page;
    QVERIFY(doc.getPageImage(0, board.currentScale(), page));
    QCOMPARE(board.renderedPage(), page.convertToFormat(QImage::Format_ARGB32_Premultiplied));
}

// A document closed, or replaced, before it finished opening never shows.
void TestWidgetWhiteBoard::closingWhileOpeningKeepsNothing()
{
    WidgetWhiteBoard board;
    board.resize(1190, 840);
    board.show();
    QSignalSpy opened(&board, &WidgetWhiteBoard::signal_documentOpened);
    board.openPdfInBackground(kCourseware);
    board.closeMaterial();
    // Opening waits behind whatever the render thread was doing.
    QVERIFY(board.openPdf(QStringLiteral(LESSONRY_SOURCE_DIR "/tests/data/pdf/nopages.pdf")) == false);
    TestUtil::drainEvents();
    QCOMPARE(opened.size(), 0);
    QVERIFY(!board.isDocumentOpen());
    board.openPdfInBackground(kCourseware);
    QVERIFY(board.openPdf(kCourseware));
    TestUtil::drainEvents();
    QCOMPARE(opened.size(), 0);
    QCOMPARE(board.pageCount(), 4);
}

void TestWidgetWhiteBoard::emptyViewRendersOnFirstResize()
{
    WidgetWhiteBoard board;
    board.setPrerenderEnabled(false);
    board.setAttribute(Qt::WA_DontShowOnScreen);
    board.setMinimumSize(0, 0);
    board.resize(0, 0);
    QSignalSpy pages(&board, &WidgetWhiteBoard::returnPageNum);
    QVERIFY(board.openPdf(kCourseware));
    QCOMPARE(pages.size(), 0);
    QVERIFY(board.pageImageSize().isEmpty());
    board.resize(1190, 840);
    board.show();
    QTRY_COMPARE(pages.size(), 1);
    QCOMPARE(board.pageImageSize(), QSize(1190, 840));
}

void TestWidgetWhiteBoard::neighbourPageRenderedAhead()
{
    auto board = openBoard();
    QVERIFY(board);
    board->setPrerenderEnabled(true);
    QVERIFY(board->gotoPage(1));
    // Both neighbours, whether page 1 was rendered before the turn or not.
    QTRY_VERIFY(board->hasPrerenderedPage(2));
    QTRY_VERIFY(board->hasPrerenderedPage(0));
    QVERIFY(board->gotoPage(2));
    // Shown at once from the page rendered ahead, and it is page 3 as the
    // document renders it on its own, not the page left nor another one.
    QVERIFY(board->isRenderingDone());
    MaterialDoc doc;
    QVERIFY(doc.openFile(kCourseware, QString()));
    const auto pageAlone = [&doc, &board](int page) {
        QImage image;
        if (!doc.getPageImage(page, board->currentScale(), image))
            return QImage();
        return image.convertToFormat(QImage::Format_RGB32);
    };
    const QImage shown = board->renderedPage().convertToFormat(QImage::Format_RGB32);
    QVERIFY(!shown.isNull());
    QCOMPARE(shown, pageAlone(2));
    QVERIFY(shown != pageAlone(1));
    QVERIFY(shown != pageAlone(3));
    QTRY_VERIFY(board->hasPrerenderedPage(3));
    QVERIFY(!board->hasPrerenderedPage(0));
}

QTEST_MAIN(TestWidgetWhiteBoard)
#include "tst_widgetwhiteboard.moc"
