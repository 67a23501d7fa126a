#ifndef WEBPAGE_H
#define WEBPAGE_H

#include <QString>

#include <functional>

class QUrl;

// Pages of the lesson web site opened in the user's browser: the help or
// FAQ page of the role, and the site's start page.
class WebPage
{
public:
    // Opens an address in the user's browser; true when it was opened.
    using Opener = std::function<bool(const QUrl &)>;

    // The web site's address followed by path; empty (and logged) when the
    // servers file names no site.
    static QString url(const QString &path);
    // The help page of a student client, the FAQ page of a teacher client.
    static QString helpPageUrl();

    // Opens url in the browser; an empty url is refused.
    static bool open(const QString &url);
    // Opens url, logs the outcome and writes the "click_help" record.
    static bool openHelpPage(const QString &url);

    // Replaces the browser launch (tests); an empty opener restores it.
    static void setOpener(const Opener &opener);
};

#endif // WEBPAGE_H
