#include "rtcstreampacket.h"

#include <QtEndian>

namespace {

const char kMagic[4] = { 'L', 'R', 'S', '1' };
const int kHeaderSize = 4 + 4 + 8 + 8;

} // namespace

QByteArray RtcStreamPacket::encode() const
{
    QByteArray bytes(kHeaderSize, Qt::Uninitialized);
    char *p = bytes.data();
    memcpy(p, kMagic, 4);
    qToBigEndian<quint32>(quint32(streamId), p + 4);
    qToBigEndian<quint64>(session, p + 8);
    qToBigEndian<quint64>(sequence, p + 16);
    bytes.append(data);
    return bytes;
}

bool RtcStreamPacket::decode(const QByteArray &bytes, RtcStreamPacket *packet)
{
    if (bytes.size() < kHeaderSize || memcmp(bytes.constData(), kMagic, 4) != 0)
        return false;
    const char *p = bytes.constData();
    packet->streamId = int(qFromBigEndian<quint32>(p + 4));
    packet->session = qFromBigEndian<quint64>(p + 8);
    packet->sequence = qFromBigEndian<quint64>(p + 16);
    packet->data = bytes.mid(kHeaderSize);
    return packet->streamId > 0 && packet->sequence > 0;
}
