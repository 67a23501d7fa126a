#ifndef FILEDIALOGS_H
#define FILEDIALOGS_H

#include <QString>
#include <QStringList>

#include <functional>

class QWidget;

// The open and save file dialogs (the toolkit's own, not the native ones),
// behind one seam: a test installs a handler that answers each request at
// once, so no test waits in a modal dialog.
class FileDialogs
{
public:
    struct Request
    {
        QWidget *parent = nullptr;
        QString caption;
        QString directory;
        QString filter;
    };

    // Several existing files; empty when cancelled.
    static QStringList getOpenFileNames(QWidget *parent, const QString &caption, const QString &directory,
                                        const QString &filter);
    // One file name to write; empty when cancelled.
    static QString getSaveFileName(QWidget *parent, const QString &caption, const QString &directory,
                                   const QString &filter);

    // For tests. An empty function restores the real dialog.
    using OpenHandler = std::function<QStringList(const Request &request)>;
    using SaveHandler = std::function<QString(const Request &request)>;
    static void setOpenHandler(const OpenHandler &handler);
    static void setSaveHandler(const SaveHandler &handler);
};

#endif // FILEDIALOGS_H
