#include "requestrecorder.h"

#include "parsedrequest.h"

#include <QCryptographicHash>

namespace {

void addItems(const NameValueList &items, QJsonObject &values, QJsonArray &order)
{
    for (const auto &item : items) {
        values.insert(item.first, item.second);
        order.append(item.first);
    }
}

} // namespace

void RequestRecorder::record(const ParsedRequest &request)
{
    const QJsonObject entry = toJson(request);
    std::lock_guard<std::mutex> lock(m_mutex);
    if (m_entries.size() >= kMaxEntries)
        m_entries.removeFirst();
    m_entries.append(entry);
}

QJsonArray RequestRecorder::entries() const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    QJsonArray array;
    for (const QJsonObject &entry : m_entries)
        array.append(entry);
    return array;
}

void RequestRecorder::clear()
{
    std::lock_guard<std::mutex> lock(m_mutex);
    m_entries.clear();
}

QJsonObject RequestRecorder::toJson(const ParsedRequest &request)
{
    QJsonObject query;
    QJsonArray queryOrder;
    addItems(request.query, query, queryOrder);
    QJsonObject form;
    QJsonArray formOrder;
    addItems(request.form, form, formOrder);

    // Repeated header lines are joined as HTTP allows.
    QJsonObject headers;
    for (const auto &header : request.headers) {
        const QString previous = headers.value(header.first).toString();
        headers.insert(header.first, previous.isEmpty() ? header.second
                                                        : previous + QStringLiteral(", ") + header.second);
    }

    QJsonArray files;
    for (const UploadedPart &part : request.files) {
        files.append(QJsonObject{
            { QStringLiteral("field"), part.field },
            { QStringLiteral("filename"), part.filename },
            { QStringLiteral("size"), part.data.size() },
            { QStringLiteral("content_type"), part.contentType },
            { QStringLiteral("md5"), QString::fromLatin1(QCryptographicHash::hash(part.data, QCryptographicHash::Md5).toHex()) },
        });
    }

    return QJsonObject{
        { QStringLiteral("method"), request.method },
        { QStringLiteral("path"), request.path },
        { QStringLiteral("query"), query },
        { QStringLiteral("query_order"), queryOrder },
        { QStringLiteral("form"), form },
        { QStringLiteral("form_order"), formOrder },
        { QStringLiteral("headers"), headers },
        { QStringLiteral("cookie"), headers.value(QStringLiteral("cookie")).toString() },
        { QStringLiteral("body"), request.multipart ? QString() : QString::fromUtf8(request.body) },
        { QStringLiteral("files"), files },
    };
}
