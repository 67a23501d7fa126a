// The peer of bench_idle: a bare Qt window holding one line edit with the
// keyboard focus, so its text cursor blinks as the login window's does once
// the window is active. Nothing else runs in it.
#include <QApplication>
#include <QLineEdit>
#include <QVBoxLayout>
#include <QWidget>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QWidget window;
    window.setWindowTitle(QStringLiteral("Idle bare window"));
    auto *layout = new QVBoxLayout(&window);
    auto *edit = new QLineEdit(&window);
    layout->addWidget(edit);
    window.resize(400, 300);
    window.show();
    edit->setFocus();
    return app.exec();
}
