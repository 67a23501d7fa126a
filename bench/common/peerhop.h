#ifndef PEERHOP_H
#define PEERHOP_H

#include <QString>

#include <memory>
#include <vector>

class ClassroomPeerProcess;
class MosquittoBroker;

// One message from one peer process to another, timed by the two
// processes' own wall clocks: the sender prints "sent <µs>" when it hands
// the message over, the receiver prints "<prefix> <word> <word> <µs>"
// when the message has arrived where the benchmark looks.
namespace PeerHop {

struct Percentiles
{
    double p50 = 0;
    double p99 = 0;
};

// A broker of the benchmark's own, with TCP_NODELAY or mosquitto's default,
// in force through a servers file in dataDir; empty, said on standard
// output, when it does not start.
std::unique_ptr<MosquittoBroker> startBroker(bool tcpNoDelay, const QString &dataDir);

Percentiles percentiles(std::vector<double> samples);

// "  what   p50 ...   p99 ...   (count)"
void print(const char *what, const std::vector<double> &samples, const char *unit);

// Gives from the command, then waits for its "sent" line and the
// receiver's arrival line; the time between them in ms, or -1 when either
// did not come within 10 s.
double hop(ClassroomPeerProcess &from, ClassroomPeerProcess &to, const QString &command, const QString &arrivedPrefix);

// The pairs of two interleaved series (ours against the peer's): the
// differences and ratios printed beside the two.
void printPaired(const char *ours, const std::vector<double> &a, const char *theirs, const std::vector<double> &b);

} // namespace PeerHop

#endif // PEERHOP_H
