#include "compressutil.h"

#include <QDebug>
#include <QFile>
#include <QFileInfo>

#include <zip.h>

#include <cstring>
#include <vector>

namespace {

// Copies the open file into the open entry; false on a read or write error.
bool copyIntoEntry(QFile &file, zipFile zip)
{
    std::vector<char> buffer(CompressUtil::kChunkSize);
    for (;;) {
        const qint64 got = file.read(buffer.data(), qint64(buffer.size()));
        if (got < 0) {
            qCritical("ferror");
            return false;
        }
        if (got == 0)
            return true;
        if (zipWriteInFileInZip(zip, buffer.data(), unsigned(got)) != ZIP_OK) {
            qCritical("zipWriteInFileInZip failed");
            return false;
        }
    }
}

bool openForReading(QFile &file)
{
    // Other readers and writers may hold the file (the loggers do).
    if (!file.open(QIODevice::ReadOnly)) {
        qCritical("open file:%s failed", qUtf8Printable(file.fileName()));
        return false;
    }
    return true;
}

} // namespace

bool CompressUtil::zipFiles(const QStringList &files, const QString &zipFilePath, QStringList *packedFiles)
{
    if (packedFiles)
        packedFiles->clear();
    if (files.isEmpty())
        return false;
    zipFile zip = zipOpen(QFile::encodeName(zipFilePath).constData(), APPEND_STATUS_CREATE);
    if (!zip) {
        qCritical("zipOpen %s failed", qUtf8Printable(zipFilePath));
        return false;
    }
    int added = 0;
    for (const QString &file : files) {
        const EntryResult result = addEntry(file, zip);
        if (result != NotAdded)
            ++added;
        if (result == Complete && packedFiles)
            packedFiles->append(file);
    }
    const bool closed = zipClose(zip, nullptr) == ZIP_OK;
    if (!closed || added == 0) {
        if (!closed)
            qCritical("zipClose %s failed", qUtf8Printable(zipFilePath));
        QFile::remove(zipFilePath);
        if (packedFiles)
            packedFiles->clear();
        return false;
    }
    return true;
}

bool CompressUtil::AddFileToZip(const QString &filePath, void *zipFileHandle)
{
    return addEntry(filePath, zipFileHandle) == Complete;
}

CompressUtil::EntryResult CompressUtil::addEntry(const QString &filePath, void *zipFileHandle)
{
    qInfo("AddFileToZip:%s", qUtf8Printable(filePath));
    if (filePath.isEmpty() || !zipFileHandle)
        return NotAdded;
    QFile file(filePath);
    if (!openForReading(file))
        return NotAdded;

    const QByteArray entryName = QFileInfo(filePath).fileName().toLocal8Bit();
    qInfo("strFileName:%s", entryName.constData());
    zip_fileinfo info;
    std::memset(&info, 0, sizeof(info));
    zipFile zip = static_cast<zipFile>(zipFileHandle);
    if (zipOpenNewFileInZip(zip, entryName.constData(), &info, nullptr, 0, nullptr, 0, nullptr, Z_DEFLATED,
                            Z_DEFAULT_COMPRESSION) != ZIP_OK) {
        qCritical("zipOpenNewFileInZip %s failed", entryName.constData());
        return NotAdded;
    }
    const bool complete = copyIntoEntry(file, zip);
    zipCloseFileInZip(zip);
    return complete ? Complete : Partial;
}

bool CompressUtil::WriteFileContentToZip(const QString &filePath, void *zipFileHandle)
{
    qInfo("WriteFileContentToZip:%s", qUtf8Printable(filePath));
    if (!zipFileHandle)
        return false;
    QFile file(filePath);
    if (!openForReading(file))
        return false;
    return copyIntoEntry(file, static_cast<zipFile>(zipFileHandle));
}
