#ifndef COURSEDIALOGS_H
#define COURSEDIALOGS_H

#include <QMessageBox>
#include <QString>
#include <QStringList>

#include <functional>

class QObject;
class QWidget;

// The message boxes, modal windows and the end of the event loop that the
// course windows ask for, behind one seam: a test installs a handler that
// sees each request and answers it at once, so no test waits in a modal
// loop or ends its own event loop.
class CourseDialogs
{
public:
    enum Kind { About, Information, Warning, Critical };

    // One message box: its look, texts and buttons. Text buttons, when
    // given, replace the standard ones; the answer is then the index of the
    // chosen text button, or -1 when the box was closed without one.
    struct Box
    {
        Kind kind = About;
        QWidget *parent = nullptr;
        QString title;
        QString text;
        QMessageBox::StandardButtons buttons = QMessageBox::Ok;
        QMessageBox::StandardButton defaultButton = QMessageBox::NoButton;
        QStringList textButtons;
    };

    // A notice with one OK button.
    static void notice(Kind kind, QWidget *parent, const QString &title, const QString &text);
    // A question; returns the standard button chosen.
    static QMessageBox::StandardButton ask(Kind kind, QWidget *parent, const QString &title, const QString &text,
                                           QMessageBox::StandardButtons buttons,
                                           QMessageBox::StandardButton defaultButton);
    // A warning with text buttons, the first the default and no escape
    // button; returns the index of the button chosen, -1 for none.
    static int choose(QWidget *parent, const QString &title, const QString &text, const QStringList &buttons);
    // A box that does not wait: it shows over its parent and the call
    // returns at once; done (when given) runs with the answer once the box
    // is closed, from the event loop and only while context lives. Nothing
    // is shown from inside the caller's call, so a slot can open one.
    static void open(const Box &box, QObject *context, const std::function<void(int answer)> &done);
    // Shows window modally (it must emit signal_close() when closed) and
    // waits in a local event loop until it closes. window stays the
    // caller's to delete.
    static void runModal(QWidget *window);
    // Ends the program's event loop with code.
    static void exitEventLoop(int code);

    // For tests. An empty function restores the real behaviour.
    using BoxHandler = std::function<int(const Box &box)>;
    using ModalHandler = std::function<void(QWidget *window)>;
    using ExitHandler = std::function<void(int code)>;
    static void setBoxHandler(const BoxHandler &handler);
    // Answers the boxes of open(), from the event loop.
    static void setOpenHandler(const BoxHandler &handler);
    static void setModalHandler(const ModalHandler &handler);
    static void setExitHandler(const ExitHandler &handler);

private:
    static int show(const Box &box);
};

#endif // COURSEDIALOGS_H
