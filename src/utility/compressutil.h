#ifndef COMPRESSUTIL_H
#define COMPRESSUTIL_H

#include <QString>
#include <QStringList>

// Packs files into a new zip archive (deflate at the default level; each
// entry named by the file name alone, no extra fields, no comments, all
// dates zero). A file that cannot be opened gets no entry, so the archive
// never pretends to hold what it does not.
class CompressUtil
{
public:
    static constexpr int kChunkSize = 20480;

    // Writes zipFilePath with one entry per readable file. packedFiles (if
    // given) receives the files whose whole content was packed. False, and
    // no archive left behind, when the list is empty, the archive cannot be
    // created or not one file could be added.
    static bool zipFiles(const QStringList &files, const QString &zipFilePath, QStringList *packedFiles = nullptr);

    // Adds one entry for filePath to the open archive zipFile (a zipFile
    // handle of minizip). False when the file cannot be opened (no entry
    // is added then) or was read only in part (its entry is cut short).
    static bool AddFileToZip(const QString &filePath, void *zipFile);
    // Writes filePath's content into the entry open in zipFile, in chunks;
    // false when it cannot be opened or a read fails.
    static bool WriteFileContentToZip(const QString &filePath, void *zipFile);

private:
    enum EntryResult {
        NotAdded,
        Partial, // an entry cut short by a read error
        Complete,
    };
    static EntryResult addEntry(const QString &filePath, void *zipFile);
};

#endif // COMPRESSUTIL_H
