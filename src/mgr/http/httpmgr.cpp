#include "mgr/http/httpmgr.h"

#include "mgr/http/networkdownloadreplyholder.h"
#include "mgr/http/networkreplyholder.h"
#include "utility/downloadutil.h"

#include <QFile>
#include <QFileInfo>
#include <QHttpMultiPart>
#include <QNetworkCookie>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <QUrl>

namespace {

const char kOctetStream[] = "application/octet-stream";

// The hashed password is what the server accepts, and logs are uploaded.
bool isSecretParam(const QString &name)
{
    return name.contains(QLatin1String("password"), Qt::CaseInsensitive);
}

QMap<QString, QString> maskedParams(const QMap<QString, QString> &params)
{
    QMap<QString, QString> masked = params;
    for (auto it = masked.begin(); it != masked.end(); ++it) {
        if (isSecretParam(it.key()))
            it.value() = QStringLiteral("******");
    }
    return masked;
}

// A quote or line break in a header value would end it early; encode them
// as browsers do in multipart names.
QString headerSafe(QString text)
{
    text.replace(QLatin1Char('"'), QLatin1String("%22"));
    text.replace(QLatin1Char('\r'), QLatin1String("%0D"));
    text.replace(QLatin1Char('\n'), QLatin1String("%0A"));
    return text;
}

} // namespace

HttpMgr::HttpMgr() = default;

HttpMgr::~HttpMgr() = default;

QNetworkAccessManager &HttpMgr::manager()
{
    if (!m_manager)
        m_manager = std::make_unique<QNetworkAccessManager>();
    return *m_manager;
}

void HttpMgr::init()
{
    m_contentTypes[QStringLiteral("jpg")] = QStringLiteral("image/jpeg");
    m_contentTypes[QStringLiteral("jpeg")] = QStringLiteral("image/jpeg");
    m_contentTypes[QStringLiteral("png")] = QStringLiteral("image/png");
    m_contentTypes[QStringLiteral("gif")] = QStringLiteral("image/gif");
    m_contentTypes[QStringLiteral("zip")] = QStringLiteral("application/zip");
    m_contentTypes[QStringLiteral("txt")] = QStringLiteral("text/plain");
}

QString HttpMgr::paramsToLogText(const QMap<QString, QString> &params)
{
    QString text;
    for (auto it = params.cbegin(); it != params.cend(); ++it) {
        const QString value = isSecretParam(it.key()) ? QStringLiteral("******") : it.value();
        text += QStringLiteral("key:%1, value:%2").arg(it.key(), value);
    }
    return text;
}

QByteArray HttpMgr::encodeParams(const QMap<QString, QString> &params)
{
    QByteArray encoded;
    for (auto it = params.cbegin(); it != params.cend(); ++it) {
        if (!encoded.isEmpty())
            encoded += '&';
        encoded += QUrl::toPercentEncoding(it.key());
        encoded += '=';
        encoded += QUrl::toPercentEncoding(it.value());
    }
    return encoded;
}

NetWorkReplyHolder *HttpMgr::get(const QString &url, const QMap<QString, QString> &params,
                                 int timeoutMilliseconds)
{
    qInfo("get url:%s, params:%s", qUtf8Printable(url), qUtf8Printable(paramsToLogText(params)));

    QUrl requestUrl(url, QUrl::TolerantMode);
    if (!params.isEmpty())
        requestUrl.setQuery(QString::fromLatin1(encodeParams(params)), QUrl::StrictMode);

    QNetworkRequest request(requestUrl);
    request.setAttribute(QNetworkRequest::RedirectPolicyAttribute,
                         QNetworkRequest::NoLessSafeRedirectPolicy);

    QNetworkReply *reply = manager().get(request);
    if (!reply) {
        qCritical("reply is null");
        return NetWorkReplyHolder::createRefused(url, REQUEST_REFUSED_ERROR_CODE);
    }
    return new NetWorkReplyHolder(reply, url, timeoutMilliseconds);
}

NetWorkReplyHolder *HttpMgr::post(const QString &url, const QMap<QString, QString> &params,
                                  int timeoutMilliseconds)
{
    qInfo("post url:%s, params:%s", qUtf8Printable(url), qUtf8Printable(paramsToLogText(params)));

    QNetworkRequest request(QUrl(url, QUrl::TolerantMode));
    request.setHeader(QNetworkRequest::ContentTypeHeader,
                      QStringLiteral("application/x-www-form-urlencoded"));

    const QByteArray body = encodeParams(params);
    qDebug("postData:%s", encodeParams(maskedParams(params)).constData());

    QNetworkReply *reply = manager().post(request, body);
    if (!reply) {
        qCritical("reply is null");
        return NetWorkReplyHolder::createRefused(url, REQUEST_REFUSED_ERROR_CODE);
    }
    return new NetWorkReplyHolder(reply, url, timeoutMilliseconds);
}

NetWorkReplyHolder *HttpMgr::upload(const QString &url, const QString &fileControlName,
                                    const QString &filePath, const QMap<QString, QString> &params)
{
    qInfo("upload url:%s, fileControlName:%s, filePath:%s", qUtf8Printable(url),
          qUtf8Printable(fileControlName), qUtf8Printable(filePath));

    auto *file = new QFile(filePath);
    if (!file->open(QIODevice::ReadOnly)) {
        // An unopened body would go out as an empty file that a lenient
        // server accepts; the caller must hear that nothing was sent.
        qCritical("open file failed");
        delete file;
        return NetWorkReplyHolder::createRefused(url, REQUEST_REFUSED_ERROR_CODE);
    }

    auto *multiPart = new QHttpMultiPart(QHttpMultiPart::FormDataType);

    QHttpPart filePart;
    filePart.setHeader(QNetworkRequest::ContentTypeHeader, guessFileContentType(filePath));
    filePart.setHeader(QNetworkRequest::ContentDispositionHeader,
                       QStringLiteral("form-data;name=\"%1\";filename=\"%2\"")
                           .arg(headerSafe(fileControlName),
                                headerSafe(QFileInfo(filePath).fileName())));
    filePart.setBodyDevice(file);
    file->setParent(multiPart);
    multiPart->append(filePart);

    for (auto it = params.cbegin(); it != params.cend(); ++it) {
        QHttpPart textPart;
        textPart.setHeader(QNetworkRequest::ContentDispositionHeader,
                           QStringLiteral("form-data; name=\"%1\"").arg(headerSafe(it.key())));
        textPart.setBody(it.value().toLocal8Bit());
        multiPart->append(textPart);
    }

    QNetworkRequest request{QUrl(url, QUrl::TolerantMode)};
    QNetworkReply *reply = manager().post(request, multiPart);
    if (!reply) {
        qCritical("reply is null");
        delete multiPart;
        return NetWorkReplyHolder::createRefused(url, REQUEST_REFUSED_ERROR_CODE);
    }
    // The body and its file live exactly as long as the reply.
    multiPart->setParent(reply);
    return new NetWorkReplyHolder(reply, url, -1);
}

NetWorkDownloadReplyHolder *HttpMgr::download(QObject *parent, const QString &url,
                                              const QString &dirPath)
{
    qInfo("download urlString:%s, path:%s", qUtf8Printable(url), qUtf8Printable(dirPath));

    if (url.trimmed().isEmpty()) {
        qCritical("download refused: empty url");
        return NetWorkDownloadReplyHolder::createRefused(parent, url, dirPath,
                                                         REQUEST_REFUSED_ERROR_CODE);
    }

    // Download addresses come from servers: only the web is fetched, never
    // a local file or an address that carries its own content.
    if (!DownloadUtil::isWebAddress(url)) {
        qCritical("download refused, not an http(s) address: %s", qUtf8Printable(url));
        return NetWorkDownloadReplyHolder::createRefused(parent, url, dirPath,
                                                         REQUEST_REFUSED_ERROR_CODE);
    }

    if (NetWorkDownloadReplyHolder::isFileAlreadyDownloaded(url, dirPath)) {
        qInfo("isFileAlreadyDownloaded true");
        return new NetWorkDownloadReplyHolder(parent, url, dirPath, nullptr);
    }

    QNetworkRequest request(QUrl(url, QUrl::TolerantMode));
    request.setAttribute(QNetworkRequest::RedirectPolicyAttribute,
                         QNetworkRequest::NoLessSafeRedirectPolicy);
    // The size check compares the bytes on disk with the announced length,
    // which only holds for an unencoded body.
    request.setRawHeader("Accept-Encoding", "identity");

    QNetworkReply *reply = manager().get(request);
    if (!reply) {
        qCritical("reply is null");
        return NetWorkDownloadReplyHolder::createRefused(parent, url, dirPath,
                                                         REQUEST_REFUSED_ERROR_CODE);
    }
    return new NetWorkDownloadReplyHolder(parent, url, dirPath, reply);
}

QString HttpMgr::guessFileContentType(const QString &filePath)
{
    qInfo("guessFileContentType filePath:%s", qUtf8Printable(filePath));
    const QString suffix = QFileInfo(filePath).suffix().trimmed();
    if (suffix.isEmpty()) {
        qCritical("no suffix");
        return QString::fromLatin1(kOctetStream);
    }
    const auto it = m_contentTypes.constFind(suffix.toLower());
    if (it == m_contentTypes.cend()) {
        qCritical("can't find content type with suffix:%s", qUtf8Printable(suffix));
        return QString::fromLatin1(kOctetStream);
    }
    return it.value();
}

void HttpMgr::SavePhpSessionId(const QVariant &cookies)
{
    const QList<QNetworkCookie> list = cookies.value<QList<QNetworkCookie>>();
    for (const QNetworkCookie &cookie : list) {
        qInfo("phpsessionid:name:%s, value:%s", cookie.name().constData(),
              cookie.value().constData());
        if (QString::fromUtf8(cookie.name()).toUpper() == QLatin1String("PHPSESSID"))
            setPhpSessionId(QString::fromUtf8(cookie.value()));
    }
}

void HttpMgr::setPhpSessionId(const QString &id)
{
    qInfo("phpsessionid:setPhpSessionId:%s", qUtf8Printable(id));
    m_phpSessionId = id;
}

QString HttpMgr::getPhpSessionId() const
{
    return m_phpSessionId;
}

QString actionNameFromUrl(const QString &url)
{
    const QStringList parts = url.split(QLatin1Char('/'));
    if (parts.size() < 2)
        return url;
    return QStringLiteral("%1_%2").arg(parts.at(parts.size() - 2), parts.last());
}

QString failureActionName(const QString &url)
{
    return actionNameFromUrl(url) + QStringLiteral("_failure");
}
