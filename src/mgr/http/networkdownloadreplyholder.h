#ifndef NETWORKDOWNLOADREPLYHOLDER_H
#define NETWORKDOWNLOADREPLYHOLDER_H

#include <QEvent>
#include <QList>
#include <QNetworkReply>
#include <QSslError>
#include <QString>
#include <QTimer>

#include <memory>

#include "mgr/http/basereplyholder.h"

// One file download into a cache folder. The file is stored under the MD5
// of its URL (plus the URL's suffix), so a second request for the same URL
// is answered from disk. The body is written to a temporary file next to
// it and moved over the final name only when complete, so the final name
// never shows a partial file. The body is written on a thread of its own
// (BackgroundQueue::files()), never on the GUI thread.
//
// Every download is bounded: its body by setMaxBytes() (the default
// maximum unless set) and by the free space of the disk, both checked
// against the announced length before anything is written; its time by a
// read time-out (no byte for 30 s) and an overall time-out.
//   already on disk:   start, success(path), finish
//   complete:          start, [progress...], success(path), finish
//   incomplete/move:   start, failure(-998 / -999), finish
//   error / HTTP >=400: start, failure(-QNetworkReply::NetworkError), finish
//   refused:           start, failure(code), finish
//   abort():           later signal_abort; nothing else
// The shared part of this life is BaseReplyHolder's.
class NetWorkDownloadReplyHolder : public BaseReplyHolder
{
    Q_OBJECT

public:
    enum EventType {
        EVENT_TYPE_ON_START = kStartEventType,
        EVENT_TYPE_ON_ALREADY_EXISTS = QEvent::User + 2,
        EVENT_TYPE_ON_DOWNLOAD_ABORT = QEvent::User + 3,
        EVENT_TYPE_ON_REFUSED = QEvent::User + 4,
    };

    enum ErrorCode {
        // The body on disk is not the announced one (size, encoding, write).
        DOWNLOAD_NOT_COMPLETE = -998,
        // The finished file could not be moved to its final name.
        DOWNLOAD_MOVE_FAILED = -999,
        // The body is larger than the holder's cap.
        DOWNLOAD_TOO_LARGE = -997,
        // The announced body does not fit on the disk.
        DOWNLOAD_NO_SPACE = -996,
    };

    // The largest body a download takes when its caller set no cap.
    static constexpr qint64 kDefaultMaxBytes = qint64(2) * 1024 * 1024 * 1024;
    // No byte for this long fails the download (-QNetworkReply::TimeoutError).
    static constexpr int kReadTimeoutMs = 30000;
    // The longest a download may take in all, unless its caller set another.
    static constexpr int kDefaultMaxDurationMs = 30 * 60 * 1000;

    // True for a failure that the same request would meet again (too
    // large, no room on the disk, refused before it was sent): a queue
    // should not try that file again.
    static bool isPermanentFailure(int errorCode);

    // reply is null when the file is already on disk.
    NetWorkDownloadReplyHolder(QObject *parent, const QString &url, const QString &dirPath,
                               QNetworkReply *reply);
    ~NetWorkDownloadReplyHolder() override;

    // A holder for a download that was never started: it reports start,
    // failure(errorCode) and finish.
    static NetWorkDownloadReplyHolder *createRefused(QObject *parent, const QString &url,
                                                     const QString &dirPath, int errorCode);

    // A body larger than maxBytes (announced or received) fails the download
    // with DOWNLOAD_TOO_LARGE and leaves no file. 0: kDefaultMaxBytes.
    void setMaxBytes(qint64 maxBytes);
    qint64 maxBytes() const { return m_maxBytes; }
    // The overall time-out, through Durations::ms when it starts (now).
    void setMaxDuration(int milliseconds);

    // Cancels the download and deletes the partial file; signal_abort
    // follows from the event loop unless the file was already on disk.
    void abort();

    // True when the final file exists with a size above 0.
    static bool isFileAlreadyDownloaded(const QString &url, const QString &dirPath);
    // MD5 of url + "_velmo", then "." and the URL's file suffix when it has
    // a plain one (letters and digits only).
    static QString getFileName(const QString &url);
    static QString getFilePath(const QString &url, const QString &dirPath);
    // The final path + ".zumixo" + a new UUID: unique for every call.
    static QString getTempFilePath(const QString &url, const QString &dirPath);
    // True for a name getTempFilePath() makes.
    static bool isTempFileName(const QString &fileName);
    // Deletes the temporary files of downloads cut short by a crash or a
    // kill, in folder and below it; only names of our own temporary files
    // are touched. Returns how many were removed. Meant for start-up,
    // before any download runs.
    static int removeStaleTempFiles(const QString &folder);
    // Value of a "content-length" header (a repeated header arrives joined
    // by commas; the last value counts). -1 when no length was announced.
    static qint64 parseContentLength(const QByteArray &headerValue);

signals:
    // signal_onStart and signal_onFinish come from BaseReplyHolder.
    void signal_onSuccess(QString filePath);
    void signal_onFailure(int errorCode);
    void signal_downloadProgress(double percent, qlonglong bytesReceived, qlonglong bytesTotal);
    void signal_abort();

public slots:
    void slot_readyRead();
    void slot_finished();
    void slot_error(QNetworkReply::NetworkError code);
    void slot_downloadProgress(qlonglong bytesReceived, qlonglong bytesTotal);
    void slot_replyMetaDataChanged();
    void slot_sslErrors(QList<QSslError> errors);

protected:
    void emitFailure(int errorCode) override;
    void emitAbort() override;
    void handleOwnEvent(int type) override;
    QByteArray logPrefix() const override;

private:
    struct RefusedTag
    {
    };
    NetWorkDownloadReplyHolder(RefusedTag, QObject *parent, const QString &url,
                               const QString &dirPath, int refusedCode);

    struct Sink;

    void initDownloadFile();
    void readContentLength();
    // Hands what the reply holds to the writer thread.
    void takeBody();
    // The writer closed the file: written is its size, -1 when a write failed.
    void onBodyWritten(qint64 written);
    // The outcome of a finished transfer: success, or failure -998 / -999.
    void onfinishedImpl(qint64 size);
    void deliverAlreadyDownloaded();
    void deleteErrorFile();
    // Fails the download when more than m_maxBytes come or are announced.
    bool refuseIfTooLarge(qint64 bytes);
    // Fails the download when the announced body does not fit on the disk.
    bool refuseIfNoSpace(qint64 bytes);
    // Ends the transfer now with a failure of code.
    void failNow(int code);
    void onTimeout();
    QString mvTempFileFinal();

    QString m_url;
    QString m_dirPath;
    QNetworkReply *m_reply = nullptr;
    // The temporary file, written on the writer thread; null when none.
    std::shared_ptr<Sink> m_sink;
    // Bytes handed to the writer so far.
    qint64 m_received = 0;
    // Reading waits while the writer is this far behind.
    bool m_readPaused = false;
    QTimer m_readTimer;
    QTimer m_totalTimer;
    // Where the file is now: the temporary path while downloading, the
    // final path once it is there.
    QString m_filePath;
    QString m_finalPath;
    qint64 m_contentLength = -1;
    qint64 m_maxBytes = kDefaultMaxBytes;
    // The body cannot be trusted: the file did not open or a write failed,
    // or the server encoded it although we asked for none.
    bool m_bodyUnusable = false;
};

#endif // NETWORKDOWNLOADREPLYHOLDER_H
