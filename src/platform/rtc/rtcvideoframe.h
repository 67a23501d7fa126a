#ifndef RTCVIDEOFRAME_H
#define RTCVIDEOFRAME_H

#include "mediaengine.h"

#include <QByteArray>

// A decoded frame as the engine hands it to a render: 32-bit ARGB pixels,
// row after row without padding.
class RtcVideoFrame : public agora::media::IVideoFrame
{
public:
    RtcVideoFrame() = default;
    // argb must hold width x height x 4 bytes, else the frame is empty.
    RtcVideoFrame(int width, int height, const QByteArray &argb);

    bool isZeroSize() const override;
    int copyFrame(agora::media::IVideoFrame **destFrame) const override;
    int width() const override { return m_width; }
    int height() const override { return m_height; }
    int convertFrame(int dstVideoType, int sampleSize, unsigned char *buffer) const override;
    void release() override;

private:
    int m_width = 0;
    int m_height = 0;
    QByteArray m_argb;
};

#endif // RTCVIDEOFRAME_H
