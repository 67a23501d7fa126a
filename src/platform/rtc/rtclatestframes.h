#ifndef RTCLATESTFRAMES_H
#define RTCLATESTFRAMES_H

#include <QByteArray>
#include <QList>
#include <QMutex>
#include <QPair>

#include <vector>

// The newest picture of each sender, between a thread that receives them
// and the thread that works on them: the compressed pictures between the
// relay's thread and the decoder, the decoded frames between the decoder
// and the renders. A picture replaces the one of its sender still waiting,
// so a side that falls behind skips pictures instead of working through a
// growing queue (of decoded frames, a fifth of a megabyte each).
// Thread-safe. Senders are told apart by a key (the relay's topic, or the
// uid).
template<typename Picture = QByteArray>
class RtcLatestFrames
{
public:
    // Far more senders than a class has: pictures of further senders are
    // dropped while this many wait.
    static constexpr int kMaxSenders = 64;

    // Keeps picture as the one of sender; true when the working side must
    // be told (nothing was waiting), false when it has been told already
    // or the picture was dropped.
    bool put(const QByteArray &sender, const Picture &picture);
    // The pictures waiting, one per sender in the order the senders came;
    // the next put tells again.
    QList<QPair<QByteArray, Picture>> take();
    // Pictures replaced before they were taken or dropped, since the start.
    quint64 skipped() const;

private:
    mutable QMutex m_lock;
    std::vector<std::pair<QByteArray, Picture>> m_waiting;
    bool m_told = false;
    quint64 m_skipped = 0;
};

class RtcVideoFrame;
extern template class RtcLatestFrames<QByteArray>;
extern template class RtcLatestFrames<RtcVideoFrame>;

#endif // RTCLATESTFRAMES_H
