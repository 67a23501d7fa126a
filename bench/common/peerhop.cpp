#include "peerhop.h"

#include "classroompeerprocess.h"
#include "mosquittobroker.h"

#include <QDir>

#include <algorithm>
#include <cstdio>

namespace PeerHop {

std::unique_ptr<MosquittoBroker> startBroker(bool tcpNoDelay, const QString &dataDir)
{
    MosquittoBroker::Options options;
    options.tcpNoDelay = tcpNoDelay;
    auto broker = std::make_unique<MosquittoBroker>(options);
    if (!broker->startWithServersIni(QDir(dataDir).filePath(QStringLiteral("servers.ini")))) {
        std::printf("cannot start a broker\n");
        return nullptr;
    }
    return broker;
}

Percentiles percentiles(std::vector<double> samples)
{
    Percentiles result;
    if (samples.empty())
        return result;
    std::sort(samples.begin(), samples.end());
    const auto at = [&samples](double share) { return samples[std::min(samples.size() - 1, size_t(share * samples.size()))]; };
    result.p50 = at(0.5);
    result.p99 = at(0.99);
    return result;
}

void print(const char *what, const std::vector<double> &samples, const char *unit)
{
    const Percentiles p = percentiles(samples);
    std::printf("  %-40s p50 %8.3f %s   p99 %8.3f %s   (%zu)\n", what, p.p50, unit, p.p99, unit, samples.size());
}

double hop(ClassroomPeerProcess &from, ClassroomPeerProcess &to, const QString &command, const QString &arrivedPrefix)
{
    const int fromStart = from.lineCount();
    const int toStart = to.lineCount();
    from.command(command);
    QString sent;
    QString arrived;
    const bool ok = from.waitForLine([&sent](const QString &line) {
        if (!line.startsWith(QLatin1String("sent ")))
            return false;
        sent = line;
        return true;
    }, 10000, fromStart) && to.waitForLine([&](const QString &line) {
        if (!line.startsWith(arrivedPrefix))
            return false;
        arrived = line;
        return true;
    }, 10000, toStart);
    if (!ok)
        return -1;
    return (arrived.section(QLatin1Char(' '), 3, 3).toLongLong() - sent.section(QLatin1Char(' '), 1, 1).toLongLong()) / 1000.0;
}

void printPaired(const char *ours, const std::vector<double> &a, const char *theirs, const std::vector<double> &b)
{
    std::vector<double> differences;
    std::vector<double> ratios;
    for (size_t i = 0; i < std::min(a.size(), b.size()); ++i) {
        differences.push_back(a[i] - b[i]);
        ratios.push_back(b[i] > 0 ? a[i] / b[i] : 0);
    }
    print(ours, a, "ms");
    print(theirs, b, "ms");
    print("paired difference", differences, "ms");
    print("paired ratio", ratios, "x ");
}

} // namespace PeerHop
