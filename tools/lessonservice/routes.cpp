#include "routes.h"

#include "faultcontrol.h"
#include "fixturedata.h"
#include "parsedrequest.h"
#include "requestrecorder.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QRegularExpression>

#include <zlib.h>

#include <algorithm>
#include <memory>

namespace {

const char kControlPrefix[] = "/__control/";
const char kTextType[] = "text/plain; charset=utf-8";
const char kHtmlType[] = "text/html; charset=utf-8";
// What the real service's front end sends when its cache is down.
const char kNonJsonBody[] = "Error Message:Redis Error<br>Error Code:102";

Answer plain(int status, const QString &text)
{
    Answer answer;
    answer.status = status;
    answer.contentType = kTextType;
    answer.body = text.toUtf8() + '\n';
    return answer;
}

Answer controlError(int status, const QString &message)
{
    return Catalogue::json(status, QJsonObject{ { QStringLiteral("error"), message } });
}

// A control call whose body is one JSON object handed to set, which
// answers with an error text or nothing.
template <typename Setter>
Answer setFromObject(const QByteArray &body, Setter set)
{
    const QJsonDocument document = QJsonDocument::fromJson(body);
    const QString message = document.isObject() ? set(document.object())
                                                : QStringLiteral("the body must be a JSON object");
    return message.isEmpty() ? Catalogue::json(200, QJsonObject{ { QStringLiteral("ok"), true } })
                             : controlError(400, message);
}

Answer servedFile(const ServedFile &file)
{
    Answer answer;
    answer.contentType = file.contentType;
    answer.body = file.data;
    answer.download = true;
    return answer;
}

// Only one plain range is honoured ("bytes=a-b", "bytes=a-", "bytes=-n");
// anything else gets the whole file, as HTTP allows.
enum class RangeKind { Whole, Partial, Unsatisfiable };

RangeKind parseRange(const QString &header, qint64 size, qint64 *first, qint64 *last)
{
    const QRegularExpression pattern(QStringLiteral("^\\s*bytes\\s*=\\s*(\\d*)\\s*-\\s*(\\d*)\\s*$"));
    const QRegularExpressionMatch match = pattern.match(header);
    if (header.isEmpty() || !match.hasMatch() || (match.captured(1).isEmpty() && match.captured(2).isEmpty()))
        return RangeKind::Whole;
    if (size <= 0)
        return RangeKind::Unsatisfiable;
    bool ok = true;
    if (match.captured(1).isEmpty()) {
        const qint64 suffix = match.captured(2).toLongLong(&ok);
        if (!ok || suffix == 0)
            return RangeKind::Unsatisfiable;
        *first = qMax<qint64>(0, size - suffix);
        *last = size - 1;
    } else {
        *first = match.captured(1).toLongLong(&ok);
        bool lastOk = true;
        *last = match.captured(2).isEmpty() ? size - 1 : match.captured(2).toLongLong(&lastOk);
        if (!ok || !lastOk)
            return RangeKind::Whole;
        if (*first >= size)
            return RangeKind::Unsatisfiable;
        if (*last < *first)
            return RangeKind::Whole;
        *last = qMin(*last, size - 1);
    }
    return RangeKind::Partial;
}

QByteArray gzip(const QByteArray &data)
{
    z_stream stream = {};
    if (deflateInit2(&stream, Z_DEFAULT_COMPRESSION, Z_DEFLATED, 15 + 16, 8, Z_DEFAULT_STRATEGY) != Z_OK)
        return QByteArray();
    QByteArray out(static_cast<int>(deflateBound(&stream, static_cast<uLong>(data.size()))) + 32, Qt::Uninitialized);
    stream.next_in = reinterpret_cast<Bytef *>(const_cast<char *>(data.constData()));
    stream.avail_in = static_cast<uInt>(data.size());
    stream.next_out = reinterpret_cast<Bytef *>(out.data());
    stream.avail_out = static_cast<uInt>(out.size());
    const int result = deflate(&stream, Z_FINISH);
    out.resize(static_cast<int>(stream.total_out));
    deflateEnd(&stream);
    return result == Z_STREAM_END ? out : QByteArray();
}

// Every body goes out through a provider of known length: it always carries
// Content-Length and the library never compresses or slices it on its own.
void setBody(httplib::Response &response, const QByteArray &contentType, const QByteArray &body,
             size_t announcedLength)
{
    auto data = std::make_shared<QByteArray>(body);
    response.set_content_provider(
        announcedLength, contentType.toStdString(),
        [data](size_t offset, size_t, httplib::DataSink &sink) {
            // Past the real end (a truncated answer): fail, so the
            // connection closes short of the announced length.
            if (offset >= static_cast<size_t>(data->size()))
                return false;
            return sink.write(data->constData() + offset, static_cast<size_t>(data->size()) - offset);
        });
}

void applyHeaders(const Answer &answer, httplib::Response &response)
{
    for (const auto &header : answer.headers)
        response.set_header(header.first.toStdString(), header.second.toStdString());
}

NameValueList headerList(const httplib::Request &request)
{
    NameValueList headers;
    for (const auto &header : request.headers)
        headers.append(qMakePair(QString::fromStdString(header.first).toLower(), QString::fromStdString(header.second)));
    return headers;
}

ParsedRequest parseCommon(const httplib::Request &request)
{
    ParsedRequest parsed;
    parsed.method = QString::fromStdString(request.method);
    parsed.path = QString::fromStdString(request.path);
    parsed.query = RequestParsing::parseUrlEncoded(RequestParsing::queryOfTarget(QByteArray::fromStdString(request.target)));
    parsed.headers = headerList(request);
    return parsed;
}

bool isControl(const ParsedRequest &parsed)
{
    return parsed.path.startsWith(QLatin1String(kControlPrefix));
}

} // namespace

Routes::Routes(FixtureData &data, RequestRecorder &recorder, FaultControl &faults)
    : m_data(data)
    , m_recorder(recorder)
    , m_faults(faults)
    , m_catalogue(data)
{
}

void Routes::install(httplib::Server &server)
{
    server.Get(".*", [this](const httplib::Request &request, httplib::Response &response) {
        ParsedRequest parsed = parseCommon(request);
        handle(request, response, parsed);
    });

    server.Post(".*", [this](const httplib::Request &request, httplib::Response &response,
                             const httplib::ContentReader &reader) {
        ParsedRequest parsed = parseCommon(request);
        if (request.is_multipart_form_data()) {
            parsed.multipart = true;
            QVector<UploadedPart> parts;
            reader(
                [&parts](const httplib::MultipartFormData &header) {
                    UploadedPart part;
                    part.field = QString::fromStdString(header.name);
                    part.filename = QString::fromStdString(header.filename);
                    part.contentType = QString::fromStdString(header.content_type);
                    parts.append(part);
                    return true;
                },
                [&parts](const char *data, size_t length) {
                    if (!parts.isEmpty())
                        parts.last().data.append(data, static_cast<int>(length));
                    return true;
                });
            // Parts without a file name are plain form fields.
            for (const UploadedPart &part : qAsConst(parts)) {
                if (part.filename.isEmpty())
                    parsed.form.append(qMakePair(part.field, QString::fromUtf8(part.data)));
                else
                    parsed.files.append(part);
            }
        } else {
            reader([&parsed](const char *data, size_t length) {
                parsed.body.append(data, static_cast<int>(length));
                return true;
            });
            const QString type = parsed.header(QStringLiteral("content-type"));
            if (type.isEmpty() || type.startsWith(QLatin1String("application/x-www-form-urlencoded"), Qt::CaseInsensitive))
                parsed.form = RequestParsing::parseUrlEncoded(parsed.body);
        }
        handle(request, response, parsed);
    });

    auto refuse = [this](const httplib::Request &request, httplib::Response &response) {
        ParsedRequest parsed = parseCommon(request);
        parsed.body = QByteArray::fromStdString(request.body);
        handle(request, response, parsed);
    };
    server.Put(".*", refuse);
    server.Patch(".*", refuse);
    server.Delete(".*", refuse);
}

void Routes::handle(const httplib::Request &request, httplib::Response &response, ParsedRequest &parsed)
{
    // The library would cut every body to a Range header on its own, API
    // answers included; ranges are dealt with here, for downloads only.
    const_cast<httplib::Request &>(request).ranges.clear();

    if (isControl(parsed)) {
        handleControl(parsed, response);
        return;
    }

    // The fault is taken before the request shows in the log: a test that
    // sees the request there may reset, and the reset then reaches it.
    Fault fault;
    const bool faulty = m_faults.take(parsed.path, &fault);
    m_recorder.record(parsed);
    if (faulty && fault.mode == Fault::Hang) {
        // Nothing is sent until the client gives up; after the bound (or a
        // reset) the request ends with a gateway time-out.
        m_faults.wait(FaultControl::kMaxWaitMs, fault);
        Answer timedOut = Catalogue::envelope(504, QStringLiteral("no answer in time"));
        timedOut.status = 504;
        write(request, timedOut, response);
        return;
    }
    if (faulty && fault.delayMs > 0)
        m_faults.wait(fault.delayMs, fault);

    const Answer answer = produce(parsed);
    if (faulty && fault.mode != Fault::Delay)
        writeSpoilt(fault, answer, response);
    else
        write(request, answer, response);
}

void Routes::handleControl(const ParsedRequest &parsed, httplib::Response &response)
{
    Answer answer;
    const bool post = parsed.method == QLatin1String("POST");
    if (parsed.path == QLatin1String("/__control/reset") && post) {
        m_recorder.clear();
        m_faults.reset();
        m_data.resetState();
        answer = Catalogue::json(200, QJsonObject{ { QStringLiteral("ok"), true } });
    } else if (parsed.path == QLatin1String("/__control/fault") && post) {
        QJsonParseError error;
        const QJsonDocument document = QJsonDocument::fromJson(parsed.body, &error);
        QString message;
        if (!document.isObject())
            message = QStringLiteral("the body must be a JSON object: %1").arg(error.error == QJsonParseError::NoError ? QStringLiteral("not an object") : error.errorString());
        else
            message = m_faults.set(document.object());
        answer = message.isEmpty() ? Catalogue::json(200, QJsonObject{ { QStringLiteral("ok"), true } })
                                   : controlError(400, message);
    } else if (parsed.path == QLatin1String("/__control/upgrade") && post) {
        answer = setFromObject(parsed.body, [this](const QJsonObject &body) { return m_data.setUpgradeAnswer(body); });
    } else if (parsed.path == QLatin1String("/__control/class") && post) {
        answer = setFromObject(parsed.body, [this](const QJsonObject &body) { return m_data.setClassBegin(body); });
    } else if (parsed.path == QLatin1String("/__control/requests") && parsed.method == QLatin1String("GET")) {
        answer = Catalogue::json(200, m_recorder.entries());
    } else if (parsed.path == QLatin1String("/__control/reset") || parsed.path == QLatin1String("/__control/fault")
               || parsed.path == QLatin1String("/__control/requests") || parsed.path == QLatin1String("/__control/upgrade")
               || parsed.path == QLatin1String("/__control/class")) {
        answer = controlError(405, QStringLiteral("wrong method %1 for %2").arg(parsed.method, parsed.path));
    } else {
        answer = controlError(404, QStringLiteral("no such control call: %1").arg(parsed.path));
    }
    response.status = answer.status;
    setBody(response, answer.contentType, answer.body, static_cast<size_t>(answer.body.size()));
}

Answer Routes::produce(const ParsedRequest &parsed)
{
    if (parsed.path.startsWith(QLatin1String("/QXV1/")))
        return m_catalogue.answer(parsed);
    if (parsed.path.startsWith(QLatin1String("/files/")) || parsed.path.startsWith(QLatin1String("/uploads/"))
        || parsed.path.startsWith(QLatin1String("/proxy/"))) {
        return download(parsed);
    }
    if (parsed.path.startsWith(QLatin1String("/Web/Index/")))
        return webPage(parsed);
    return plain(404, QStringLiteral("not found: %1").arg(parsed.path));
}

Answer Routes::download(const ParsedRequest &parsed)
{
    if (parsed.method != QLatin1String("GET") && parsed.method != QLatin1String("HEAD")) {
        Answer answer = plain(405, QStringLiteral("downloads take GET"));
        answer.headers.append(qMakePair(QByteArray("Allow"), QByteArray("GET, HEAD")));
        return answer;
    }
    // The proxy form of an address keeps the file name as its last segment.
    const QStringList segments = parsed.path.split(QLatin1Char('/'), Qt::SkipEmptyParts);
    const bool proxied = segments.first() == QLatin1String("proxy");
    if ((!proxied && segments.size() != 2) || (proxied && segments.size() < 2))
        return plain(404, QStringLiteral("not found: %1").arg(parsed.path));
    const QString name = segments.last();

    ServedFile file;
    const bool found = segments.first() == QLatin1String("uploads") ? m_data.uploadedFile(name, &file)
                                                                     : m_data.fixtureFile(name, &file);

    // The media storage answers "<file>?avinfo" with the file's media information.
    const bool avinfo = std::any_of(parsed.query.cbegin(), parsed.query.cend(), [](const auto &item) {
        return item.first == QLatin1String("avinfo");
    });
    if (avinfo && segments.first() == QLatin1String("files")) {
        if (!found)
            return Catalogue::json(404, QJsonObject{ { QStringLiteral("error"), QStringLiteral("no such file") } });
        const QJsonObject info = m_data.avinfo(name);
        if (info.isEmpty())
            return Catalogue::json(400, QJsonObject{ { QStringLiteral("error"), QStringLiteral("not an audio or video file") } });
        return Catalogue::json(200, info);
    }
    if (!found)
        return plain(404, QStringLiteral("not found: %1").arg(parsed.path));
    return servedFile(file);
}

Answer Routes::webPage(const ParsedRequest &parsed)
{
    static const QHash<QString, QString> titles = {
        { QStringLiteral("helph5"), QStringLiteral("Help centre") },
        { QStringLiteral("faq"), QStringLiteral("Frequently asked questions") },
        { QStringLiteral("member"), QStringLiteral("Member centre") },
        { QStringLiteral("memo"), QStringLiteral("Class memo") },
        { QStringLiteral("material"), QStringLiteral("Class material") },
    };
    const QString page = parsed.path.mid(static_cast<int>(qstrlen("/Web/Index/")));
    const auto it = titles.constFind(page);
    if (it == titles.constEnd())
        return plain(404, QStringLiteral("not found: %1").arg(parsed.path));
    Answer answer;
    answer.contentType = kHtmlType;
    answer.body = QStringLiteral("<!DOCTYPE html><html><head><meta charset=\"utf-8\"><title>%1</title></head>"
                                 "<body><h1>%1</h1><p>Page of the local stand-in lesson service.</p></body></html>\n")
                      .arg(it.value())
                      .toUtf8();
    return answer;
}

void Routes::write(const httplib::Request &request, const Answer &answer, httplib::Response &response)
{
    response.status = answer.status;
    applyHeaders(answer, response);
    if (!answer.download) {
        setBody(response, answer.contentType, answer.body, static_cast<size_t>(answer.body.size()));
        return;
    }

    response.set_header("Accept-Ranges", "bytes");
    const qint64 size = answer.body.size();
    qint64 first = 0;
    qint64 last = 0;
    switch (parseRange(QString::fromStdString(request.get_header_value("Range")), size, &first, &last)) {
    case RangeKind::Whole:
        setBody(response, answer.contentType, answer.body, static_cast<size_t>(size));
        break;
    case RangeKind::Partial: {
        const QByteArray part = answer.body.mid(static_cast<int>(first), static_cast<int>(last - first + 1));
        response.status = 206;
        response.set_header("Content-Range", QStringLiteral("bytes %1-%2/%3").arg(first).arg(last).arg(size).toStdString());
        setBody(response, answer.contentType, part, static_cast<size_t>(part.size()));
        break;
    }
    case RangeKind::Unsatisfiable:
        response.status = 416;
        response.set_header("Content-Range", QStringLiteral("bytes */%1").arg(size).toStdString());
        setBody(response, kTextType, QByteArray(), 0);
        break;
    }
}

void Routes::writeSpoilt(const Fault &fault, const Answer &answer, httplib::Response &response)
{
    switch (fault.mode) {
    case Fault::NonJson:
        response.status = 200;
        setBody(response, kHtmlType, kNonJsonBody, qstrlen(kNonJsonBody));
        break;
    case Fault::Status: {
        const QByteArray body = QStringLiteral("HTTP status %1 set by a test fault\n").arg(fault.status).toUtf8();
        response.status = fault.status;
        setBody(response, kTextType, body, static_cast<size_t>(body.size()));
        break;
    }
    case Fault::Truncate: {
        // Half the body under the full length, then the connection closes.
        response.status = answer.status;
        applyHeaders(answer, response);
        const size_t announced = static_cast<size_t>(qMax(1, answer.body.size()));
        setBody(response, answer.contentType, answer.body.left(answer.body.size() / 2), announced);
        break;
    }
    case Fault::Stall: {
        // Half the body, then nothing until a reset (or the bound), then the
        // connection closes short of the announced length.
        response.status = answer.status;
        applyHeaders(answer, response);
        auto data = std::make_shared<QByteArray>(answer.body);
        const size_t half = static_cast<size_t>(data->size() / 2);
        FaultControl *faults = &m_faults;
        response.set_content_provider(static_cast<size_t>(qMax(1, data->size())), answer.contentType.toStdString(),
                                      [data, half, faults, fault](size_t offset, size_t, httplib::DataSink &sink) {
                                          if (offset < half)
                                              return sink.write(data->constData() + offset, half - offset);
                                          faults->wait(FaultControl::kMaxWaitMs, fault);
                                          return false;
                                      });
        break;
    }
    case Fault::Announce:
        // Any length announced, the real body sent, then the connection
        // closes short of it (or the client hangs up first).
        response.status = answer.status;
        applyHeaders(answer, response);
        setBody(response, answer.contentType, answer.body, static_cast<size_t>(fault.length));
        break;
    case Fault::Gzip: {
        response.status = answer.status;
        applyHeaders(answer, response);
        response.set_header("Content-Encoding", "gzip");
        const QByteArray packed = gzip(answer.body);
        setBody(response, answer.contentType, packed, static_cast<size_t>(packed.size()));
        break;
    }
    case Fault::Chunked: {
        response.status = answer.status;
        applyHeaders(answer, response);
        auto data = std::make_shared<QByteArray>(answer.body);
        response.set_chunked_content_provider(answer.contentType.toStdString(), [data](size_t offset, httplib::DataSink &sink) {
            // Three chunks at most, so the client has to join them.
            const size_t size = static_cast<size_t>(data->size());
            if (offset >= size) {
                sink.done();
                return true;
            }
            const size_t piece = qMax<size_t>(1, size / 3 + 1);
            return sink.write(data->constData() + offset, qMin(piece, size - offset));
        });
        break;
    }
    case Fault::Redirect: {
        const QByteArray body = QStringLiteral("moved to %1\n").arg(fault.location).toUtf8();
        response.status = fault.status;
        response.set_header("Location", fault.location.toStdString());
        setBody(response, kTextType, body, static_cast<size_t>(body.size()));
        break;
    }
    case Fault::Body:
        response.status = 200;
        setBody(response, QByteArray("application/json; charset=utf-8"), fault.body, static_cast<size_t>(fault.body.size()));
        break;
    case Fault::Delay:
    case Fault::Hang:
        break;
    }
}
