#include "rtcvideoframe.h"

#include "rtcbase.h"

#include <cstring>

RtcVideoFrame::RtcVideoFrame(int width, int height, const QByteArray &argb)
{
    if (width > 0 && height > 0 && argb.size() == qint64(width) * height * 4) {
        m_image = QImage(width, height, QImage::Format_ARGB32);
        if (!m_image.isNull())
            std::memcpy(m_image.bits(), argb.constData(), size_t(argb.size()));
    }
}

RtcVideoFrame::RtcVideoFrame(const QImage &image)
{
    if (image.isNull())
        return;
    m_image = image.format() == QImage::Format_ARGB32 || image.format() == QImage::Format_RGB32
                  ? image
                  : image.convertToFormat(QImage::Format_ARGB32);
}

bool RtcVideoFrame::isZeroSize() const
{
    return m_image.isNull();
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
    // 32-bit rows are never padded: the image is one block of w x h x 4 bytes.
    const qsizetype bytes = m_image.sizeInBytes();
    if (sampleSize != 0 && sampleSize < bytes)
        return -agora::rtc::ERR_INVALID_ARGUMENT;
    std::memcpy(buffer, m_image.constBits(), size_t(bytes));
    return 0;
}

void RtcVideoFrame::release()
{
    delete this;
}
