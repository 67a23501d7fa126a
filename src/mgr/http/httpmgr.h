#ifndef HTTPMGR_H
#define HTTPMGR_H

#include <QMap>
#include <QNetworkAccessManager>
#include <QString>
#include <QVariant>

#include <memory>

#include "mgr/singletonmgrbase.h"

class NetWorkReplyHolder;
class NetWorkDownloadReplyHolder;

// The program's one HTTP client. Every request leaves through get, post,
// upload or download, each returning a new holder that reports the outcome
// as signals. Besides, it keeps the upload content types and the server's
// session id ("PHPSESSID"), which the classroom's messaging login reads.
// GUI thread only.
class HttpMgr : public SingletonMgrBase
{
    Q_OBJECT

public:
    HttpMgr();
    ~HttpMgr() override;

    // Fills the suffix to content-type table; safe to run again.
    void init() override;

    // Every operation returns a new holder, never null: a request that
    // could not be made is reported by its holder as start, failure
    // (REQUEST_REFUSED_ERROR_CODE), finish, from the event loop.

    // Query-string GET; a non-empty params replaces the URL's own query.
    // timeoutMilliseconds <= 0 means no time-out.
    NetWorkReplyHolder *get(const QString &url, const QMap<QString, QString> &params,
                            int timeoutMilliseconds);
    // Form-encoded POST; redirects are not followed.
    NetWorkReplyHolder *post(const QString &url, const QMap<QString, QString> &params,
                             int timeoutMilliseconds);
    // Multipart form with one file part and one text part per parameter;
    // never has a time-out. A file that cannot be read is not sent: the
    // holder reports REQUEST_REFUSED_ERROR_CODE.
    NetWorkReplyHolder *upload(const QString &url, const QString &fileControlName,
                               const QString &filePath, const QMap<QString, QString> &params);
    // Downloads url into dirPath under its hashed name (see
    // NetWorkDownloadReplyHolder); a file already there is reported without
    // a request. The holder is a child of parent.
    NetWorkDownloadReplyHolder *download(QObject *parent, const QString &url,
                                         const QString &dirPath);

    QString guessFileContentType(const QString &filePath);

    // Records the value of a "PHPSESSID" cookie (any case) found in a
    // variant holding QList<QNetworkCookie>; the last one wins.
    void SavePhpSessionId(const QVariant &cookies);
    void setPhpSessionId(const QString &id);
    QString getPhpSessionId() const;

    // "key:%1, value:%2" per entry in key order, the password masked.
    static QString paramsToLogText(const QMap<QString, QString> &params);
    // name=value pairs joined by "&", everything but unreserved characters
    // percent-encoded ("+" as %2B, blank as %20).
    static QByteArray encodeParams(const QMap<QString, QString> &params);

private:
    // Made on the first request: creating it loads the network plugins,
    // which start-up does not need.
    QNetworkAccessManager &manager();

    std::unique_ptr<QNetworkAccessManager> m_manager;
    QMap<QString, QString> m_contentTypes;
    QString m_phpSessionId;
};

// "<second-to-last>_<last>" segment of url ("PcStudents_login"); url itself
// when it has no "/".
QString actionNameFromUrl(const QString &url);
// actionNameFromUrl(url) + "_failure": the name of the error records of a
// failed request in the user-action log.
QString failureActionName(const QString &url);

#endif // HTTPMGR_H
