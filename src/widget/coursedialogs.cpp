#include "coursedialogs.h"

#include <QCoreApplication>
#include <QEventLoop>
#include <QPointer>
#include <QPushButton>
#include <QTimer>
#include <QWidget>

namespace {

struct Handlers
{
    CourseDialogs::BoxHandler box;
    CourseDialogs::BoxHandler open;
    CourseDialogs::ModalHandler modal;
    CourseDialogs::ExitHandler exit;
};

Handlers &handlers()
{
    static Handlers instance;
    return instance;
}

QMessageBox::Icon iconOf(CourseDialogs::Kind kind)
{
    switch (kind) {
    case CourseDialogs::Information:
        return QMessageBox::Information;
    case CourseDialogs::Warning:
        return QMessageBox::Warning;
    case CourseDialogs::Critical:
        return QMessageBox::Critical;
    case CourseDialogs::About:
        break;
    }
    return QMessageBox::NoIcon;
}

} // namespace

void CourseDialogs::notice(Kind kind, QWidget *parent, const QString &title, const QString &text)
{
    Box box;
    box.kind = kind;
    box.parent = parent;
    box.title = title;
    box.text = text;
    show(box);
}

QMessageBox::StandardButton CourseDialogs::ask(Kind kind, QWidget *parent, const QString &title,
                                               const QString &text, QMessageBox::StandardButtons buttons,
                                               QMessageBox::StandardButton defaultButton)
{
    Box box;
    box.kind = kind;
    box.parent = parent;
    box.title = title;
    box.text = text;
    box.buttons = buttons;
    box.defaultButton = defaultButton;
    return static_cast<QMessageBox::StandardButton>(show(box));
}

int CourseDialogs::choose(QWidget *parent, const QString &title, const QString &text, const QStringList &buttons)
{
    Box box;
    box.kind = Warning;
    box.parent = parent;
    box.title = title;
    box.text = text;
    box.buttons = QMessageBox::NoButton;
    box.textButtons = buttons;
    return show(box);
}

int CourseDialogs::show(const Box &box)
{
    if (handlers().box)
        return handlers().box(box);

    QMessageBox message(iconOf(box.kind), box.title, box.text, QMessageBox::NoButton, box.parent);
    if (box.textButtons.isEmpty()) {
        message.setStandardButtons(box.buttons);
        if (box.defaultButton != QMessageBox::NoButton)
            message.setDefaultButton(box.defaultButton);
        return message.exec();
    }
    QList<QAbstractButton *> added;
    for (const QString &text : box.textButtons)
        added.append(message.addButton(text, QMessageBox::ActionRole));
    message.setDefaultButton(qobject_cast<QPushButton *>(added.first()));
    message.exec();
    return added.indexOf(message.clickedButton());
}

void CourseDialogs::open(const Box &box, QObject *context, const std::function<void(int)> &done)
{
    if (handlers().open) {
        QTimer::singleShot(0, context, [box, done]() {
            const int answer = handlers().open ? handlers().open(box) : -1;
            if (done)
                done(answer);
        });
        return;
    }
    auto *message = new QMessageBox(iconOf(box.kind), box.title, box.text, QMessageBox::NoButton, box.parent);
    message->setAttribute(Qt::WA_DeleteOnClose);
    message->setStandardButtons(box.buttons);
    if (box.defaultButton != QMessageBox::NoButton)
        message->setDefaultButton(box.defaultButton);
    QObject::connect(message, &QMessageBox::finished, context, [done](int answer) {
        if (done)
            done(answer);
    });
    // Window-modal, without a loop of its own: the caller goes on at once.
    message->open();
}

void CourseDialogs::runModal(QWidget *window)
{
    if (handlers().modal) {
        handlers().modal(window);
        return;
    }
    window->setAttribute(Qt::WA_ShowModal);
    QEventLoop loop;
    QObject::connect(window, SIGNAL(signal_close()), &loop, SLOT(quit()));
    window->show();
    loop.exec(QEventLoop::DialogExec);
}

void CourseDialogs::exitEventLoop(int code)
{
    if (handlers().exit) {
        handlers().exit(code);
        return;
    }
    QCoreApplication::exit(code);
}

void CourseDialogs::setBoxHandler(const BoxHandler &handler)
{
    handlers().box = handler;
}

void CourseDialogs::setOpenHandler(const BoxHandler &handler)
{
    handlers().open = handler;
}

void CourseDialogs::setModalHandler(const ModalHandler &handler)
{
    handlers().modal = handler;
}

void CourseDialogs::setExitHandler(const ExitHandler &handler)
{
    handlers().exit = handler;
}
