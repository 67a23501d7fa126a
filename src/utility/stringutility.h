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

    // What one log record may carry of a text from outside (a received
    // message, a server answer): the whole of any real classroom message.
    static constexpr int kMaxLogTextChars = 16384;
    // What one log record may carry in all: room for a cut text and the
    // record's own words. The logs cut anything longer themselves.
    static constexpr int kMaxLogRecordChars = kMaxLogTextChars + 1024;
    // text when it fits in maxChars; else its first maxChars characters
    // followed by "...[cut: <n> chars in all]".
    static QString cutForLog(const QString &text, int maxChars = kMaxLogTextChars);
};

#endif // STRINGUTILITY_H
