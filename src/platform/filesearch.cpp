#include "filesearch.h"

#include <QDir>
#include <QRegularExpression>

namespace {

QRegularExpression wildcardExpression(const QString &pattern)
{
    QString expression;
    expression.reserve(pattern.size() * 2 + 4);
    for (const QChar c : pattern) {
        if (c == QLatin1Char('*'))
            expression += QLatin1String(".*");
        else if (c == QLatin1Char('?'))
            expression += QLatin1Char('.');
        else
            expression += QRegularExpression::escape(QString(c));
    }
    return QRegularExpression(QRegularExpression::anchoredPattern(expression),
                              QRegularExpression::CaseInsensitiveOption
                                  | QRegularExpression::DotMatchesEverythingOption);
}

} // namespace

bool matchesFilePattern(const QString &pattern, const QString &name)
{
    return wildcardExpression(pattern).match(name).hasMatch();
}

QFileInfoList findFilesByPattern(const QString &wildcardPath)
{
    const QString normalised = QDir::fromNativeSeparators(wildcardPath);
    const int slash = normalised.lastIndexOf(QLatin1Char('/'));
    const QString folder = slash < 0 ? QStringLiteral(".") : normalised.left(slash + 1);
    const QString pattern = normalised.mid(slash + 1);
    if (pattern.isEmpty())
        return {};

    const QRegularExpression expression = wildcardExpression(pattern);
    QFileInfoList result;
    const QFileInfoList entries = QDir(folder).entryInfoList(
        QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden | QDir::System, QDir::Name);
    for (const QFileInfo &entry : entries) {
        if (expression.match(entry.fileName()).hasMatch())
            result.append(entry);
    }
    return result;
}
