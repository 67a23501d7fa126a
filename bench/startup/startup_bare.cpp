// A bare Qt program: one window, and "ready" once it has painted its first
// frame.
#include "firstframe.h"

#include <QApplication>
#include <QWidget>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    FirstFrameWatcher::install();
    QWidget window;
    window.setWindowTitle(QStringLiteral("Login"));
    window.resize(400, 300);
    window.show();
    return app.exec();
}
