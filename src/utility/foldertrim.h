#ifndef FOLDERTRIM_H
#define FOLDERTRIM_H

#include <QFileInfo>
#include <QString>

#include <functional>

// Keeps a folder within a size: the least recently written files go first
// until the rest fit. Only files directly in the folder count and go; a
// file for which keep() is true stays and still counts.
class FolderTrim
{
public:
    // Returns how many files were deleted.
    static int trim(const QString &folder, qint64 maxBytes,
                    const std::function<bool(const QFileInfo &)> &keep = nullptr);
};

#endif // FOLDERTRIM_H
