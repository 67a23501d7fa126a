#ifndef LOGINACTIONS_H
#define LOGINACTIONS_H

#include <QString>

#include <functional>

class QWidget;

// The small actions both login windows share: addresses on the lesson web
// site, the help page in the system browser, and the notice box.
class LoginActions
{
public:
    // The web site's address followed by path; empty (and logged) when the
    // servers file names no site.
    static QString webPageUrl(const QString &path);

    // Opens url in the system browser, logs the outcome and writes the
    // "click_help" record. Returns what the browser launch reported.
    static bool openHelpPage(const QString &url);

    // A modal notice with one button (QMessageBox::about).
    static void showNotice(QWidget *parent, const QString &title, const QString &text);

    // Replaces the notice box, so tests see the texts without a modal loop.
    // An empty function restores the box.
    using NoticeHandler = std::function<void(QWidget *parent, const QString &title, const QString &text)>;
    static void setNoticeHandler(const NoticeHandler &handler);
};

#endif // LOGINACTIONS_H
