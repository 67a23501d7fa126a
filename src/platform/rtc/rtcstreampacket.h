#ifndef RTCSTREAMPACKET_H
#define RTCSTREAMPACKET_H

#include <QByteArray>

// One data-stream message on the relay: the sender's stream id, the join
// it belongs to and its place in that stream, then the bytes as given.
struct RtcStreamPacket
{
    int streamId = 0;
    quint64 session = 0;
    quint64 sequence = 0;
    QByteArray data;

    QByteArray encode() const;
    // False for anything that is not a packet of ours.
    static bool decode(const QByteArray &bytes, RtcStreamPacket *packet);
};

#endif // RTCSTREAMPACKET_H
