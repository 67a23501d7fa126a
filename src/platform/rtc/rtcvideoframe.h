#ifndef RTCVIDEOFRAME_H
#define RTCVIDEOFRAME_H

#include "mediaengine.h"

#include <QByteArray>
#include <QImage>

// A decoded frame as the engine hands it to a render: 32-bit ARGB pixels,
// row after row without padding. Copies share the pixels until written.
class RtcVideoFrame : public agora::media::IVideoFrame
{
public:
    RtcVideoFrame() = default;
    // argb must hold width x height x 4 bytes, else the frame is empty.
    RtcVideoFrame(int width, int height, const QByteArray &argb);
    // An opaque 32-bit RGB picture is taken as it is (its pixels are
    // ARGB with full alpha); other formats are converted.
    explicit RtcVideoFrame(const QImage &image);

    bool isZeroSize() const override;
    int copyFrame(agora::media::IVideoFrame **destFrame) const override;
    int width() const override { return m_image.width(); }
    int height() const override { return m_image.height(); }
    int convertFrame(int dstVideoType, int sampleSize, unsigned char *buffer) const override;
    void release() override;

private:
    QImage m_image; // Format_ARGB32 or Format_RGB32, 4 bytes a pixel, rows unpadded
};

#endif // RTCVIDEOFRAME_H
