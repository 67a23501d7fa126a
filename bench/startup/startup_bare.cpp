// A bare Qt program: one window, and "ready" once its event loop runs.
#include <QApplication>
#include <QTimer>
#include <QWidget>

#include <cstdio>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QWidget window;
    window.setWindowTitle(QStringLiteral("Login"));
    window.resize(400, 300);
    window.show();
    QTimer::singleShot(0, []() {
        std::printf("ready\n");
        std::fflush(stdout);
        QCoreApplication::exit(0);
    });
    return app.exec();
}
