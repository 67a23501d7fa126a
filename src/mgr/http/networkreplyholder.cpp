#include "mgr/http/networkreplyholder.h"

#include "mgr/http/httpmgr.h"
#include "mgr/http/networkreplytimeout.h"
#include "mgr/singleton.h"
#include "utility/actionlog.h"

#include <QNetworkRequest>
#include <QPointer>

NetWorkReplyHolder::NetWorkReplyHolder(QNetworkReply *reply, const QString &url,
                                       int timeoutMilliseconds)
    : BaseReplyHolder(nullptr, EVENT_TYPE_ON_ABORT, EVENT_TYPE_ON_REFUSED)
    , m_reply(reply)
    , m_url(url)
{
    postStartEvent();

    if (!m_reply)
        return;

    connect(m_reply, &QNetworkReply::readyRead, this, &NetWorkReplyHolder::slot_readyRead);
    connect(m_reply, &QNetworkReply::finished, this, &NetWorkReplyHolder::slot_finished);
    connect(m_reply, &QNetworkReply::errorOccurred, this, &NetWorkReplyHolder::slot_error);
    connect(m_reply, &QNetworkReply::downloadProgress, this,
            &NetWorkReplyHolder::slot_downloadProgress);
    connect(m_reply, &QNetworkReply::metaDataChanged, this,
            &NetWorkReplyHolder::slot_replyMetaDataChanged);
    connect(m_reply, &QNetworkReply::sslErrors, this, &NetWorkReplyHolder::slot_sslErrors);

    if (timeoutMilliseconds > 0) {
        qInfo("timeout:init timeoutMilliseconds:%d", timeoutMilliseconds);
        auto *timeout = new NetworkReplyTimeout(m_reply, timeoutMilliseconds);
        connect(timeout, &NetworkReplyTimeout::timeout, this,
                &NetWorkReplyHolder::slot_reply_timeout);
    }
}

NetWorkReplyHolder::~NetWorkReplyHolder()
{
    qInfo("network reply:NetWorkReplyHolder dies");
    m_shouldAbort = true;
    if (m_reply) {
        // Aborted while still connected: a running request leaves its
        // "{abort:true}" record, as any abandoned request does.
        m_reply->abort();
        qInfo("network reply:QNetworkReply dies");
    }
    releaseReply(m_reply);
}

NetWorkReplyHolder *NetWorkReplyHolder::createRefused(const QString &url, int errorCode)
{
    auto *holder = new NetWorkReplyHolder(nullptr, url, -1);
    holder->postRefusal(errorCode);
    return holder;
}

void NetWorkReplyHolder::setShouldAbort(bool shouldAbort)
{
    qInfo("abort:setShouldAbort:%d", shouldAbort ? 1 : 0);
    m_shouldAbort = shouldAbort;
    if (!shouldAbort)
        return;
    if (m_reply)
        m_reply->abort();
    postAbortEvent();
}

QString NetWorkReplyHolder::getUrl() const
{
    return m_url;
}

void NetWorkReplyHolder::emitFailure(int errorCode)
{
    qInfo("signal_onFailure");
    ActionLog::instance()->ErrorInfo(failureActionName(m_url),
                                     QStringLiteral("{errorCode:%1}").arg(errorCode));
    emit signal_onFailure(errorCode);
}

void NetWorkReplyHolder::emitAbort()
{
    emit signal_onAbort();
}

bool NetWorkReplyHolder::finishesAfterAbort() const
{
    return true;
}

void NetWorkReplyHolder::slot_readyRead()
{
    if (m_reply)
        m_response.append(m_reply->readAll());
}

void NetWorkReplyHolder::slot_downloadProgress(qlonglong bytesReceived, qlonglong bytesTotal)
{
    if (bytesTotal == -1)
        return;
    if (m_shouldAbort) {
        qWarning("abort");
        return;
    }
    if (!emitStartOnce())
        return;
    emit signal_downloadProgress(bytesReceived, bytesTotal);
}

void NetWorkReplyHolder::slot_finished()
{
    if (m_errorHandled) {
        qInfo("already handled in error");
        return;
    }
    if (m_shouldAbort) {
        qWarning("abort");
        return;
    }
    m_errorHandled = true;
    // A fast answer can be queued before the start event: start comes first
    // all the same.
    if (!emitStartOnce())
        return;
    savePhpSessionId();
    qInfo("signal_onSuccess, url:%s, response:%s", qUtf8Printable(m_url), m_response.constData());
    // A slot may delete the holder; nothing is touched after that.
    const QPointer<NetWorkReplyHolder> alive(this);
    emit signal_onSuccess(QString::fromUtf8(m_response));
    if (!alive)
        return;
    emitFinish();
}

void NetWorkReplyHolder::slot_error(QNetworkReply::NetworkError code)
{
    qCritical("slot_error, code:%d", static_cast<int>(code));
    m_errorHandled = true;
    if (m_shouldAbort) {
        qWarning("abort");
        ActionLog::instance()->ErrorInfo(failureActionName(m_url), QStringLiteral("{abort:true}"));
        return;
    }
    reportFailure(-static_cast<int>(code));
}

void NetWorkReplyHolder::slot_reply_timeout()
{
    qCritical("timeout:slot_reply_timeout, abort, emit failure");
    setShouldAbort(true);
    if (!emitStartOnce())
        return;
    emit signal_onFailure(QNetworkReply::TimeoutError);
}

void NetWorkReplyHolder::slot_replyMetaDataChanged()
{
    dumpHttpHeader(this, m_reply);
}

void NetWorkReplyHolder::dumpHttpHeader(const void *caller, QNetworkReply *reply)
{
    if (!reply)
        return;
    const QVariant status = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute);
    if (status.isValid())
        qInfo("this:%p, response status code:%d", caller, status.toInt());
    QByteArray text;
    const auto headers = reply->rawHeaderPairs();
    for (const auto &header : headers) {
        text += header.first;
        text += ':';
        text += header.second;
        text += '\n';
    }
    qInfo("this:%p----------dump http header:----------\n%s", caller, text.constData());
}

void NetWorkReplyHolder::slot_sslErrors(QList<QSslError> errors)
{
    logSslErrors(this, errors, QStringLiteral("ssl_error"));
}

void NetWorkReplyHolder::logSslErrors(const void *caller, const QList<QSslError> &errors,
                                      const QString &actionName)
{
    qCritical("this:%p, slot_sslErrors", caller);
    for (const QSslError &error : errors) {
        qCritical("ssl error:%d, errorString:%s", static_cast<int>(error.error()),
                  qUtf8Printable(error.errorString()));
        ActionLog::instance()->ErrorInfo(actionName,
                                         QStringLiteral("{code:%1, string:%2}")
                                             .arg(static_cast<int>(error.error()))
                                             .arg(error.errorString()));
    }
}

void NetWorkReplyHolder::savePhpSessionId()
{
    if (!m_reply) {
        qCritical("phpsessionid:empty reply");
        return;
    }
    HttpMgr *mgr = Singleton<HttpMgr>::instance();
    mgr->SavePhpSessionId(m_reply->request().header(QNetworkRequest::CookieHeader));
    mgr->SavePhpSessionId(m_reply->header(QNetworkRequest::SetCookieHeader));
}

namespace {

struct NetworkErrorText
{
    int code;
    const char *name;
};

const NetworkErrorText kNetworkErrorNames[] = {
    {1, "ConnectionRefusedError"},
    {2, "RemoteHostClosedError"},
    {3, "HostNotFoundError"},
    {4, "TimeoutError"},
    {5, "OperationCanceledError"},
    {6, "SslHandshakeFailedError"},
    {7, "TemporaryNetworkFailureError"},
    {8, "NetworkSessionFailedError"},
    {9, "BackgroundRequestNotAllowedError"},
    {10, "TooManyRedirectsError"},
    {11, "InsecureRedirectError"},
    {99, "UnknownNetworkError"},
    {101, "ProxyConnectionRefusedError"},
    {102, "ProxyConnectionClosedError"},
    {103, "ProxyNotFoundError"},
    {104, "ProxyTimeoutError"},
    {105, "ProxyAuthenticationRequiredError"},
    {199, "UnknownProxyError"},
    {201, "ContentAccessDenied"},
    {202, "ContentOperationNotPermittedError"},
    {203, "ContentNotFoundError"},
    {204, "AuthenticationRequiredError"},
    {205, "ContentReSendError"},
    {206, "ContentConflictError"},
    {207, "ContentGoneError"},
    {299, "UnknownContentError"},
    {301, "ProtocolUnknownError"},
    {302, "ProtocolInvalidOperationError"},
    {399, "ProtocolFailure"},
    {401, "InternalServerError"},
    {402, "OperationNotImplementedError"},
    {403, "ServiceUnavailableError"},
    {499, "UnknownServerError"},
};

} // namespace

QString networkErrorName(int code)
{
    for (const NetworkErrorText &entry : kNetworkErrorNames) {
        if (entry.code == code)
            return QString::fromLatin1(entry.name);
    }
    return QString();
}

QString networkErrorMessage(int code)
{
    switch (code) {
    case 1:
        return QStringLiteral("连接被拒绝");
    case 2:
        return QStringLiteral("远程主机关闭");
    case 3:
        return QStringLiteral("无法连接服务器");
    case 4:
        return QStringLiteral("连接超时");
    case 5:
        return QStringLiteral("操作被取消");
    default:
        return networkErrorName(code);
    }
}
