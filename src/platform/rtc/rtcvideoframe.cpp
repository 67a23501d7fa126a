#include "rtcvideoframe.h"

#include "rtcbase.h"

#include <cstring>

RtcVideoFrame::RtcVideoFrame(int width, int height, const QByteArray &argb)
{
    if (width > 0 && height > 0 && argb.size() == qint64(width) * height * 4) {
        m_width = width;
        m_height = height;
        m_argb = argb;
    }
}

bool RtcVideoFrame::isZeroSize() const
{
    return m_width <= 0 || m_height <= 0;
}

int RtcVideoFrame::copyFrame(agora::media::IVideoFrame **destFrame) const
{
    if (!destFrame)
        return -agora::rtc::ERR_INVALID_ARGUMENT;
    if (!*destFrame) {
        *destFrame = new RtcVideoFrame(*this);
        return 0;
    }
    // Only frames of this engine are ever handed out, so a held frame is ours.
    auto *held = dynamic_cast<RtcVideoFrame *>(*destFrame);
    if (!held)
        return -agora::rtc::ERR_INVALID_ARGUMENT;
    *held = *this;
    return 0;
}

int RtcVideoFrame::convertFrame(int dstVideoType, int sampleSize, unsigned char *buffer) const
{
    if (dstVideoType != agora::media::VIDEO_TYPE_ARGB)
        return -agora::rtc::ERR_NOT_SUPPORTED;
    if (!buffer || isZeroSize())
        return -agora::rtc::ERR_INVALID_ARGUMENT;
    if (sampleSize != 0 && sampleSize < m_argb.size())
        return -agora::rtc::ERR_INVALID_ARGUMENT;
    std::memcpy(buffer, m_argb.constData(), size_t(m_argb.size()));
    return 0;
}

void RtcVideoFrame::release()
{
    delete this;
}
