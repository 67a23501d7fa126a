#ifndef RTCLATESTFRAMES_H
#define RTCLATESTFRAMES_H

#include <QByteArray>
#include <QList>
#include <QMutex>
#include <QPair>

#include <vector>

// The newest compressed picture of each sender, between the relay's thread
// that receives them and the thread that decodes them. A picture replaces
// the one of its sender still waiting, so a decoder that falls behind skips
// pictures instead of working through a growing queue. Thread-safe.
class RtcLatestFrames
{
public:
    // Far more senders than a class has: pictures of further senders are
    // dropped while this many wait.
    static constexpr int kMaxSenders = 64;

    // Keeps picture as the one of topic; true when the decoding side must
    // be told (nothing was waiting), false when it has been told already
    // or the picture was dropped.
    bool put(const QByteArray &topic, const QByteArray &picture);
    // The pictures waiting, one per topic in the order the topics came;
    // the next put tells again.
    QList<QPair<QByteArray, QByteArray>> take();
    // Pictures replaced before they were taken or dropped, since the start.
    quint64 skipped() const;

private:
    mutable QMutex m_lock;
    std::vector<std::pair<QByteArray, QByteArray>> m_waiting;
    bool m_told = false;
    quint64 m_skipped = 0;
};

#endif // RTCLATESTFRAMES_H
