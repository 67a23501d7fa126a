#ifndef HASHUTILITY_H
#define HASHUTILITY_H

#include <QString>

// MD5 digests as lowercase hexadecimal text (32 characters).
class HashUtility
{
public:
    // Digest of the whole file; empty when it is missing or unreadable.
    static QString fileToMd5(const QString &filePath);
    // Digest of the text's local 8-bit encoding.
    static QString stringToMd5(const QString &text);
};

#endif // HASHUTILITY_H
