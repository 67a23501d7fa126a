// The end of a program that forgot a bound video view: the application is
// destroyed while the view shows the local preview, then the managers are
// released as main() does, the engine last of all. Prints "bound" once the
// view shows video; exits 0 when the release returns.

#include "biz/im/agora/videosdk.h"
#include "mgr/singleton.h"
#include "platform/rtc/rtctesthooks.h"
#include "widget/widgetvideo.h"

#include <QApplication>

#include <cstdio>

int main(int argc, char *argv[])
{
    WidgetVideo *forgotten = nullptr;
    {
        QApplication application(argc, argv);
        VideoSDK *sdk = VideoSDK::instance();
        sdk->initVideoEngine();
        agora::rtc::IRtcEngine *engine = sdk->getRtcEngine();
        if (!engine)
            return 2;
        forgotten = new WidgetVideo;
        forgotten->resize(160, 120);
        forgotten->show();
        if (!sdk->setupLocalVideo(forgotten, 0) || engine->startPreview() != 0)
            return 3;
        if (!RtcTestHooks::hasVideoBinding(engine, 0))
            return 4;
        std::printf("bound\n");
        std::fflush(stdout);
    }
    releaseSingletons();
    Q_UNUSED(forgotten)
    return 0;
}
