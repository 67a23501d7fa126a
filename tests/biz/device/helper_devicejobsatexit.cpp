// The end of a program whose device jobs still run: the application goes
// while the current-device job waits out its pause, and the managers are
// left to be released at process exit, as a Qt Test main leaves them.
// Prints "started" once both jobs run; exits 0 when the exit is clean.

#include "biz/device/agora/agoradevicedetecting.h"
#include "biz/im/agora/videosdk.h"
#include "mgr/singleton.h"

#include <QCoreApplication>

#include <cstdio>

int main(int argc, char *argv[])
{
    {
        QCoreApplication application(argc, argv);
        VideoSDK::instance()->initVideoEngine();
        if (!VideoSDK::instance()->getRtcEngine())
            return 2;
        AgoraDeviceDetecting *devices = Singleton<AgoraDeviceDetecting>::instance();
        devices->initDevice();
        devices->startEnumDevices();
        std::printf("started\n");
        std::fflush(stdout);
    }
    return 0;
}
