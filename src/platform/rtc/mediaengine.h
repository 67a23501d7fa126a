#ifndef MEDIAENGINE_H
#define MEDIAENGINE_H

#include "rtcbase.h"

// The media side of the engine: external rendering of video frames. The
// engine never draws; it asks the program for a render per view and hands
// it frames on the engine's video thread.

namespace agora {
namespace media {

enum VIDEO_TYPE {
    // 32-bit pixels, alpha in the top byte, then red, green, blue.
    VIDEO_TYPE_ARGB = 5,
};

class IVideoFrame
{
public:
    virtual ~IVideoFrame() {}
    virtual bool isZeroSize() const = 0;
    // Copies this frame into *destFrame, making that frame on first use;
    // 0 on success.
    virtual int copyFrame(IVideoFrame **destFrame) const = 0;
    virtual int width() const = 0;
    virtual int height() const = 0;
    // Writes the frame into buffer, which holds width x height x 4 bytes
    // for VIDEO_TYPE_ARGB; sampleSize 0 means "as large as the frame".
    // 0 on success.
    virtual int convertFrame(int dstVideoType, int sampleSize, unsigned char *buffer) const = 0;
    virtual void release() = 0;
};

// Handed to a render by the engine; the view's owner tells the engine
// about the view through it.
class IExternalVideoRenderCallback
{
public:
    virtual ~IExternalVideoRenderCallback() {}
    virtual void onViewSizeChanged(int width, int height) = 0;
    virtual void onViewDestroyed() = 0;
};

struct ExternalVideoRenerContext
{
    IExternalVideoRenderCallback *renderCallback;
    void *view;
    int renderMode;
    int zOrder;
    float left;
    float top;
    float right;
    float bottom;
};

class IExternalVideoRender
{
public:
    virtual ~IExternalVideoRender() {}
    virtual void release() = 0;
    // Non-zero: the render cannot show its view (the view is gone); the
    // engine releases it and binds nothing.
    virtual int initialize() = 0;
    virtual int deliverFrame(const IVideoFrame &videoFrame, int rotation, bool mirrored) = 0;
};

class IExternalVideoRenderFactory
{
public:
    virtual ~IExternalVideoRenderFactory() {}
    // A render for the view of context, or null for none.
    virtual IExternalVideoRender *createRenderInstance(const ExternalVideoRenerContext &context) = 0;
};

class IMediaEngine
{
public:
    virtual ~IMediaEngine() {}
    virtual void release() = 0;
    // The engine asks factory for a render whenever a view is bound; null
    // stops asking. The factory must outlive the engine's use of it.
    virtual int registerVideoRenderFactory(IExternalVideoRenderFactory *factory) = 0;
};

} // namespace media
} // namespace agora

#endif // MEDIAENGINE_H
