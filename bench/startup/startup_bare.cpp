// A bare Qt program: one window, and "ready" once it has painted its first
// frame; with --stay it stays open (the peer of bench/idle).
#include "firstframe.h"

#include <QApplication>
#include <QWidget>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    if (!app.arguments().contains(QStringLiteral("--stay")))
        FirstFrameWatcher::install();
    QWidget window;
    window.setWindowTitle(QStringLiteral("Login"));
    window.resize(400, 300);
    window.show();
    return app.exec();
}
