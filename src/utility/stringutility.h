#ifndef STRINGUTILITY_H
#define STRINGUTILITY_H

#include <QString>
#include <QStringList>

class QFont;

class StringUtility
{
public:
    // Scheme, "://", host (and port) and "/" of the first http, https or
    // ftp address in url; empty when there is none.
    static QString findDomain(const QString &url);
    // Index and pixel width of the widest line in font (the first of equal
    // ones); false for an empty list, outputs untouched.
    static bool getLongestLine(const QFont &font, const QStringList &lines, int &maxWidth, int &maxIndex);
    // Splits text at the first separator into trimmed key and value; false
    // when the separator is not there.
    static bool splitPair(const QString &text, const QString &separator, QString &key, QString &value);
};

#endif // STRINGUTILITY_H
