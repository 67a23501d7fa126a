#include "stringutility.h"

#include <QDebug>
#include <QFont>
#include <QFontMetrics>
#include <QRegularExpression>

QString StringUtility::findDomain(const QString &url)
{
    // The host ends at the path, query, fragment or end of text; "." is
    // literal, so the match never runs on into the path.
    static const QRegularExpression pattern(
        QStringLiteral("((http|ftp|https)://)([a-zA-Z0-9_-]+(\\.[a-zA-Z0-9_-]+)*)(:[0-9]+)?(?=[/?#]|$)"));
    const QRegularExpressionMatch match = pattern.match(url);
    QString domain;
    if (match.hasMatch())
        domain = match.captured(0) + QLatin1Char('/');
    qInfo() << QStringLiteral("found domain:%1, length:%2").arg(domain).arg(match.hasMatch() ? domain.length() : -1);
    return domain;
}

bool StringUtility::getLongestLine(const QFont &font, const QStringList &lines, int &maxWidth, int &maxIndex)
{
    if (lines.isEmpty()) {
        qWarning() << "lines is empty.";
        return false;
    }
    const QFontMetrics metrics(font);
    int bestWidth = 0;
    int bestIndex = 0;
    for (int i = 0; i < lines.size(); ++i) {
        const int width = metrics.horizontalAdvance(lines.at(i));
        if (width > bestWidth) {
            bestWidth = width;
            bestIndex = i;
        }
    }
    maxWidth = bestWidth;
    maxIndex = bestIndex;
    qInfo() << QStringLiteral("maxWide:%1 maxIndex:%2 LongestText:%3").arg(maxWidth).arg(maxIndex).arg(lines.at(maxIndex));
    return true;
}

bool StringUtility::splitPair(const QString &text, const QString &separator, QString &key, QString &value)
{
    const int index = separator.isEmpty() ? -1 : text.indexOf(separator);
    if (index < 0) {
        qCritical("style:%s doesn't contain : sign", text.toUtf8().constData());
        return false;
    }
    key = text.left(index).trimmed();
    value = text.mid(index + separator.length()).trimmed();
    return true;
}

QString StringUtility::cutForLog(const QString &text, int maxChars)
{
    if (text.size() <= maxChars)
        return text;
    // Never cut a surrogate pair in two.
    int keep = qMax(0, maxChars);
    if (keep > 0 && text.at(keep - 1).isHighSurrogate())
        --keep;
    return text.left(keep) + QStringLiteral("...[cut: %1 chars in all]").arg(text.size());
}
