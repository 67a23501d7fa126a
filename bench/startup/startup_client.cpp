// The client's own start-up, ended as soon as its login window has painted
// its first frame.
#include "firstframe.h"

#include "mgr/appmainloop.h"
#include "mgr/singleton.h"

#include <QApplication>

int main(int argc, char *argv[])
{
    int result = 0;
    {
        AppMainLoop loop(argc, argv);
        loop.setExecStep([]() {
            FirstFrameWatcher::install();
            return QApplication::exec();
        });
        result = loop.run();
    }
    releaseSingletons();
    return result;
}
