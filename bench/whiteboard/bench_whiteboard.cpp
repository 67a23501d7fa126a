// Page render and stroke repaint of the whiteboard, measured in one run:
// - one courseware page rendered through the PDF layer (PdfDocument, and
//   MaterialDoc with its page image) next to `mutool draw` of the same
//   page at the same scale, both within one process and per process;
// - a repaint of 1000 strokes during drawing, plain and over the board's
//   cached layer;
// - a page turn of the board, rendered when asked and rendered ahead.
// Times are medians of repeated runs.
#include "randomstroke.h"

#include "biz/whiteboard/drawunit.h"
#include "biz/whiteboard/materialdoc.h"
#include "platform/pdf/pdfdocument.h"
#include "widget/widgetwhiteboard.h"

#include <QElapsedTimer>
#include <QApplication>
#include <QImage>
#include <QProcess>
#include <QRandomGenerator>
#include <QRegularExpression>
#include <QStandardPaths>

#include <algorithm>
#include <cstdio>
#include <functional>
#include <memory>
#include <vector>

namespace {

const QString kCourseware = QStringLiteral(LESSONRY_SOURCE_DIR "/tools/lessonservice/fixtures/courseware.pdf");
const int kPage = 1;        // 0-based: the second page
const float kScale = 150.0; // percent; 108 dpi for mutool

double medianMs(int runs, const std::function<void()> &work)
{
    std::vector<double> times;
    for (int i = 0; i < runs; ++i) {
        QElapsedTimer timer;
        timer.start();
        work();
        times.push_back(timer.nsecsElapsed() / 1e6);
    }
    std::sort(times.begin(), times.end());
    return times[times.size() / 2];
}

void renderThroughLayer(int runs)
{
    std::unique_ptr<PdfDocument, void (*)(PdfDocument *)> doc(GetPdfInstance(), DestoryPdfInstance);
    if (!doc || !doc->open(reinterpret_cast<const char16_t *>(kCourseware.utf16()), "")) {
        std::printf("cannot open %s\n", qPrintable(kCourseware));
        return;
    }
    int width = 0;
    int height = 0;
    const double layer = medianMs(runs, [&] {
        PdfRenderRecord record;
        doc->renderPage(kPage, &record, kScale);
        width = record.width;
        height = record.height;
        FreePdfPixels(record.pixels);
    });

    MaterialDoc material;
    material.openFile(kCourseware, QString());
    QImage image;
    const double withImage = medianMs(runs, [&] { material.getPageImage(kPage, kScale, image); });

    std::printf("page %d at %.0f%% (%d x %d pixels), median of %d\n", kPage + 1, double(kScale), width, height, runs);
    std::printf("%-44s %8.2f ms\n", "PdfDocument::renderPage", layer);
    std::printf("%-44s %8.2f ms\n", "MaterialDoc::getPageImage", withImage);
}

void renderThroughMutool(int runs, int pageIdx = kPage, float scale = kScale)
{
    const QString mutool = QStandardPaths::findExecutable(QStringLiteral("mutool"));
    if (mutool.isEmpty()) {
        std::printf("%-44s %s\n", "mutool draw", "not installed (mupdf-tools)");
        return;
    }
    const QString dpi = QString::number(72.0 * scale / 100);
    const QString page = QString::number(pageIdx + 1);

    // In one process: the same page many times, mutool's own total.
    QStringList pages;
    for (int i = 0; i < runs; ++i)
        pages << page;
    QProcess many;
    many.start(mutool, { QStringLiteral("draw"), QStringLiteral("-q"), QStringLiteral("-s"), QStringLiteral("t"),
                         QStringLiteral("-F"), QStringLiteral("pam"), QStringLiteral("-o"), QStringLiteral("/dev/null"),
                         QStringLiteral("-r"), dpi, kCourseware, pages.join(QLatin1Char(',')) });
    many.waitForFinished(120000);
    const QString timings = QString::fromLocal8Bit(many.readAllStandardOutput() + many.readAllStandardError());
    const QRegularExpressionMatch total = QRegularExpression(QStringLiteral("total (\\d+)ms")).match(timings);
    if (total.hasMatch())
        std::printf("%-44s %8.2f ms\n", "mutool draw, in one process (mean)", total.captured(1).toDouble() / runs);

    // One process per page, as a command would be run.
    const double perProcess = medianMs(qMin(runs, 30), [&] {
        QProcess one;
        one.start(mutool, { QStringLiteral("draw"), QStringLiteral("-q"), QStringLiteral("-F"), QStringLiteral("pam"),
                            QStringLiteral("-o"), QStringLiteral("/dev/null"), QStringLiteral("-r"), dpi,
                            kCourseware, page });
        one.waitForFinished(30000);
    });
    std::printf("%-44s %8.2f ms\n", "mutool draw, one process per page", perProcess);
}

// 1000 strokes of 40 points on the shown page of a board, repainted while
// a stroke is being drawn: the plain paint (every unit with its own
// painter, nothing cached) next to the board's paint over its cached layer
// of finished units; both must give the same pixels.
void repaintStrokes(int runs)
{
    WidgetWhiteBoard board;
    board.setPrerenderEnabled(false);
    board.resize(1280, 900);
    if (!board.openPdf(kCourseware)) {
        std::printf("cannot open %s\n", qPrintable(kCourseware));
        return;
    }
    const QSize page = board.pageImageSize();
    QRandomGenerator random(12);
    for (int i = 0; i < 1000; ++i) {
        board.addDrawUnit(0, randomStroke(random, page, QColor(245, 67, 48), QStringLiteral("20001"), 40, 12));
    }
    QImage plain(board.size(), QImage::Format_ARGB32_Premultiplied);
    QImage cached(board.size(), QImage::Format_ARGB32_Premultiplied);
    const double plainMs = medianMs(runs, [&] { board.paintUncached(&plain); });
    board.paintCached(&cached); // builds the layer once
    const double cachedMs = medianMs(runs * 10, [&] { board.paintCached(&cached); });
    std::printf("1000 strokes of 40 points on a %d x %d page, median of %d\n", page.width(), page.height(), runs);
    std::printf("%-44s %8.2f ms\n", "repaint, one painter per stroke", plainMs);
    std::printf("%-44s %8.3f ms\n", "repaint over the cached layer", cachedMs);
    std::printf("%-44s %8s\n", "same pixels", plain == cached ? "yes" : "NO");
}

// A page turn on the board: the next page rendered when asked, and the next
// page rendered ahead while the reader looked at the page before it.
void pageTurn(int runs)
{
    WidgetWhiteBoard board;
    board.resize(1280, 900);
    if (!board.openPdf(kCourseware))
        return;
    QImage shown(board.size(), QImage::Format_ARGB32_Premultiplied);
    const auto turn = [&](bool ahead) {
        board.setPrerenderEnabled(ahead);
        std::vector<double> times;
        for (int i = 0; i < runs; ++i) {
            board.gotoPage(0);
            if (ahead) {
                // What the board does once a page is shown and idle.
                QElapsedTimer idle;
                idle.start();
                while (!board.hasPrerenderedPage(1) && idle.elapsed() < 2000)
                    QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
            }
            QElapsedTimer timer;
            timer.start();
            board.gotoPage(1);
            board.paintCached(&shown);
            times.push_back(timer.nsecsElapsed() / 1e6);
        }
        std::sort(times.begin(), times.end());
        return times[times.size() / 2];
    };
    std::printf("next page shown on a %d x %d board (page at %.0f%%), median of %d\n", board.width(), board.height(),
                double(board.currentScale()), runs);
    std::printf("%-44s %8.2f ms\n", "page turn, rendered when asked", turn(false));
    std::printf("%-44s %8.2f ms\n", "page turn, neighbour rendered ahead", turn(true));
    renderThroughMutool(runs, 1, board.currentScale());
}

} // namespace

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    const int runs = argc > 1 ? qMax(5, atoi(argv[1])) : 50;
    renderThroughLayer(runs);
    renderThroughMutool(runs);
    std::printf("\n");
    repaintStrokes(qMax(5, runs / 5));
    std::printf("\n");
    pageTurn(qMax(5, runs / 5));
    return 0;
}
