// A class window with video tiles on a real display that goes away: the
// local preview and two remote tiles show moving pictures, painted on the
// engine's video thread, until the display server ends. Prints "playing"
// once every tile has shown a picture; then runs the event loop, which the
// toolkit ends when it loses the display.

#include "biz/im/agora/videosdk.h"
#include "mgr/singleton.h"
#include "platform/rtc/rtctesthooks.h"
#include "widget/widgetvideo.h"

#include <QApplication>
#include <QHBoxLayout>
#include <QTimer>

#include <cstdio>

namespace {

const agora::rtc::uid_t kRemoteUids[] = { 101, 102 };

// A remote camera's picture: a colour that changes with every frame.
QByteArray remoteFrame(int n)
{
    QByteArray argb(64 * 48 * 4, Qt::Uninitialized);
    for (int i = 0; i < argb.size(); i += 4) {
        argb[i] = char(n * 7);
        argb[i + 1] = char(n * 13);
        argb[i + 2] = char(n * 29);
        argb[i + 3] = char(0xff);
    }
    return argb;
}

} // namespace

int main(int argc, char *argv[])
{
    int result = 0;
    {
        QApplication application(argc, argv);
        VideoSDK *sdk = VideoSDK::instance();
        sdk->initVideoEngine();
        agora::rtc::IRtcEngine *engine = sdk->getRtcEngine();
        if (!engine)
            return 2;
        QWidget window;
        auto *layout = new QHBoxLayout(&window);
        auto *local = new WidgetVideo;
        layout->addWidget(local);
        if (!sdk->setupLocalVideo(local, 0) || engine->startPreview() != 0)
            return 3;
        for (agora::rtc::uid_t uid : kRemoteUids) {
            auto *tile = new WidgetVideo;
            layout->addWidget(tile);
            if (!sdk->setupRemoteVideo(tile, uid))
                return 4;
        }
        window.resize(480, 160);
        window.show();

        // The remote pictures come at the camera's pace, as from a peer.
        int frameNumber = 0;
        QTimer remote;
        remote.setInterval(66);
        QObject::connect(&remote, &QTimer::timeout, [engine, &frameNumber] {
            const QByteArray argb = remoteFrame(frameNumber++);
            for (agora::rtc::uid_t uid : kRemoteUids)
                RtcTestHooks::deliverVideoFrame(engine, uid, 64, 48, argb);
        });
        remote.start();

        // Each tile shows a picture of its own once its first frame arrived.
        QTimer watch;
        watch.setInterval(50);
        QObject::connect(&watch, &QTimer::timeout, [&watch, &window] {
            const QImage shot = window.grab().toImage();
            for (WidgetVideo *tile : window.findChildren<WidgetVideo *>()) {
                const QPoint centre = tile->geometry().center();
                if (shot.pixel(centre) == window.palette().color(QPalette::Window).rgb())
                    return;
            }
            watch.stop();
            std::printf("playing\n");
            std::fflush(stdout);
        });
        watch.start();

        result = application.exec();
    }
    releaseSingletons();
    return result;
}
