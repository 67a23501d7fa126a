// The whiteboard's page work against its peers, in one run, alternating:
//
// stall: the GUI thread's longest stall (the largest gap between the
//   ticks of a 1 ms timer) and the most CPU it ran between two ticks, each
//   with the step of the script it fell in, while a script opens a real
//   document, turns every page, lays 1000 strokes on a page (ten per event,
//   as they arrive), erases them as the teacher does and resizes the board;
//   the board as built (document, pages and layer on render threads) next
//   to the same board made to finish every step on the GUI thread (how it
//   drew before). Every round of each runs in a fresh process, so every
//   round is cold (fonts, the document, the toolkit's first paints).
// turns: cold page turns summed over a real document, each page turned to
//   once in a fresh process (never rendered before in it) up to the page
//   shown, next to `mutool draw` of the same pages at the same resolution
//   in one process (its own total, which leaves out opening the document;
//   the board's first page includes it, so the sums after the first page
//   are shown too). The two take turns to go first.
//
// hostile: the GUI thread's longest stall while whiteboard messages at the
//   bounds of what is received arrive through the board's receive path
//   (2000-point strokes across the whole page in the widest pen, texts of
//   2000 characters in the largest font, some beyond the bounds, which are
//   dropped, and the heaviest strokes and texts the GUI thread paints
//   itself), with a turn away and back and an erase, next to the same
//   number of strokes as a real pen sends them.
//
//   bench_boardrender [stall|turns|hostile|both] [rounds] [pdf]
//
// The default document is the 36-page libtasn1 manual of Debian's
// libtasn1-doc (typeset by pdfTeX, not by this project).
#include "randomstroke.h"

#include "biz/whiteboard/drawunit.h"
#include "biz/whiteboard/whiteboardmsgutil.h"
#include "widget/widgetwhiteboard.h"

#include <QApplication>
#include <QEventLoop>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QRandomGenerator>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QThread>
#include <QTimer>

#include <algorithm>
#include <memory>
#include <ctime>
#include <cstdio>
#include <vector>

namespace {

const QString kDefaultPdf = QStringLiteral("/usr/share/doc/libtasn1-doc/libtasn1.pdf");
const QSize kBoard(1280, 900);

double threadCpuMs()
{
    timespec now {};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
    return now.tv_sec * 1e3 + now.tv_nsec / 1e6;
}

// The longest time the event loop went without running a 1 ms timer, and
// the most CPU time the GUI thread spent within one such gap: on a loaded
// machine a gap may be the thread waiting for a core, its CPU time is the
// work it did.
class StallMeter : public QObject
{
public:
    StallMeter()
    {
        timer.setTimerType(Qt::PreciseTimer);
        timer.setInterval(1);
        connect(&timer, &QTimer::timeout, this, [this] {
            const qint64 now = clock.nsecsElapsed();
            const double gap = (now - last) / 1e6;
            const double cpu = threadCpuMs();
            if (cpu - lastCpu > longestCpu) {
                longestCpu = cpu - lastCpu;
                longestCpuStep = step;
            }
            lastCpu = cpu;
            if (gap > longest) {
                longest = gap;
                longestStep = step;
            }
            if (gap > 16)
                ++over16;
            last = now;
        });
    }
    void start()
    {
        longest = 0;
        longestCpu = 0;
        over16 = 0;
        clock.start();
        last = 0;
        lastCpu = threadCpuMs();
        timer.start();
    }
    void stop() { timer.stop(); }

    double longest = 0;
    double longestCpu = 0;
    int over16 = 0;
    // What the script was doing: where the longest stall and the most
    // CPU in one gap fell.
    const char *step = "";
    const char *longestStep = "";
    const char *longestCpuStep = "";

private:
    QTimer timer;
    QElapsedTimer clock;
    qint64 last = 0;
    double lastCpu = 0;
};

// With BENCH_EVENTS set, the GUI thread's costliest events (its CPU time
// in each outermost event, with the receiver's class, the event type and
// the step of the script) are printed at the end: where a long stretch of
// GUI-thread work comes from.
class TimedApplication : public QApplication
{
public:
    using QApplication::QApplication;

    bool notify(QObject *receiver, QEvent *event) override
    {
        if (!timing || depth > 0 || QThread::currentThread() != thread())
            return QApplication::notify(receiver, event);
        ++depth;
        const double before = threadCpuMs();
        const char *type = receiver->metaObject()->className();
        const int eventType = event->type();
        const bool result = QApplication::notify(receiver, event);
        const double spent = threadCpuMs() - before;
        --depth;
        if (spent > 2)
            costly.push_back({ spent, QStringLiteral("%1 event %2 (%3)").arg(QLatin1String(type)).arg(eventType).arg(QLatin1String(*step)) });
        return result;
    }

    void report() const
    {
        std::vector<std::pair<double, QString>> sorted = costly;
        std::sort(sorted.begin(), sorted.end(), [](const auto &a, const auto &b) { return a.first > b.first; });
        for (size_t i = 0; i < sorted.size() && i < 12; ++i)
            std::fprintf(stderr, "event %6.2f ms CPU: %s\n", sorted[i].first, qPrintable(sorted[i].second));
    }

    bool timing = qEnvironmentVariableIsSet("BENCH_EVENTS");
    const char *const *step = &noStep;

private:
    static constexpr const char *noStep = "";
    int depth = 0;
    std::vector<std::pair<double, QString>> costly;
};

TimedApplication *timedApp()
{
    return static_cast<TimedApplication *>(QCoreApplication::instance());
}

// Runs the event loop, sleeping while there is nothing to do, until the
// board says its page is done (or 30 s pass).
void waitRendered(WidgetWhiteBoard &board)
{
    if (board.isRenderingDone())
        return;
    QEventLoop loop;
    QObject::connect(&board, &WidgetWhiteBoard::signal_renderingDone, &loop, &QEventLoop::quit);
    QTimer::singleShot(30000, &loop, &QEventLoop::quit);
    board.update(); // a board paints to ask for its layer
    loop.exec();
}

// Runs the event loop for a moment, so queued work shows in the meter.
void spinFor(int ms)
{
    QElapsedTimer clock;
    clock.start();
    while (clock.elapsed() < ms)
        QCoreApplication::processEvents(QEventLoop::AllEvents | QEventLoop::WaitForMoreEvents, 2);
}

DrawCurveUnit *stroke(QRandomGenerator &random, const QSize &page)
{
    return randomStroke(random, page, QColor(245, 67, 48), QStringLiteral("30001"), 40, 12);
}

struct StallFigures
{
    double longest = 0;
    double longestCpu = 0;
    int over16 = 0;
    QString where;
    QString cpuWhere;
};

// The script on one board. sync makes every step finish on the GUI thread,
// as the board did before its render threads.
StallFigures stallScript(const QString &pdf, bool sync)
{
    WidgetWhiteBoard board;
    board.resize(kBoard);
    board.show();
    QImage frame(kBoard, QImage::Format_ARGB32_Premultiplied);
    const auto settle = [&] {
        if (sync)
            board.paintCached(&frame);
        waitRendered(board);
        spinFor(5);
    };
    spinFor(200); // the window is shown and polished before the script
    StallMeter meter;
    meter.step = "open";
    timedApp()->step = &meter.step;
    meter.start();
    if (sync) {
        if (!board.openPdf(pdf))
            return {};
    } else {
        bool opened = false;
        QEventLoop loop;
        QObject::connect(&board, &WidgetWhiteBoard::signal_documentOpened, &loop, [&](bool ok) {
            opened = ok;
            loop.quit();
        });
        QTimer::singleShot(30000, &loop, &QEventLoop::quit);
        board.openPdfInBackground(pdf);
        loop.exec();
        if (!opened)
            return {};
    }
    settle();
    meter.step = "turn";
    const int pages = board.pageCount();
    for (int page = 1; page < pages; ++page) {
        board.gotoPage(page);
        settle();
    }
    // Strokes arrive on the page shown, ten per event.
    const int page = board.currentPageIndex();
    QRandomGenerator random(5);
    const auto strokes = [&](int count) {
        for (int batch = 0; batch < count / 10; ++batch) {
            QTimer::singleShot(0, &board, [&] {
                for (int i = 0; i < 10; ++i)
                    board.addDrawUnit(page, stroke(random, board.pageImageSize()));
                board.update();
                if (sync)
                    board.paintCached(&frame);
            });
            QCoreApplication::processEvents();
        }
        settle();
    };
    meter.step = "strokes";
    strokes(1000);
    // Turned away and back, erased, and the window resized twice.
    meter.step = "turn with strokes";
    board.gotoPage(page - 1);
    settle();
    board.gotoPage(page);
    settle();
    meter.step = "erase";
    board.clearPageDrawUnits(page);
    board.update();
    settle();
    meter.step = "strokes";
    strokes(100);
    meter.step = "resize";
    board.resize(kBoard - QSize(200, 150));
    settle();
    board.resize(kBoard);
    settle();
    meter.stop();
    return { meter.longest, meter.longestCpu, meter.over16, meter.longestStep, meter.longestCpuStep };
}

// In a fresh process: one round of the script; prints its figures.
int stallChild(const QString &pdf, bool sync)
{
    const StallFigures figures = stallScript(pdf, sync);
    timedApp()->report();
    if (figures.longest <= 0)
        return 1;
    std::printf("stall|%.3f|%d|%s|%.3f|%s\n", figures.longest, figures.over16, qPrintable(figures.where),
                figures.longestCpu, qPrintable(figures.cpuWhere));
    return 0;
}

StallFigures stallRound(const QString &pdf, bool sync)
{
    QProcess child;
    child.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    child.start(QCoreApplication::applicationFilePath(),
                { QStringLiteral("--stall-round"), sync ? QStringLiteral("gui") : QStringLiteral("threads"), pdf });
    child.waitForFinished(300000);
    const QStringList fields =
        QString::fromLatin1(child.readAllStandardOutput()).section(QStringLiteral("stall|"), 1).trimmed().split('|');
    if (child.exitCode() != 0 || fields.size() < 5)
        return {};
    return { fields.at(0).toDouble(), fields.at(3).toDouble(), fields.at(1).toInt(), fields.at(2), fields.at(4) };
}

void stall(const QString &pdf, int rounds)
{
    std::printf("GUI-thread stall while turning all pages of %s, 1000 strokes, erase, resizes (%d x %d board)\n",
                qPrintable(pdf), kBoard.width(), kBoard.height());
    std::printf("each round a fresh process of each, the two taking turns to go first\n");
    std::printf("longest gap of the event loop (gaps over 16 ms) where; CPU: the most the GUI thread ran in one gap, where\n");
    std::printf("%-6s %64s %64s %14s\n", "round", "render threads", "GUI thread", "ratio gap/CPU");
    std::vector<double> gapRatios, cpuRatios, threadedGap, plainGap, threadedCpu, plainCpu;
    for (int round = 1; round <= rounds; ++round) {
        StallFigures a;
        StallFigures b;
        if (round % 2) {
            a = stallRound(pdf, false);
            b = stallRound(pdf, true);
        } else {
            b = stallRound(pdf, true);
            a = stallRound(pdf, false);
        }
        if (a.longest <= 0 || b.longest <= 0) {
            std::printf("round %d failed\n", round);
            return;
        }
        gapRatios.push_back(a.longest / b.longest);
        cpuRatios.push_back(a.longestCpu / b.longestCpu);
        threadedGap.push_back(a.longest);
        plainGap.push_back(b.longest);
        threadedCpu.push_back(a.longestCpu);
        plainCpu.push_back(b.longestCpu);
        std::printf("%-6d %7.1f ms (%3d) %-17s CPU %5.1f ms %-17s %7.1f ms (%3d) %-17s CPU %5.1f ms %-17s %6.3f/%.3f\n",
                    round, a.longest, a.over16, qPrintable(a.where), a.longestCpu, qPrintable(a.cpuWhere), b.longest,
                    b.over16, qPrintable(b.where), b.longestCpu, qPrintable(b.cpuWhere), a.longest / b.longest,
                    a.longestCpu / b.longestCpu);
    }
    const auto range = [](std::vector<double> values) {
        std::sort(values.begin(), values.end());
        return QStringLiteral("%1-%2").arg(values.front(), 0, 'f', 1).arg(values.back(), 0, 'f', 1);
    };
    std::printf("longest gap: render threads %s ms, GUI thread %s ms; most CPU in one gap: %s ms against %s ms\n",
                qPrintable(range(threadedGap)), qPrintable(range(plainGap)), qPrintable(range(threadedCpu)),
                qPrintable(range(plainCpu)));
    std::printf("paired ratios: gap %s, CPU %s (x1000)\n", qPrintable(range([&] {
                    std::vector<double> r;
                    for (double v : gapRatios)
                        r.push_back(v * 1000);
                    return r;
                }())),
                qPrintable(range([&] {
                    std::vector<double> r;
                    for (double v : cpuRatios)
                        r.push_back(v * 1000);
                    return r;
                }())));
}

enum StrokeKind { Realistic, AtTheBound, BeyondTheBound, HeaviestOnTheGuiThread };

// A stroke message as the board receives it: realistic (40 points in small
// steps, a thin pen), the heaviest there is (every point at the other edge
// of the page, the widest pen), one point more than received strokes have,
// or the heaviest of those the GUI thread paints itself.
DrawUnitData strokeMessage(QRandomGenerator &random, int page, StrokeKind kind, int points = 0)
{
    DrawElement element;
    element.page = page + 1;
    element.type = 1;
    element.color = double(0xFF3043F5u);
    if (kind == Realistic) {
        element.size = 3;
        int x = random.bounded(10000);
        int y = random.bounded(10000);
        for (int p = 0; p < 40; ++p) {
            x = qBound(0, x + random.bounded(-100, 101), 10000);
            y = qBound(0, y + random.bounded(-100, 101), 10000);
            element.ptArray.append(WhiteboardMsgUtil::packPoint(QPoint(x, y)));
        }
    } else {
        element.size = WhiteboardMsgUtil::maxPenWidth;
        if (kind == AtTheBound)
            points = WhiteboardMsgUtil::maxUnitPoints;
        else if (kind == BeyondTheBound)
            points = WhiteboardMsgUtil::maxUnitPoints + 1;
        for (int p = 0; p < points; ++p)
            element.ptArray.append(WhiteboardMsgUtil::packPoint(p % 2 ? QPoint(10000, 10000) : QPoint(0, 0)));
    }
    return WhiteboardMsgUtil::toDrawUnitData(WhiteboardMsgUtil::toDrawObjectDetail(element), QStringLiteral("10001"),
                                             QStringLiteral("m1"));
}

WBTextData textMessage(int page, int length)
{
    WBTextData text;
    text.classid = QStringLiteral("10001");
    text.page = page + 1;
    text.color = double(0xFF000000u);
    text.fontSize = WhiteboardMsgUtil::maxFontSize;
    text.rect = { WhiteboardMsgUtil::packPoint(QPoint(0, 0)), WhiteboardMsgUtil::packPoint(QPoint(10000, 10000)) };
    for (int i = 0; i < length; ++i)
        text.text.append(i % 40 == 39 ? QChar(QLatin1Char('\n')) : QChar(0x4E00 + i % 500));
    return text;
}

// The receive script on one board; hostile sends messages at and beyond
// the bounds, else realistic strokes, as many.
StallFigures receiveScript(const QString &pdf, bool hostile)
{
    WidgetWhiteBoard board;
    board.resize(kBoard);
    board.show();
    spinFor(200);
    if (!board.openPdf(pdf))
        return {};
    waitRendered(board);
    const int page = board.currentPageIndex();
    QRandomGenerator random(7);
    const ImMsgInfo teacher { QString(), QStringLiteral("30001") };
    // The most points a stroke across the page may have to be painted by
    // the GUI thread, and the longest text.
    int directPoints = 100;
    for (;; --directPoints) {
        int ignored = 0;
        std::unique_ptr<DrawCurveUnit> unit(WhiteboardMsgUtil::createDrawUnitFromJson(
            teacher, strokeMessage(random, page, HeaviestOnTheGuiThread, directPoints), ignored));
        if (unit->paintWeight() <= WidgetWhiteBoard::directWeight)
            break;
    }
    const int directText = (WidgetWhiteBoard::directWeight - 1) / 2;
    // The meter starts after the script's own preparation.
    StallMeter meter;
    timedApp()->step = &meter.step;
    meter.step = "receive";
    meter.start();
    for (int i = 0; i < 200; ++i) {
        QTimer::singleShot(0, &board, [&, i] {
            if (!hostile) {
                board.slot_receiveDrawMsg(teacher, strokeMessage(random, page, Realistic));
                board.slot_receiveDrawMsg(teacher, strokeMessage(random, page, Realistic));
            } else if (i % 2 == 0) {
                board.slot_receiveDrawMsg(teacher, strokeMessage(random, page, HeaviestOnTheGuiThread, directPoints));
                board.slot_receiveWBTextMsg(teacher, textMessage(page, directText));
            } else {
                const bool beyond = i % 4 == 3;
                board.slot_receiveDrawMsg(teacher, strokeMessage(random, page, beyond ? BeyondTheBound : AtTheBound));
                board.slot_receiveWBTextMsg(teacher, textMessage(page, WhiteboardMsgUtil::maxTextLength + (beyond ? 1 : 0)));
            }
        });
        spinFor(5);
    }
    waitRendered(board);
    spinFor(5);
    meter.step = "turn with units";
    board.gotoPage(page == 0 ? 1 : page - 1);
    waitRendered(board);
    board.gotoPage(page);
    waitRendered(board);
    spinFor(5);
    meter.step = "erase";
    board.slot_receiveErasureMsg(teacher, ErasureData { QStringLiteral("10001"), QStringLiteral("m1"), page + 1, {} });
    waitRendered(board);
    spinFor(5);
    meter.stop();
    return { meter.longest, meter.longestCpu, meter.over16, meter.longestStep, meter.longestCpuStep };
}

void hostileReceive(const QString &pdf, int rounds)
{
    std::printf("GUI-thread stall while 200 pairs of whiteboard messages arrive on the page shown (%d x %d board)\n",
                kBoard.width(), kBoard.height());
    std::printf("at the bounds: half 2000-point strokes across the page in a 100 px pen and 2000-character texts in\n"
                "the largest font (half of them one beyond the bounds), half the heaviest strokes and texts the GUI\n"
                "thread paints itself; realistic: 40-point strokes of a 3 px pen\n");
    std::printf("%-6s %46s %46s %14s\n", "round", "at the bounds", "realistic", "ratio gap/CPU");
    std::vector<double> cpu;
    for (int round = 1; round <= rounds; ++round) {
        const StallFigures a = receiveScript(pdf, true);
        const StallFigures b = receiveScript(pdf, false);
        cpu.push_back(a.longestCpu);
        std::printf("%-6d %7.1f ms (%3d) %-17s CPU %5.1f ms %-17s %7.1f ms (%3d) %-17s CPU %5.1f ms %-17s %6.3f/%.3f\n",
                    round, a.longest, a.over16, qPrintable(a.where), a.longestCpu, qPrintable(a.cpuWhere), b.longest,
                    b.over16, qPrintable(b.where), b.longestCpu, qPrintable(b.cpuWhere), a.longest / b.longest,
                    a.longestCpu / b.longestCpu);
    }
    timedApp()->report();
    std::sort(cpu.begin(), cpu.end());
    std::printf("most GUI-thread CPU in one gap at the bounds: %.1f-%.1f ms (16 ms is one frame)\n", cpu.front(),
                cpu.back());
}

// In a fresh process: every page turned to once, each time up to the page
// shown (pixels and layer done); prints the sum in ms and the scale.
int coldTurnsChild(const QString &pdf)
{
    WidgetWhiteBoard board;
    board.setPrerenderEnabled(false); // a page rendered ahead is not cold
    board.resize(kBoard);
    board.show();
    double sum = 0;
    QElapsedTimer clock;
    clock.start();
    if (!board.openPdf(pdf))
        return 1;
    waitRendered(board);
    sum += clock.nsecsElapsed() / 1e6;
    const double first = sum;
    const float scale = board.currentScale();
    for (int page = 1; page < board.pageCount(); ++page) {
        clock.restart();
        board.gotoPage(page, scale);
        waitRendered(board);
        sum += clock.nsecsElapsed() / 1e6;
        if (qEnvironmentVariableIsSet("BENCH_VERBOSE"))
            std::fprintf(stderr, "page %d %.2f ms\n", page + 1, clock.nsecsElapsed() / 1e6);
        if (board.currentPageIndex() != page)
            return 1;
    }
    std::printf("turns %d %.3f %.4f %.3f\n", board.pageCount(), sum, double(scale), first);
    return 0;
}

struct TurnSums
{
    double all = 0;
    double first = 0; // the first page, which includes opening the document
};

// The board's cold turns in a fresh process; pages and scale tell what
// mutool is to draw. False when the child failed.
bool boardTurns(const QString &pdf, TurnSums &sums, QString &pages, double &scale)
{
    QProcess child;
    child.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    child.start(QCoreApplication::applicationFilePath(), { QStringLiteral("--cold-turns"), pdf });
    child.waitForFinished(300000);
    const QStringList fields =
        QString::fromLatin1(child.readAllStandardOutput()).section(QStringLiteral("turns "), 1).trimmed().split(' ');
    if (fields.size() < 4)
        return false;
    pages = fields.at(0);
    sums = { fields.at(1).toDouble(), fields.at(3).toDouble() };
    scale = fields.at(2).toDouble();
    return true;
}

// mutool draw of the same pages in one process, by its own timing (which
// leaves out opening the document).
bool mutoolTurns(const QString &mutool, const QString &pdf, const QString &pages, const QString &dpi, TurnSums &sums)
{
    QProcess draw;
    draw.setProcessChannelMode(QProcess::MergedChannels);
    draw.start(mutool, { QStringLiteral("draw"), QStringLiteral("-q"), QStringLiteral("-s"), QStringLiteral("t"),
                         QStringLiteral("-F"), QStringLiteral("pam"), QStringLiteral("-o"), QStringLiteral("/dev/null"),
                         QStringLiteral("-r"), dpi, pdf, QStringLiteral("1-") + pages });
    draw.waitForFinished(300000);
    const QString output = QString::fromLocal8Bit(draw.readAll());
    const QRegularExpressionMatch total = QRegularExpression(QStringLiteral("total (\\d+)ms")).match(output);
    const QRegularExpressionMatch first = QRegularExpression(QStringLiteral("page .* 1 (\\d+)ms")).match(output);
    if (!total.hasMatch() || !first.hasMatch())
        return false;
    sums = { total.captured(1).toDouble(), first.captured(1).toDouble() };
    return true;
}

void turns(const QString &pdf, int rounds)
{
    const QString mutool = QStandardPaths::findExecutable(QStringLiteral("mutool"));
    if (mutool.isEmpty()) {
        std::printf("mutool not installed (mupdf-tools)\n");
        return;
    }
    std::printf("cold page turns over every page of %s (%d x %d board), summed; the two take turns to go first\n",
                qPrintable(pdf), kBoard.width(), kBoard.height());
    std::printf("%-6s %14s %14s %8s %24s\n", "round", "board", "mutool draw", "ratio", "after the first page");
    std::vector<double> ratios;
    std::vector<double> laterRatios;
    // The scale comes from the board's first run.
    TurnSums ours;
    TurnSums theirs;
    QString pages;
    double scale = 0;
    for (int round = 1; round <= rounds; ++round) {
        const auto runBoard = [&] { return boardTurns(pdf, ours, pages, scale); };
        const auto runMutool = [&] {
            return mutoolTurns(mutool, pdf, pages, QString::number(72.0 * scale / 100, 'f', 3), theirs);
        };
        if (round == 1 || round % 2) {
            if (!runBoard() || !runMutool()) {
                std::printf("round %d failed\n", round);
                return;
            }
        } else if (!runMutool() || !runBoard()) {
            std::printf("round %d failed\n", round);
            return;
        }
        ratios.push_back(ours.all / theirs.all);
        const double later = (ours.all - ours.first) / (theirs.all - theirs.first);
        laterRatios.push_back(later);
        std::printf("%-6d %11.1f ms %11.1f ms %8.3f %11.1f / %.1f ms %6.3f  (%s pages at %.3f dpi)\n", round, ours.all,
                    theirs.all, ours.all / theirs.all, ours.all - ours.first, theirs.all - theirs.first, later,
                    qPrintable(pages), 72.0 * scale / 100);
    }
    std::sort(ratios.begin(), ratios.end());
    std::sort(laterRatios.begin(), laterRatios.end());
    std::printf("paired ratio board / mutool draw: median %.3f, range %.3f-%.3f; after the first page: median %.3f, "
                "range %.3f-%.3f\n",
                ratios[ratios.size() / 2], ratios.front(), ratios.back(), laterRatios[laterRatios.size() / 2],
                laterRatios.front(), laterRatios.back());
}

} // namespace

int main(int argc, char *argv[])
{
    TimedApplication app(argc, argv);
    const QStringList args = app.arguments();
    if (args.size() > 2 && args.at(1) == QLatin1String("--cold-turns"))
        return coldTurnsChild(args.at(2));
    if (args.size() > 3 && args.at(1) == QLatin1String("--stall-round"))
        return stallChild(args.at(3), args.at(2) == QLatin1String("gui"));
    const QString what = args.size() > 1 ? args.at(1) : QStringLiteral("both");
    const int rounds = args.size() > 2 ? qMax(1, args.at(2).toInt()) : 5;
    const QString pdf = args.size() > 3 ? args.at(3) : kDefaultPdf;
    if (!QFile::exists(pdf)) {
        std::printf("no %s (install libtasn1-doc, or name a PDF)\n", qPrintable(pdf));
        return 1;
    }
    if (what == QLatin1String("stall") || what == QLatin1String("both"))
        stall(pdf, rounds);
    if (what == QLatin1String("both"))
        std::printf("\n");
    if (what == QLatin1String("turns") || what == QLatin1String("both"))
        turns(pdf, rounds);
    if (what == QLatin1String("hostile"))
        hostileReceive(pdf, rounds);
    return 0;
}
