#ifndef LOGINACTIONS_H
#define LOGINACTIONS_H

#include <QString>

#include <functional>

class QWidget;

// The notice box both login windows share, behind a seam for tests.
class LoginActions
{
public:
    // A modal notice with one button (QMessageBox::about).
    static void showNotice(QWidget *parent, const QString &title, const QString &text);

    // Replaces the notice box, so tests see the texts without a modal loop.
    // An empty function restores the box.
    using NoticeHandler = std::function<void(QWidget *parent, const QString &title, const QString &text)>;
    static void setNoticeHandler(const NoticeHandler &handler);
};

#endif // LOGINACTIONS_H
