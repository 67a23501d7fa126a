// The client's own start-up, ended as soon as its event loop runs: prints
// "ready" from the first event and quits.
#include "mgr/appmainloop.h"
#include "mgr/singleton.h"

#include <QApplication>
#include <QTimer>

#include <cstdio>

int main(int argc, char *argv[])
{
    int result = 0;
    {
        AppMainLoop loop(argc, argv);
        loop.setExecStep([]() {
            QTimer::singleShot(0, []() {
                std::printf("ready\n");
                std::fflush(stdout);
                QCoreApplication::exit(0);
            });
            return QApplication::exec();
        });
        result = loop.run();
    }
    releaseSingletons();
    return result;
}
