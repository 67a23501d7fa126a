#ifndef NETWORKREPLYHOLDER_H
#define NETWORKREPLYHOLDER_H

#include <QByteArray>
#include <QEvent>
#include <QList>
#include <QNetworkReply>
#include <QSslError>
#include <QString>

#include "mgr/http/basereplyholder.h"

// Failure code of a request refused before anything was sent, for example
// an upload whose file cannot be read or a download without an address.
constexpr int REQUEST_REFUSED_ERROR_CODE = -997;

// Watches one GET, POST or upload and turns its reply into a fixed sequence
// of signals:
//   answer:            start, [progress...], success(body), finish
//   error / HTTP >=400: start, failure(-QNetworkReply::NetworkError), finish
//   time-out:          start, failure(4), later abort; no finish
//   abort by owner:    later abort; nothing else
//   refused:           start, failure(code), finish
// The first signal always comes from the event loop, so a caller may connect
// right after the call that created the holder (see BaseReplyHolder). The
// holder owns the reply.
class NetWorkReplyHolder : public BaseReplyHolder
{
    Q_OBJECT

public:
    enum EventType {
        EVENT_TYPE_ON_START = kStartEventType,
        EVENT_TYPE_ON_ABORT = QEvent::User + 2,
        EVENT_TYPE_ON_REFUSED = QEvent::User + 3,
    };

    NetWorkReplyHolder(QNetworkReply *reply, const QString &url, int timeoutMilliseconds);
    ~NetWorkReplyHolder() override;

    // A holder for a request that was never sent: it reports start,
    // failure(errorCode) and finish like a transport failure.
    static NetWorkReplyHolder *createRefused(const QString &url, int errorCode);

    // Abandons the request; signal_onAbort follows from the event loop.
    void setShouldAbort(bool shouldAbort);
    QString getUrl() const;

    // Logs the status and every raw header of reply; caller only names the
    // object in the log lines.
    static void dumpHttpHeader(const void *caller, QNetworkReply *reply);
    // Logs every TLS error and writes one actionName record per error to
    // the user-action log; caller only names the object in the log lines.
    static void logSslErrors(const void *caller, const QList<QSslError> &errors,
                             const QString &actionName);

    // Hands the cookies sent with and set by the reply to HttpMgr.
    void savePhpSessionId();

signals:
    // signal_onStart and signal_onFinish come from BaseReplyHolder.
    void signal_onAbort();
    void signal_onSuccess(QString response);
    void signal_onFailure(int errorCode);
    void signal_downloadProgress(qlonglong bytesReceived, qlonglong bytesTotal);

public slots:
    void slot_readyRead();
    void slot_finished();
    void slot_error(QNetworkReply::NetworkError code);
    void slot_downloadProgress(qlonglong bytesReceived, qlonglong bytesTotal);
    void slot_reply_timeout();
    void slot_replyMetaDataChanged();
    void slot_sslErrors(QList<QSslError> errors);

protected:
    // Action record, then signal_onFailure.
    void emitFailure(int errorCode) override;
    void emitAbort() override;
    // An answer or failure being reported always ends with finish.
    bool finishesAfterAbort() const override;

private:
    QNetworkReply *m_reply = nullptr;
    QString m_url;
    QByteArray m_response;
};

// Name of a QNetworkReply::NetworkError value ("TimeoutError"); empty for
// 0, negative and unknown codes.
QString networkErrorName(int code);
// Text for the user for codes 1 to 5, the name for every other code.
QString networkErrorMessage(int code);

#endif // NETWORKREPLYHOLDER_H
