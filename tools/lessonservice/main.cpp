// The stand-in lesson service: answers the client's API, downloads and
// media queries on 127.0.0.1 for the tests and the demo.

#include "faultcontrol.h"
#include "fixturedata.h"
#include "requestrecorder.h"
#include "routes.h"

#include <QDateTime>

#include <httplib.h>

#include <chrono>
#include <condition_variable>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <mutex>
#include <pthread.h>
#include <sys/prctl.h>
#include <unistd.h>
#include <thread>

namespace {

const int kWorkerThreads = 32;
const size_t kMaxPayload = 64 * 1024 * 1024;
const auto kStopGrace = std::chrono::milliseconds(300);

void printUsage(const char *program)
{
    std::fprintf(stderr,
                 "usage: %s [--port N] [--fixtures DIR] [--verbose] [--parent-pid N]\n"
                 "  --port N        port on 127.0.0.1 (0 picks a free one; default 18080)\n"
                 "  --fixtures DIR  folder of the served files (default: the source tree's)\n"
                 "  --verbose       log every request on stderr\n"
                 "  --parent-pid N  end when process N, which started this one, ends\n",
                 program);
}

bool parsePort(const char *text, int *port)
{
    char *end = nullptr;
    const long value = std::strtol(text, &end, 10);
    if (!*text || *end || value < 0 || value > 65535)
        return false;
    *port = static_cast<int>(value);
    return true;
}

} // namespace

int main(int argc, char **argv)
{
    int port = 18080;
    QString fixtureDir = QStringLiteral(LESSONSERVICE_FIXTURE_DIR);
    bool verbose = false;
    long parentPid = 0;
    for (int i = 1; i < argc; ++i) {
        if (!std::strcmp(argv[i], "--port") && i + 1 < argc) {
            if (!parsePort(argv[++i], &port)) {
                std::fprintf(stderr, "invalid port: %s\n", argv[i]);
                return 2;
            }
        } else if (!std::strcmp(argv[i], "--fixtures") && i + 1 < argc) {
            fixtureDir = QString::fromLocal8Bit(argv[++i]);
        } else if (!std::strcmp(argv[i], "--verbose")) {
            verbose = true;
        } else if (!std::strcmp(argv[i], "--parent-pid") && i + 1 < argc) {
            char *end = nullptr;
            parentPid = std::strtol(argv[++i], &end, 10);
            if (*end || parentPid <= 1) {
                std::fprintf(stderr, "invalid parent pid: %s\n", argv[i]);
                return 2;
            }
        } else if (!std::strcmp(argv[i], "--help")) {
            printUsage(argv[0]);
            return 0;
        } else {
            std::fprintf(stderr, "unknown argument: %s\n", argv[i]);
            printUsage(argv[0]);
            return 2;
        }
    }

    // SIGTERM and SIGINT are taken by one thread that stops the server, so
    // the service ends cleanly whatever its workers are doing.
    sigset_t stopSignals;
    sigemptyset(&stopSignals);
    sigaddset(&stopSignals, SIGTERM);
    sigaddset(&stopSignals, SIGINT);
    pthread_sigmask(SIG_BLOCK, &stopSignals, nullptr);
    std::signal(SIGPIPE, SIG_IGN);
    // A test that crashes or is killed must not leave its service behind.
    // The starter names itself, so a parent that died before this point is
    // noticed as well.
    if (parentPid > 0 && (prctl(PR_SET_PDEATHSIG, SIGTERM) != 0 || getppid() != parentPid))
        return 1;

    FixtureData data(QDateTime::currentSecsSinceEpoch());
    QString error;
    if (!data.loadFiles(fixtureDir, &error)) {
        std::fprintf(stderr, "lessonry-lesson-service: %s\n", qPrintable(error));
        return 1;
    }
    RequestRecorder recorder;
    FaultControl faults;
    Routes routes(data, recorder, faults);

    httplib::Server server;
    server.new_task_queue = [] { return new httplib::ThreadPool(kWorkerThreads); };
    server.set_payload_max_length(kMaxPayload);
    // Without it every small answer waits for the client's delayed ACK.
    server.set_tcp_nodelay(true);
    server.set_exception_handler([](const httplib::Request &, httplib::Response &response, std::exception_ptr) {
        response.status = 500;
        response.set_content("{\"errorCode\":500,\"errorMsg\":\"internal error\",\"data\":{}}",
                             "application/json; charset=utf-8");
    });
    if (verbose) {
        server.set_logger([](const httplib::Request &request, const httplib::Response &response) {
            std::fprintf(stderr, "%s %s -> %d\n", request.method.c_str(), request.target.c_str(), response.status);
        });
    }
    routes.install(server);

    if (port == 0) {
        port = server.bind_to_any_port("127.0.0.1");
        if (port < 0) {
            std::fprintf(stderr, "lessonry-lesson-service: cannot listen on 127.0.0.1\n");
            return 1;
        }
    } else if (!server.bind_to_port("127.0.0.1", port)) {
        std::fprintf(stderr, "lessonry-lesson-service: cannot listen on 127.0.0.1:%d\n", port);
        return 1;
    }
    data.setBaseUrl(QStringLiteral("http://127.0.0.1:%1").arg(port));

    std::mutex endMutex;
    std::condition_variable endWake;
    bool ended = false;
    std::thread stopper([&] {
        int signal = 0;
        sigwait(&stopSignals, &signal);
        faults.shutdown();
        server.stop();
        // Idle keep-alive connections hold the workers for seconds; answers
        // under way get a short grace, then the process ends anyway.
        std::unique_lock<std::mutex> lock(endMutex);
        if (!endWake.wait_for(lock, kStopGrace, [&] { return ended; })) {
            std::fflush(stdout);
            std::fflush(stderr);
            std::_Exit(0);
        }
    });

    std::printf("listening on 127.0.0.1:%d\n", port);
    std::fflush(stdout);
    const bool listened = server.listen_after_bind();

    // When the server ended on its own, wake the stopper so it can be joined.
    {
        std::lock_guard<std::mutex> lock(endMutex);
        ended = true;
    }
    endWake.notify_all();
    pthread_kill(stopper.native_handle(), SIGTERM);
    stopper.join();
    return listened ? 0 : 1;
}
