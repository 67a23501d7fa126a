#include "utility/widget/filedialogs.h"

#include <QFileDialog>

namespace {

FileDialogs::OpenHandler &openHandler()
{
    static FileDialogs::OpenHandler handler;
    return handler;
}

FileDialogs::SaveHandler &saveHandler()
{
    static FileDialogs::SaveHandler handler;
    return handler;
}

} // namespace

QStringList FileDialogs::getOpenFileNames(QWidget *parent, const QString &caption, const QString &directory,
                                          const QString &filter)
{
    if (openHandler())
        return openHandler()(Request { parent, caption, directory, filter });
    return QFileDialog::getOpenFileNames(parent, caption, directory, filter, nullptr,
                                         QFileDialog::DontUseNativeDialog);
}

QString FileDialogs::getSaveFileName(QWidget *parent, const QString &caption, const QString &directory,
                                     const QString &filter)
{
    if (saveHandler())
        return saveHandler()(Request { parent, caption, directory, filter });
    return QFileDialog::getSaveFileName(parent, caption, directory, filter, nullptr,
                                        QFileDialog::DontUseNativeDialog);
}

void FileDialogs::setOpenHandler(const OpenHandler &handler)
{
    openHandler() = handler;
}

void FileDialogs::setSaveHandler(const SaveHandler &handler)
{
    saveHandler() = handler;
}
