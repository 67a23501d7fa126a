// The whiteboard's rendering off the GUI thread: pages and the cached layer
// come from render threads, the board shows the page asked for last after
// rapid turns, strokes are drawn right whichever way the layer was made,
// nothing arriving after a board is gone does harm, and the PDF layer
// sizes pages without rendering, stops a render when asked and reuses
// page buffers.
#include "randomstroke.h"
#include "testutil.h"

#include "biz/whiteboard/drawunit.h"
#include "biz/whiteboard/documentpages.h"
#include "biz/whiteboard/materialdoc.h"
#include "biz/whiteboard/pagerenderer.h"
#include "platform/pdf/pdfdocument.h"
#include "widget/widgetwhiteboard.h"

#include <QApplication>
#include <QRandomGenerator>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

#include <atomic>
#include <iterator>
#include <memory>
#include <thread>

namespace {

const QString kCourseware = QStringLiteral(LESSONRY_SOURCE_DIR "/tools/lessonservice/fixtures/courseware.pdf");

// A PDF file of these objects (object i + 1 is objects[i]; 1 the catalog).
QByteArray pdfOf(const QVector<QByteArray> &objects)
{
    QByteArray pdf = "%PDF-1.4\n";
    QVector<int> offsets;
    for (int i = 0; i < objects.size(); ++i) {
        offsets << pdf.size();
        pdf += QByteArray::number(i + 1) + " 0 obj\n" + objects[i] + "\nendobj\n";
    }
    const int xref = pdf.size();
    pdf += "xref\n0 " + QByteArray::number(objects.size() + 1) + "\n0000000000 65535 f \n";
    for (int offset : offsets)
        pdf += QByteArray::number(offset).rightJustified(10, '0') + " 00000 n \n";
    pdf += "trailer\n<< /Size " + QByteArray::number(objects.size() + 1) + " /Root 1 0 R >>\nstartxref\n"
        + QByteArray::number(xref) + "\n%%EOF\n";
    return pdf;
}

// Pages whose bounds come from more than their own MediaBox: inherited
// from the page tree, cut by a CropBox off the origin, turned by Rotate,
// with sizes that are not whole points.
QByteArray pageGeometryPdf()
{
    const QByteArray pages[] = {
        "<< /Type /Page /Parent 2 0 R >>",
        "<< /Type /Page /Parent 2 0 R /Rotate 90 >>",
        "<< /Type /Page /Parent 2 0 R /MediaBox [0 0 612.5 791.3] /CropBox [30.2 40.7 500 700.9] >>",
        "<< /Type /Page /Parent 2 0 R /MediaBox [-20 -30 400 300] /Rotate 270 >>",
        "<< /Type /Page /Parent 2 0 R /MediaBox [0 0 300 200] /CropBox [10 10 250 150] /Rotate 180 >>",
    };
    QVector<QByteArray> objects;
    QByteArray kids;
    for (int i = 0; i < int(std::size(pages)); ++i)
        kids += QByteArray::number(3 + i) + " 0 R ";
    objects << "<< /Type /Catalog /Pages 2 0 R >>";
    objects << "<< /Type /Pages /Kids [" + kids + "] /Count " + QByteArray::number(int(std::size(pages)))
            + " /MediaBox [0 0 595 420] >>";
    for (const QByteArray &page : pages)
        objects << page;
    return pdfOf(objects);
}

// A PDF of light pages, each with a coloured block at its own place, and
// optionally one heavy page (the last) of deeply nested graphics states
// that takes MuPDF a long while to draw.
QByteArray makePdf(int lightPages, int heavyNesting)
{
    QVector<QByteArray> objects; // object i + 1
    const int pages = lightPages + (heavyNesting > 0 ? 1 : 0);
    QByteArray kids;
    for (int i = 0; i < pages; ++i)
        kids += QByteArray::number(3 + 2 * i) + " 0 R ";
    objects << "<< /Type /Catalog /Pages 2 0 R >>";
    objects << "<< /Type /Pages /Kids [" + kids + "] /Count " + QByteArray::number(pages) + " >>";
    for (int i = 0; i < pages; ++i) {
        QByteArray content;
        if (i < lightPages) {
            content = QByteArray::number(0.2 * (i % 5), 'f', 1) + " 0.3 0.8 rg " + QByteArray::number(40 + 100 * i)
                + " 200 80 120 re f";
        } else {
            for (int n = 0; n < heavyNesting; ++n)
                content += "q 0.5 g 1 0 0 1 0.001 0 cm 100 100 20 20 re f\n";
            for (int n = 0; n < heavyNesting; ++n)
                content += "Q\n";
        }
        objects << "<< /Type /Page /Parent 2 0 R /MediaBox [0 0 595 420] /Contents "
                + QByteArray::number(4 + 2 * i) + " 0 R >>";
        objects << "<< /Length " + QByteArray::number(content.size()) + " >>\nstream\n" + content + "\nendstream";
    }
    return pdfOf(objects);
}

QImage reference(const QString &file, int page, float scale)
{
    MaterialDoc doc;
    QImage image;
    if (doc.openFile(file, QString()))
        doc.getPageImage(page, scale, image);
    return image.convertToFormat(QImage::Format_ARGB32_Premultiplied);
}

DrawCurveUnit *randomStroke(QRandomGenerator &random, const QSize &page, const QString &owner)
{
    const QColor colour = QColor::fromRgb(random.generate() | 0xff000000u);
    return randomStroke(random, page, colour, owner, 20, 15);
}

// The board as it shows itself (through its paint event and layer),
// without the tool bar's widgets over it.
QImage shown(WidgetWhiteBoard &board)
{
    QImage image(board.size(), QImage::Format_ARGB32_Premultiplied);
    board.render(&image, QPoint(), QRegion(), QWidget::DrawWindowBackground);
    return image;
}

QImage plain(WidgetWhiteBoard &board)
{
    QImage image(board.size(), QImage::Format_ARGB32_Premultiplied);
    board.paintUncached(&image);
    return image;
}

struct InstanceDeleter
{
    void operator()(PdfDocument *instance) const { DestoryPdfInstance(instance); }
};
using Instance = std::unique_ptr<PdfDocument, InstanceDeleter>;

bool openPath(PdfDocument *doc, const QString &path)
{
    return doc->open(reinterpret_cast<const char16_t *>(path.utf16()), "");
}

} // namespace

class TestWhiteboardRender : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();

    void rapidTurnsEndOnThePageAsked_data();
    void rapidTurnsEndOnThePageAsked();
    void heavyPageTurnReturnsAtOnce();
    void layerFromItsThreadMatchesPlainPaint();
    void unitsArrivingWhileTheLayerIsPaintedAreKept();
    void resultsAfterTheBoardIsGoneAreDropped();
    void rendererDropsOldGenerations();

    void pdfLayerSizesPagesWithoutRendering_data();
    void pdfLayerSizesPagesWithoutRendering();
    void pageBoundsAgreeWithTheRender();
    void pdfLayerStopsARenderWhenAsked();
    void pdfLayerReusesPageBuffers();

private:
    std::unique_ptr<WidgetWhiteBoard> openBoard(const QString &file, bool prerender);
    static bool waitDone(WidgetWhiteBoard &board);

    QTemporaryDir m_dir;
    QString m_heavy; // 4 light pages, then a heavy one
};

void TestWhiteboardRender::initTestCase()
{
    QVERIFY(m_dir.isValid());
    m_heavy = m_dir.filePath(QStringLiteral("heavy.pdf"));
    QVERIFY(TestUtil::writeFile(m_heavy, makePdf(4, 60000)));
}

std::unique_ptr<WidgetWhiteBoard> TestWhiteboardRender::openBoard(const QString &file, bool prerender)
{
    auto board = std::make_unique<WidgetWhiteBoard>();
    board->setPrerenderEnabled(prerender);
    board->resize(1190, 840);
    board->show();
    if (!board->openPdf(file))
        return nullptr;
    return board;
}

bool TestWhiteboardRender::waitDone(WidgetWhiteBoard &board)
{
    QSignalSpy done(&board, &WidgetWhiteBoard::signal_renderingDone);
    // Painting asks for the layer; a board nobody looks at may not paint.
    board.update();
    return board.isRenderingDone() || done.wait(20000) || board.isRenderingDone();
}

void TestWhiteboardRender::rapidTurnsEndOnThePageAsked_data()
{
    QTest::addColumn<QString>("file");
    QTest::addColumn<bool>("prerender");
    QTest::addColumn<QVector<int>>("turns");
    QTest::newRow("forward") << kCourseware << true << QVector<int> { 1, 2, 3 };
    QTest::newRow("back and forth") << kCourseware << true << QVector<int> { 3, 0, 2, 1, 3, 2 };
    QTest::newRow("without rendering ahead") << kCourseware << false << QVector<int> { 2, 3, 1 };
    QTest::newRow("away from a heavy page") << m_heavy << true << QVector<int> { 4, 3, 4, 1 };
    QTest::newRow("onto a light page before the heavy") << m_heavy << true << QVector<int> { 3, 4, 3, 2 };
}

void TestWhiteboardRender::rapidTurnsEndOnThePageAsked()
{
    QFETCH(QString, file);
    QFETCH(bool, prerender);
    QFETCH(QVector<int>, turns);
    auto board = openBoard(file, prerender);
    QVERIFY(board);
    // Turned faster than pages render: no event is handled in between.
    for (int page : turns)
        QVERIFY(board->gotoPage(page));
    const int last = turns.last();
    QCOMPARE(board->currentPageIndex(), last);
    QVERIFY(waitDone(*board));
    QCOMPARE(board->currentPageIndex(), last);
    const QImage expected = reference(file, last, board->currentScale());
    QVERIFY(!expected.isNull());
    QCOMPARE(board->pageImageSize(), expected.size());
    QCOMPARE(board->renderedPage(), expected);
    // The pages differ, so a neighbour's picture would have shown.
    QVERIFY(reference(file, last == 0 ? 1 : last - 1, board->currentScale()) != expected);
    // And what is shown on screen is that page too.
    QCOMPARE(shown(*board).copy(QRect(board->currentPageOrigin(), board->pageImageSize())), expected);
}

// A page that takes long to draw does not hold up the turn: its index,
// size and place are there at once, its pixels later, and a turn away
// before they come shows the page turned to.
void TestWhiteboardRender::heavyPageTurnReturnsAtOnce()
{
    auto board = openBoard(m_heavy, false);
    QVERIFY(board);
    QVERIFY(waitDone(*board));
    QVERIFY(board->gotoPage(4));
    QCOMPARE(board->currentPageIndex(), 4);
    QCOMPARE(board->pageImageSize(), QSize(1190, 840));
    QVERIFY(!board->isRenderingDone());
    // Meanwhile the page is white where it will be, the rest board grey.
    const QImage meanwhile = shown(*board);
    QCOMPARE(meanwhile.pixelColor(600, 420), QColor(Qt::white));
    QVERIFY(board->gotoPage(2));
    QVERIFY(waitDone(*board));
    QCOMPARE(board->renderedPage(), reference(m_heavy, 2, board->currentScale()));
}

void TestWhiteboardRender::layerFromItsThreadMatchesPlainPaint()
{
    auto board = openBoard(kCourseware, true);
    QVERIFY(board);
    QVERIFY(waitDone(*board));
    QRandomGenerator random(7);
    for (int i = 0; i < 300; ++i)
        board->addDrawUnit(1, randomStroke(random, board->pageImageSize(), QStringLiteral("2000%1").arg(i % 3)));
    auto *text = new TextUnit(QColor(Qt::blue), QStringLiteral("30001"), QString());
    text->setFontSize(40, board->pageImageSize().height());
    text->setText(QStringLiteral("Look here"));
    text->setRect(QRect(100, 100, 300, 60), board->pageImageSize().width(), board->pageImageSize().height());
    board->addDrawUnit(1, text);

    QVERIFY(board->gotoPage(1));
    QVERIFY(waitDone(*board));
    QCOMPARE(shown(*board), plain(*board));

    // An erase of one participant's strokes: the layer is painted again.
    board->removeUserDrawUnits(QStringLiteral("20001"), 1);
    QVERIFY(waitDone(*board));
    QCOMPARE(shown(*board), plain(*board));

    // A resize: new zoom, new page image, new layer.
    board->resize(900, 700);
    QVERIFY(waitDone(*board));
    QCOMPARE(shown(*board), plain(*board));
}

void TestWhiteboardRender::unitsArrivingWhileTheLayerIsPaintedAreKept()
{
    auto board = openBoard(kCourseware, false);
    QVERIFY(board);
    QVERIFY(waitDone(*board));
    QRandomGenerator random(11);
    for (int i = 0; i < 400; ++i)
        board->addDrawUnit(0, randomStroke(random, board->pageImageSize(), QStringLiteral("20001")));
    board->clearPageDrawUnits(0);
    for (int i = 0; i < 400; ++i)
        board->addDrawUnit(0, randomStroke(random, board->pageImageSize(), QStringLiteral("20002")));
    board->repaint(); // asks for the layer of these 400
    for (int i = 0; i < 5; ++i)
        board->addDrawUnit(0, randomStroke(random, board->pageImageSize(), QStringLiteral("20001")));
    QVERIFY(waitDone(*board));
    QCOMPARE(board->unitCount(0), 405);
    QCOMPARE(shown(*board), plain(*board));
}

void TestWhiteboardRender::resultsAfterTheBoardIsGoneAreDropped()
{
    for (int round = 0; round < 3; ++round) {
        auto board = openBoard(m_heavy, true);
        QVERIFY(board);
        QRandomGenerator random(round);
        for (int i = 0; i < 500; ++i)
            board->addDrawUnit(3, randomStroke(random, board->pageImageSize(), QStringLiteral("20001")));
        QVERIFY(board->gotoPage(3)); // neighbour 4 is the heavy one
        board->repaint();
        if (round == 1)
            QVERIFY(board->gotoPage(4));
        board.reset();
        TestUtil::drainEvents();
    }
    // The render threads are gone with their boards; a new board works.
    auto board = openBoard(kCourseware, true);
    QVERIFY(board);
    QVERIFY(waitDone(*board));
    QCOMPARE(board->renderedPage(), reference(kCourseware, 0, board->currentScale()));
}

void TestWhiteboardRender::rendererDropsOldGenerations()
{
    PageRenderer renderer;
    QSignalSpy rendered(&renderer, &PageRenderer::pageRendered);
    renderer.open(m_heavy, QSize());
    renderer.request(4, 100, PageRenderer::Shown);
    renderer.open(kCourseware, QSize());
    const int generation = renderer.generation();
    renderer.request(2, 100, PageRenderer::Shown);
    renderer.request(7, 100, PageRenderer::Next); // no such page
    renderer.waitIdle();
    QTRY_COMPARE(rendered.count(), 2);
    TestUtil::drainEvents();
    QCOMPARE(rendered.count(), 2);
    QCOMPARE(rendered.at(0).at(0).toInt(), generation);
    QCOMPARE(rendered.at(0).at(1).toInt(), 2);
    QCOMPARE(rendered.at(0).at(3).value<QImage>().convertToFormat(QImage::Format_ARGB32_Premultiplied),
             reference(kCourseware, 2, 100));
    QCOMPARE(rendered.at(1).at(1).toInt(), 7);
    QVERIFY(rendered.at(1).at(3).value<QImage>().isNull());
}

void TestWhiteboardRender::pdfLayerSizesPagesWithoutRendering_data()
{
    QTest::addColumn<float>("scale");
    for (float scale : { 1.f, 33.3f, 100.f, 137.9f, 200.f, 414.2f })
        QTest::newRow(qPrintable(QString::number(double(scale)))) << scale;
}

void TestWhiteboardRender::pdfLayerSizesPagesWithoutRendering()
{
    QFETCH(float, scale);
    Instance doc(GetPdfInstance());
    QVERIFY(openPath(doc.get(), kCourseware));
    for (int page = 0; page < doc->pageCount(); ++page) {
        int size[2] = { -1, -1 };
        doc->renderSize(page, scale, size);
        PdfRenderRecord record;
        QVERIFY(doc->renderPage(page, &record, scale));
        QCOMPARE(size[0], record.width);
        QCOMPARE(size[1], record.height);
        FreePdfPixels(record.pixels);
    }
    int size[2] = { -1, -1 };
    doc->renderSize(doc->pageCount(), scale, size);
    QCOMPARE(size[0], 0);
    doc->renderSize(0, 1e6f, size); // beyond the layer's image limit
    QCOMPARE(size[0], 0);
    QCOMPARE(size[1], 0);
}

// The bounds read from the page tree (without loading a page) give the
// sizes the board lays pages out with: they are those of the rendered
// images, whatever the pages inherit, crop or turn.
void TestWhiteboardRender::pageBoundsAgreeWithTheRender()
{
    const QString file = m_dir.filePath(QStringLiteral("geometry.pdf"));
    QVERIFY(TestUtil::writeFile(file, pageGeometryPdf()));
    MaterialDoc doc;
    QVERIFY(doc.openFile(file, QString()));
    const DocumentPages pages = doc.readPages();
    QCOMPARE(pages.count(), 5);
    QCOMPARE(pages.size(1), QSizeF(420, 595)); // turned
    for (float scale : { 37.5f, 100.f, 213.7f }) {
        for (int page = 0; page < pages.count(); ++page) {
            QImage image;
            QVERIFY(doc.getPageImage(page, scale, image));
            QCOMPARE(pages.imageSize(page, scale), image.size());
        }
    }
    QVERIFY(pages.imageSize(5, 100).isEmpty());
    QVERIFY(pages.imageSize(0, 1e6f).isEmpty());
}

void TestWhiteboardRender::pdfLayerStopsARenderWhenAsked()
{
    Instance doc(GetPdfInstance());
    QVERIFY(openPath(doc.get(), m_heavy));
    std::atomic<bool> finished { false };
    bool rendered = true;
    std::string error;
    PdfRenderRecord record;
    std::thread renderer([&] {
        rendered = doc->renderPage(4, &record, 100);
        error = doc->lastError();
        finished = true;
    });
    // Until the render stops: an abort before it began changes nothing.
    while (!finished) {
        doc->abortRender();
        std::this_thread::yield();
    }
    renderer.join();
    if (rendered)
        FreePdfPixels(record.pixels);
    else
        QCOMPARE(QString::fromStdString(error), QStringLiteral("cannot render page: aborted"));
    // A stopped render does not stop the next one.
    PdfRenderRecord again;
    QVERIFY(doc->renderPage(0, &again, 100));
    FreePdfPixels(again.pixels);
}

void TestWhiteboardRender::pdfLayerReusesPageBuffers()
{
    Instance doc(GetPdfInstance());
    QVERIFY(openPath(doc.get(), kCourseware));
    PdfRenderRecord first;
    QVERIFY(doc->renderPage(0, &first, 150));
    unsigned char *const pixels = first.pixels;
    FreePdfPixels(first.pixels);
    // The next page of the same size is drawn into the buffer let go.
    PdfRenderRecord second;
    QVERIFY(doc->renderPage(1, &second, 150));
    QCOMPARE(static_cast<void *>(second.pixels), static_cast<void *>(pixels));
    // Its pixels are the page's own, not the last page's.
    PdfRenderRecord fresh;
    Instance other(GetPdfInstance());
    QVERIFY(openPath(other.get(), kCourseware));
    QVERIFY(other->renderPage(1, &fresh, 150));
    QCOMPARE(memcmp(second.pixels, fresh.pixels, size_t(second.bytesPerLine) * size_t(second.height)), 0);
    FreePdfPixels(fresh.pixels);
    FreePdfPixels(second.pixels);
}

QTEST_MAIN(TestWhiteboardRender)
#include "tst_whiteboardrender.moc"
