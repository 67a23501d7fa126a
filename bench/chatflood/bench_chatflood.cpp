// Measures how long the GUI thread of a receiving client stays away from
// its events while a classmate sends 20 pictures of 5000 x 5000 pixels and
// 2500 texts at once, beside the same client receiving nothing for as
// long, the two taking turns:
//  - the receiver is the teacher's class page with its chat panel in a
//    process of its own (the classroom peer), the sender the student's,
//    over a mosquitto broker and the stand-in lesson service of the
//    benchmark's own; the pictures are uploaded and fetched over HTTP;
//  - the receiver times a 10 ms timer on its GUI thread and reports how
//    late it fired: the longest lateness and the 99th percentile over the
//    round (a turn ends once the panel holds its newest 2000 bubbles with
//    the 20 pictures shown).
// Goal: longest within 50 ms, p99 under 16 ms.
//
//     bench_chatflood [rounds] [both|texts|pictures] [texts] [characters]
//
// (3 rounds by default; "texts" or "pictures" sends only those, to tell
// which part of the load a stall comes from; the texts' number and length
// can be changed, 2500 of 40 characters by default.)

#include "classroompeerprocess.h"
#include "lessonservice.h"
#include "median.h"
#include "mosquittobroker.h"
#include "testutil.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QTemporaryDir>
#include <QTimer>

#include <cstdio>
#include <vector>

namespace {

const int kPictures = 20;
const int kTexts = 2500;
const int kShownBubbles = 2000;
const QString kStudent = QStringLiteral("20001");
const QString kTeacher = QStringLiteral("30001");

struct Stall
{
    qint64 longestMs = -1;
    qint64 p99Ms = -1;
    int ticks = 0;
};

void waitMs(int ms)
{
    QEventLoop loop;
    QTimer::singleShot(ms, &loop, &QEventLoop::quit);
    loop.exec();
}

// The words of the peer's next answer to command that starts with prefix.
QStringList ask(ClassroomPeerProcess &peer, const QString &command, const QString &prefix)
{
    const int from = peer.lineCount();
    peer.command(command);
    if (!peer.waitForLine([&](const QString &line) { return line.startsWith(prefix); }, 30000, from))
        return {};
    for (const QString &line : peer.lines().mid(from)) {
        if (line.startsWith(prefix))
            return line.mid(prefix.size()).split(QLatin1Char(' '));
    }
    return {};
}

Stall readStall(ClassroomPeerProcess &receiver)
{
    const QStringList words = ask(receiver, QStringLiteral("stall"), QStringLiteral("stall "));
    Stall stall;
    if (words.size() >= 3) {
        stall.longestMs = words.at(0).toLongLong();
        stall.p99Ms = words.at(1).toLongLong();
        stall.ticks = words.at(2).toInt();
    }
    return stall;
}

// 25 million pixels each, in a PNG of a few hundred kilobytes: stripes of
// a colour of their own, so no two are the same file.
QStringList writePictures(const QString &folder)
{
    QStringList paths;
    QImage picture(5000, 5000, QImage::Format_RGB32);
    for (int i = 0; i < kPictures; ++i) {
        picture.fill(QColor::fromHsv(i * 17 % 360, 60, 240));
        QPainter painter(&picture);
        for (int stripe = 0; stripe < 10; ++stripe)
            painter.fillRect(stripe * 500 + i, 0, 200, 5000, QColor::fromHsv((i * 17 + stripe * 36) % 360, 200, 200));
        painter.end();
        const QString path = QDir(folder).filePath(QStringLiteral("picture-%1.png").arg(i));
        if (!picture.save(path, "PNG"))
            return {};
        paths << path;
    }
    return paths;
}

// One turn of the load: the flood, then the pictures, all sent at once;
// over when the receiver shows its newest 2000 bubbles, the 20 pictures
// among them decoded. Returns the stall and how long the turn took.
Stall loadTurn(ClassroomPeerProcess &sender, ClassroomPeerProcess &receiver, const QStringList &pictures,
               int texts, int characters, qint64 *durationMs)
{
    // The panel starts empty, so the turn ends on its own bubbles.
    ask(receiver, QStringLiteral("chat clear"), QStringLiteral("cleared"));
    ask(receiver, QStringLiteral("stall reset"), QStringLiteral("stall reset"));
    QElapsedTimer clock;
    clock.start();
    if (texts > 0)
        sender.command(QStringLiteral("flood %1 %2").arg(texts).arg(characters));
    if (!pictures.isEmpty())
        sender.command(QStringLiteral("chat pics ") + pictures.join(QLatin1Char('|')));
    const int bubbles = qMin(kShownBubbles, texts + int(pictures.size()));
    while (clock.elapsed() < 180000) {
        const QStringList count = ask(receiver, QStringLiteral("chat count"), QStringLiteral("count "));
        if (count.size() == 2 && count.at(0).toInt() >= bubbles && count.at(1).toInt() >= pictures.size())
            break;
        waitMs(200);
    }
    *durationMs = clock.elapsed();
    return readStall(receiver);
}

Stall quietTurn(ClassroomPeerProcess &receiver, qint64 durationMs)
{
    ask(receiver, QStringLiteral("stall reset"), QStringLiteral("stall reset"));
    QElapsedTimer clock;
    clock.start();
    // Asked as often as during the load, so both turns carry the same questions.
    while (clock.elapsed() < durationMs) {
        ask(receiver, QStringLiteral("chat count"), QStringLiteral("count "));
        waitMs(200);
    }
    return readStall(receiver);
}

} // namespace

int main(int argc, char *argv[])
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    const int rounds = app.arguments().size() > 1 ? qMax(1, app.arguments().at(1).toInt()) : 3;
    const QString only = app.arguments().value(2);
    const int texts = only == QLatin1String("pictures") ? 0 : app.arguments().value(3, QString::number(kTexts)).toInt();
    const int characters = qMax(1, app.arguments().value(4, QStringLiteral("40")).toInt());

    QTemporaryDir files;
    std::printf("writing %d pictures of 5000 x 5000...\n", kPictures);
    std::fflush(stdout);
    const QStringList pictures = writePictures(files.path());
    if (pictures.size() != kPictures) {
        std::printf("cannot write the pictures\n");
        return 1;
    }
    LessonService service;
    MosquittoBroker broker;
    if (!service.start() || !broker.start() || !broker.useInServersIni(service.serversIniPath())) {
        std::printf("cannot start the lesson service and the broker\n");
        return 1;
    }
    ClassroomPeerProcess sender;
    ClassroomPeerProcess receiver;
    const QStringList common { QStringLiteral("--class"), QStringLiteral("10001"), QStringLiteral("--chat"), QStringLiteral("--brief") };
    const QString bin = TestUtil::binDir();
    if (!sender.startProgram(QDir(bin).filePath(QStringLiteral("lessonry-classroom-peer-student")),
                             QStringList { QStringLiteral("--uid"), kStudent } + common)
        || !receiver.startProgram(QDir(bin).filePath(QStringLiteral("lessonry-classroom-peer-teacher")),
                                  QStringList { QStringLiteral("--uid"), kTeacher } + common)
        || !ClassroomPeerProcess::waitForEachOther(sender, kStudent, receiver, kTeacher)) {
        std::printf("the two peers did not meet in the class\n");
        return 1;
    }

    std::printf("\n== receiver's GUI thread, 10 ms timer's lateness (ms): %d pictures of 25 Mpx and %d texts of %d "
                "characters against nothing, in turns\n",
                only == QLatin1String("texts") ? 0 : kPictures, texts, characters);
    std::printf("%-6s %-10s %9s %7s %7s %7s\n", "round", "turn", "length", "longest", "p99", "ticks");
    std::vector<double> loadLongest, loadP99, quietLongest, quietP99, ratios;
    for (int round = 0; round < rounds; ++round) {
        qint64 durationMs = 0;
        const Stall load = loadTurn(sender, receiver, only == QLatin1String("texts") ? QStringList() : pictures, texts,
                                    characters, &durationMs);
        const Stall quiet = quietTurn(receiver, durationMs);
        std::printf("%-6d %-10s %7lld ms %7lld %7lld %7d\n", round + 1, "load", durationMs, load.longestMs, load.p99Ms,
                    load.ticks);
        std::printf("%-6d %-10s %7lld ms %7lld %7lld %7d\n", round + 1, "nothing", durationMs, quiet.longestMs,
                    quiet.p99Ms, quiet.ticks);
        std::fflush(stdout);
        loadLongest.push_back(load.longestMs);
        loadP99.push_back(load.p99Ms);
        quietLongest.push_back(quiet.longestMs);
        quietP99.push_back(quiet.p99Ms);
        ratios.push_back(double(load.longestMs) / double(qMax<qint64>(1, quiet.longestMs)));
    }
    std::printf("\nmedian of %d rounds: longest %.0f ms (nothing: %.0f ms), p99 %.0f ms (nothing: %.0f ms), "
                "longest load / nothing %.2f\n",
                rounds, median(loadLongest), median(quietLongest), median(loadP99), median(quietP99), median(ratios));
    std::printf("goal: longest within 50 ms: %s; p99 under 16 ms: %s\n", median(loadLongest) <= 50 ? "met" : "not met",
                median(loadP99) < 16 ? "met" : "not met");
    const bool ended = sender.finish() && receiver.finish();
    return ended ? 0 : 1;
}
