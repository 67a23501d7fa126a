#include "parsedrequest.h"

namespace {

QString lastValue(const NameValueList &items, const QString &name)
{
    for (int i = items.size() - 1; i >= 0; --i) {
        if (items.at(i).first == name)
            return items.at(i).second.isNull() ? QStringLiteral("") : items.at(i).second;
    }
    return QString();
}

QString decodeComponent(QByteArray text)
{
    text.replace('+', ' ');
    return QString::fromUtf8(QByteArray::fromPercentEncoding(text));
}

} // namespace

QString ParsedRequest::queryValue(const QString &name) const
{
    return lastValue(query, name);
}

QString ParsedRequest::formValue(const QString &name) const
{
    return lastValue(form, name);
}

QString ParsedRequest::header(const QString &lowerCaseName) const
{
    return lastValue(headers, lowerCaseName);
}

const UploadedPart *ParsedRequest::file(const QString &field) const
{
    for (const UploadedPart &part : files) {
        if (part.field == field)
            return &part;
    }
    return nullptr;
}

namespace RequestParsing {

NameValueList parseUrlEncoded(const QByteArray &text)
{
    NameValueList items;
    for (const QByteArray &pair : text.split('&')) {
        if (pair.isEmpty())
            continue;
        const int eq = pair.indexOf('=');
        const QByteArray name = eq < 0 ? pair : pair.left(eq);
        const QByteArray value = eq < 0 ? QByteArray() : pair.mid(eq + 1);
        items.append(qMakePair(decodeComponent(name), decodeComponent(value)));
    }
    return items;
}

QByteArray queryOfTarget(const QByteArray &target)
{
    const int mark = target.indexOf('?');
    if (mark < 0)
        return QByteArray();
    QByteArray query = target.mid(mark + 1);
    const int fragment = query.indexOf('#');
    if (fragment >= 0)
        query.truncate(fragment);
    return query;
}

} // namespace RequestParsing
