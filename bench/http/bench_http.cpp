// Measures the HTTP layer against the stand-in lesson service:
//   bench_http [requests per side and round] [rounds] [--no-log] [--no-download]
//  - API requests per second through HttpMgr + EntityNetworkReplyHolder,
//    next to a plain QNetworkAccessManager loop on the same URL, one at a
//    time and with six in flight (the toolkit's connections per host), and
//    through the catalogue call (which also reads the server addresses);
//  - download throughput through HttpMgr::download (temporary file, size
//    check, move) next to curl writing the same file.
// The client's message log is on while measuring, as when the client runs
// (each API call writes a score of lines); "--no-log" throws them away, to
// see what the log costs.

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QProcess>
#include <QTemporaryDir>
#include <QTextStream>
#include <QUrl>

#include <algorithm>
#include <ctime>
#include <functional>

#include "lessonservice.h"
#include "median.h"
#include "biz/httpapi/studentapis.h"
#include "mgr/http/entitynetworkreplyholder.h"
#include "mgr/http/httpmgr.h"
#include "mgr/http/networkdownloadreplyholder.h"
#include "mgr/http/networkreplyholder.h"
#include "mgr/logmgr.h"
#include "mgr/singleton.h"

namespace {

void discardMessages(QtMsgType, const QMessageLogContext &, const QString &) {}

QTextStream &out()
{
    static QTextStream stream(stdout);
    return stream;
}

struct RequestFigures
{
    double perSecond = 0;
    // Client CPU time (all threads of this process) per request: the cost
    // of the layer itself, whatever the server's latency.
    double cpuMicroseconds = 0;
};

// The median of one figure of several runs.
double medianOf(const QVector<RequestFigures> &figures, double RequestFigures::*field)
{
    QVector<double> values;
    for (const RequestFigures &figure : figures)
        values << figure.*field;
    return median(values);
}

// Runs count requests, at most inFlight at a time; start(done) begins one
// and calls done when it has ended.
RequestFigures runRequests(int count, int inFlight, const std::function<void(std::function<void()>)> &start)
{
    QEventLoop loop;
    int started = 0;
    int finished = 0;
    std::function<void()> next;
    next = [&] {
        if (started >= count)
            return;
        ++started;
        start([&] {
            ++finished;
            if (finished == count)
                loop.quit();
            else
                next();
        });
    };
    QElapsedTimer timer;
    timer.start();
    const std::clock_t cpuStart = std::clock();
    for (int i = 0; i < inFlight; ++i)
        next();
    loop.exec();
    RequestFigures figures;
    figures.perSecond = count * 1000.0 / qMax<qint64>(1, timer.elapsed());
    figures.cpuMicroseconds = (std::clock() - cpuStart) * 1e6 / CLOCKS_PER_SEC / count;
    return figures;
}

// Calls done and releases holder once its request has ended.
void whenEnded(EntityNetworkReplyHolder *holder, std::function<void()> done)
{
    const auto end = [holder, done] {
        holder->deleteLater();
        done();
    };
    QObject::connect(holder, &EntityNetworkReplyHolder::signal_onFinish, holder, end);
    QObject::connect(holder, &EntityNetworkReplyHolder::signal_onAbort, holder, end);
}

void startThroughHttpMgr(const QString &url, std::function<void()> done)
{
    QMap<QString, QString> params;
    params.insert(QStringLiteral("source"), QStringLiteral("12"));
    whenEnded(new EntityNetworkReplyHolder(nullptr, Singleton<HttpMgr>::instance()->get(url, params, 10000)), done);
}

void startThroughCatalogue(std::function<void()> done)
{
    whenEnded(StudentApis::getAppConfig(nullptr), done);
}

void startThroughManager(QNetworkAccessManager *manager, const QString &url, std::function<void()> done)
{
    QUrl requestUrl(url);
    requestUrl.setQuery(QStringLiteral("source=12"));
    QNetworkReply *reply = manager->get(QNetworkRequest(requestUrl));
    QObject::connect(reply, &QNetworkReply::finished, reply, [reply, done] {
        reply->readAll();
        reply->deleteLater();
        done();
    });
}

// Uploads size bytes and returns the URL the service serves them under.
QString uploadLargeFile(const LessonService &service, qint64 size, const QString &dir)
{
    const QString path = QDir(dir).filePath(QStringLiteral("large.png"));
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return QString();
    QByteArray block(1 << 20, '\0');
    for (int i = 0; i < block.size(); ++i)
        block[i] = static_cast<char>(i * 31 + 7);
    for (qint64 written = 0; written < size; written += block.size())
        file.write(block);
    file.close();

    QEventLoop loop;
    QString url;
    auto *holder = new EntityNetworkReplyHolder(
        nullptr, Singleton<HttpMgr>::instance()->upload(service.baseUrl() + QStringLiteral("/QXV1/Public/chatPic"),
                                                        QStringLiteral("chatPic"), path, {}));
    QObject::connect(holder, &EntityNetworkReplyHolder::signal_onSuccess, holder, [&](const QString &body) {
        url = QJsonDocument::fromJson(body.toUtf8()).object().value("data").toObject().value("url").toString();
    });
    QObject::connect(holder, &EntityNetworkReplyHolder::signal_onFinish, &loop, &QEventLoop::quit);
    QObject::connect(holder, &EntityNetworkReplyHolder::signal_onAbort, &loop, &QEventLoop::quit);
    loop.exec();
    delete holder;
    return url;
}

// Megabytes per second for rounds downloads of url, each into a new folder.
double downloadThroughHttpMgr(const QString &url, int rounds, qint64 size, bool *ok)
{
    QElapsedTimer timer;
    timer.start();
    for (int i = 0; i < rounds; ++i) {
        QTemporaryDir dir;
        QEventLoop loop;
        NetWorkDownloadReplyHolder *holder = Singleton<HttpMgr>::instance()->download(nullptr, url, dir.path());
        QObject::connect(holder, &NetWorkDownloadReplyHolder::signal_onFailure, [ok](int) { *ok = false; });
        QObject::connect(holder, &NetWorkDownloadReplyHolder::signal_onFinish, &loop, &QEventLoop::quit);
        loop.exec();
        delete holder;
    }
    return rounds * (size / 1048576.0) / (qMax<qint64>(1, timer.elapsed()) / 1000.0);
}

double downloadThroughCurl(const QString &url, int rounds, qint64 size, bool *ok)
{
    QElapsedTimer timer;
    timer.start();
    for (int i = 0; i < rounds; ++i) {
        QTemporaryDir dir;
        const int code = QProcess::execute(QStringLiteral("curl"),
                                           {QStringLiteral("-s"), QStringLiteral("-f"), QStringLiteral("-o"),
                                            dir.filePath(QStringLiteral("file")), url});
        if (code != 0 || QFileInfo(dir.filePath(QStringLiteral("file"))).size() != size)
            *ok = false;
    }
    return rounds * (size / 1048576.0) / (qMax<qint64>(1, timer.elapsed()) / 1000.0);
}

} // namespace

int main(int argc, char **argv)
{
    QTemporaryDir home;
    qputenv("XDG_DATA_HOME", home.path().toUtf8());
    QCoreApplication app(argc, argv);
    const QStringList arguments = app.arguments().mid(1);
    const bool logOn = !arguments.contains(QStringLiteral("--no-log"));
    // "--no-download" leaves the download rows out (for a profiler's run).
    const bool downloads = !arguments.contains(QStringLiteral("--no-download"));
    // Arguments: requests per side and round, rounds.
    int requests = 500;
    int rounds = 7;
    int numbers = 0;
    for (const QString &argument : arguments) {
        if (argument.toInt() <= 0)
            continue;
        if (numbers++ == 0)
            requests = argument.toInt();
        else
            rounds = argument.toInt();
    }

    LessonService service;
    if (!service.start()) {
        out() << "could not start the lesson service\n";
        return 1;
    }
    Singleton<HttpMgr>::instance()->init();
    if (logOn)
        Singleton<LogMgr>::instance()->init();
    else
        qInstallMessageHandler(discardMessages);

    const QString url = service.baseUrl() + QStringLiteral("/QXV1/Config/getAll");
    QNetworkAccessManager manager;
    auto viaMgr = [&](std::function<void()> done) { startThroughHttpMgr(url, done); };
    auto viaManager = [&](std::function<void()> done) { startThroughManager(&manager, url, done); };

    // Warm both paths up (connections, first allocations).
    runRequests(100, 6, viaMgr);
    runRequests(100, 6, viaManager);
    runRequests(100, 6, startThroughCatalogue);

    out() << "API requests (" << requests << " GET " << url << " per side and round, " << rounds
          << " rounds, sides taking turns), message log " << (logOn ? "on" : "thrown away") << "\n";
    for (int inFlight : {1, 6}) {
        QVector<RequestFigures> mgr, plain, catalogue;
        QVector<double> ratios;
        for (int round = 0; round < rounds; ++round) {
            // Each round starts with the other side, so neither is always
            // the one that finds the machine fresh.
            const bool mgrFirst = round % 2 == 0;
            for (int side = 0; side < 2; ++side) {
                service.reset();
                if ((side == 0) == mgrFirst)
                    mgr << runRequests(requests, inFlight, viaMgr);
                else
                    plain << runRequests(requests, inFlight, viaManager);
            }
            service.reset();
            catalogue << runRequests(requests, inFlight, startThroughCatalogue);
            ratios << mgr.last().perSecond / plain.last().perSecond;
        }
        std::sort(ratios.begin(), ratios.end());
        out() << QStringLiteral("  %1 in flight: HttpMgr+holders %2 req/s (%3 us CPU/request), "
                                "QNetworkAccessManager %4 req/s (%5 us CPU/request), "
                                "StudentApis::getAppConfig %6 req/s (%7 us CPU/request) [medians]; "
                                "HttpMgr / plain per round: median %8, range %9-%10\n")
                     .arg(inFlight)
                     .arg(medianOf(mgr, &RequestFigures::perSecond), 0, 'f', 0)
                     .arg(medianOf(mgr, &RequestFigures::cpuMicroseconds), 0, 'f', 0)
                     .arg(medianOf(plain, &RequestFigures::perSecond), 0, 'f', 0)
                     .arg(medianOf(plain, &RequestFigures::cpuMicroseconds), 0, 'f', 0)
                     .arg(medianOf(catalogue, &RequestFigures::perSecond), 0, 'f', 0)
                     .arg(medianOf(catalogue, &RequestFigures::cpuMicroseconds), 0, 'f', 0)
                     .arg(median(ratios), 0, 'f', 2)
                     .arg(ratios.first(), 0, 'f', 2)
                     .arg(ratios.last(), 0, 'f', 2);
        out().flush();
    }

    if (!downloads)
        return 0;
    QTemporaryDir work;
    // The service takes bodies up to 64 MiB.
    const qint64 size = 48LL * 1024 * 1024;
    const QString fileUrl = uploadLargeFile(service, size, work.path());
    if (fileUrl.isEmpty()) {
        out() << "upload of the download file failed\n";
        return 1;
    }
    const int downloadRounds = 5;
    bool ok = true;
    downloadThroughHttpMgr(fileUrl, 1, size, &ok);
    downloadThroughCurl(fileUrl, 1, size, &ok);
    const double mgr = downloadThroughHttpMgr(fileUrl, downloadRounds, size, &ok);
    const double curl = downloadThroughCurl(fileUrl, downloadRounds, size, &ok);
    out() << QStringLiteral("Download of %1 MiB x %2: HttpMgr::download %3 MiB/s, curl %4 MiB/s (%5%)%6\n")
                 .arg(size / 1048576)
                 .arg(downloadRounds)
                 .arg(mgr, 0, 'f', 0)
                 .arg(curl, 0, 'f', 0)
                 .arg(100.0 * mgr / curl, 0, 'f', 0)
                 .arg(ok ? QString() : QStringLiteral(" [SOME TRANSFERS FAILED]"));
    return ok ? 0 : 1;
}
