#include "mgr/http/networkdownloadreplyholder.h"

#include "mgr/http/networkreplyholder.h"
#include "utility/backgroundqueue.h"
#include "utility/durations.h"
#include "utility/globalconstants.h"
#include "utility/hashutility.h"

#include <QCoreApplication>
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QPointer>
#include <QRegularExpression>
#include <QStorageInfo>
#include <QUrl>
#include <QUuid>

#include <atomic>
#include <cerrno>
#include <cstring>

#include <fcntl.h>
#include <unistd.h>

namespace {

// Reading from the reply waits while the writer has this much to write.
constexpr qint64 kMaxQueuedBytes = 8 * 1024 * 1024;
// What the reply itself holds unread meanwhile.
constexpr qint64 kReadBufferBytes = 1024 * 1024;

// Only a plain suffix may reach the file name: the URL is server-supplied.
bool isPlainSuffix(const QString &suffix)
{
    if (suffix.isEmpty() || suffix.size() > 16)
        return false;
    for (const QChar c : suffix) {
        const ushort u = c.unicode();
        const bool alnum = (u >= '0' && u <= '9') || (u >= 'a' && u <= 'z') || (u >= 'A' && u <= 'Z');
        if (!alnum)
            return false;
    }
    return true;
}

} // namespace

// The temporary file: opened on the GUI thread, then written and closed
// only on the writer thread (BackgroundQueue::files()).
struct NetWorkDownloadReplyHolder::Sink
{
    ~Sink() { close(); }

    void write(const QByteArray &data)
    {
        queued.fetch_sub(data.size());
        if (failed || cancelled.load() || fd < 0)
            return;
        const char *at = data.constData();
        qint64 left = data.size();
        while (left > 0) {
            const ssize_t done = ::write(fd, at, size_t(left));
            if (done < 0 && errno == EINTR)
                continue;
            if (done <= 0) {
                qCritical("write download file failed:%d", errno);
                failed = true;
                return;
            }
            at += done;
            left -= done;
            written += done;
        }
    }
    void close()
    {
        if (fd >= 0 && ::close(fd) != 0 && !cancelled.load()) {
            qCritical("close download file failed:%d", errno);
            failed = true;
        }
        fd = -1;
    }

    int fd = -1;
    std::atomic<qint64> queued{ 0 };
    std::atomic<bool> cancelled{ false };
    // Writer thread only.
    bool failed = false;
    qint64 written = 0;
};

bool NetWorkDownloadReplyHolder::isPermanentFailure(int errorCode)
{
    return errorCode == DOWNLOAD_TOO_LARGE || errorCode == DOWNLOAD_NO_SPACE || errorCode == REQUEST_REFUSED_ERROR_CODE;
}

NetWorkDownloadReplyHolder::NetWorkDownloadReplyHolder(QObject *parent, const QString &url,
                                                       const QString &dirPath,
                                                       QNetworkReply *reply)
    : BaseReplyHolder(parent, EVENT_TYPE_ON_DOWNLOAD_ABORT, EVENT_TYPE_ON_REFUSED)
    , m_url(url)
    , m_dirPath(dirPath)
    , m_reply(reply)
{
    qInfo("this:%p, ctor url:%s, dirPath:%s", static_cast<const void *>(this),
          qUtf8Printable(url), qUtf8Printable(dirPath));
    postStartEvent();

    if (m_reply) {
        connect(m_reply, &QNetworkReply::readyRead, this,
                &NetWorkDownloadReplyHolder::slot_readyRead);
        connect(m_reply, &QNetworkReply::finished, this,
                &NetWorkDownloadReplyHolder::slot_finished);
        connect(m_reply, &QNetworkReply::errorOccurred, this,
                &NetWorkDownloadReplyHolder::slot_error);
        connect(m_reply, &QNetworkReply::downloadProgress, this,
                &NetWorkDownloadReplyHolder::slot_downloadProgress);
        connect(m_reply, &QNetworkReply::metaDataChanged, this,
                &NetWorkDownloadReplyHolder::slot_replyMetaDataChanged);
        connect(m_reply, &QNetworkReply::sslErrors, this,
                &NetWorkDownloadReplyHolder::slot_sslErrors);
        m_reply->setReadBufferSize(kReadBufferBytes);
        for (QTimer *timer : { &m_readTimer, &m_totalTimer }) {
            timer->setSingleShot(true);
            connect(timer, &QTimer::timeout, this, &NetWorkDownloadReplyHolder::onTimeout);
        }
        m_readTimer.start(Durations::ms(kReadTimeoutMs));
        m_totalTimer.start(Durations::ms(kDefaultMaxDurationMs));
    }

    initDownloadFile();
}

NetWorkDownloadReplyHolder::~NetWorkDownloadReplyHolder()
{
    qInfo("this:%p,network reply:NetWorkDownloadReplyHolder dies",
          static_cast<const void *>(this));
    if (m_reply)
        qInfo("this:%p,network reply:QNetworkReply dies", static_cast<const void *>(this));
    releaseReply(m_reply);
    // A transfer cut short leaves nothing behind.
    deleteErrorFile();
}

NetWorkDownloadReplyHolder *NetWorkDownloadReplyHolder::createRefused(QObject *parent,
                                                                      const QString &url,
                                                                      const QString &dirPath,
                                                                      int errorCode)
{
    // Built without a reply and without touching the disk: an already
    // downloaded file must not answer a refused request.
    return new NetWorkDownloadReplyHolder(RefusedTag(), parent, url, dirPath, errorCode);
}

NetWorkDownloadReplyHolder::NetWorkDownloadReplyHolder(RefusedTag, QObject *parent,
                                                       const QString &url, const QString &dirPath,
                                                       int refusedCode)
    : BaseReplyHolder(parent, EVENT_TYPE_ON_DOWNLOAD_ABORT, EVENT_TYPE_ON_REFUSED)
    , m_url(url)
    , m_dirPath(dirPath)
{
    qInfo("this:%p, refused url:%s, dirPath:%s, errorCode:%d", static_cast<const void *>(this),
          qUtf8Printable(url), qUtf8Printable(dirPath), refusedCode);
    postStartEvent();
    postRefusal(refusedCode);
}

void NetWorkDownloadReplyHolder::initDownloadFile()
{
    qInfo("this:%p, initDownloadFile", static_cast<const void *>(this));
    m_finalPath = getFilePath(m_url, m_dirPath);
    m_filePath = m_finalPath;
    qInfo("this:%p,download file path:%s", static_cast<const void *>(this),
          qUtf8Printable(m_filePath));

    if (isFileAlreadyDownloaded(m_url, m_dirPath)) {
        qInfo("this:%p,file already exists", static_cast<const void *>(this));
        QCoreApplication::postEvent(
            this, new QEvent(static_cast<QEvent::Type>(EVENT_TYPE_ON_ALREADY_EXISTS)));
        return;
    }

    m_filePath = getTempFilePath(m_url, m_dirPath);
    const int fd = ::open(QFile::encodeName(m_filePath).constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0644);
    if (fd < 0) {
        qCritical("this:%p,open download file failed:%s", static_cast<const void *>(this), strerror(errno));
        m_bodyUnusable = true;
        return;
    }
    m_sink = std::make_shared<Sink>();
    m_sink->fd = fd;
}

bool NetWorkDownloadReplyHolder::isFileAlreadyDownloaded(const QString &url,
                                                         const QString &dirPath)
{
    const QString filePath = getFilePath(url, dirPath);
    const QFileInfo info(filePath);
    if (!info.exists() || !info.isFile())
        return false;
    if (info.size() == 0) {
        qCritical("filePath:%s, file size is 0", qUtf8Printable(filePath));
        return false;
    }
    return true;
}

QString NetWorkDownloadReplyHolder::getFileName(const QString &url)
{
    const QString urlFileName = QUrl(url).fileName(QUrl::FullyDecoded);
    const QString suffix = QFileInfo(urlFileName).suffix();
    QString name = HashUtility::stringToMd5(url + QStringLiteral("_velmo"));
    if (isPlainSuffix(suffix))
        name += QLatin1Char('.') + suffix;
    return name;
}

QString NetWorkDownloadReplyHolder::getFilePath(const QString &url, const QString &dirPath)
{
    return QDir(dirPath).filePath(getFileName(url));
}

QString NetWorkDownloadReplyHolder::getTempFilePath(const QString &url, const QString &dirPath)
{
    return getFilePath(url, dirPath) + g_downloadTempSuffix + QUuid::createUuid().toString();
}

bool NetWorkDownloadReplyHolder::isTempFileName(const QString &fileName)
{
    // <32 hex digits>[.<plain suffix>]<temp suffix>{<uuid>}
    static const QRegularExpression pattern(
        QStringLiteral("^[0-9a-f]{32}(\\.[0-9A-Za-z]{1,16})?%1"
                       "\\{[0-9a-f]{8}-[0-9a-f]{4}-[0-9a-f]{4}-[0-9a-f]{4}-[0-9a-f]{12}\\}$")
            .arg(QRegularExpression::escape(g_downloadTempSuffix)));
    return pattern.match(fileName).hasMatch();
}

int NetWorkDownloadReplyHolder::removeStaleTempFiles(const QString &folder)
{
    if (folder.isEmpty() || !QFileInfo(folder).isDir())
        return 0;
    int removed = 0;
    // Links are not followed: only files inside the folder itself go.
    QDirIterator it(folder, QDir::Files | QDir::Hidden | QDir::NoSymLinks, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString path = it.next();
        if (!isTempFileName(it.fileName()))
            continue;
        if (QFile::remove(path)) {
            qInfo("removed the temporary file of an interrupted download:%s", qUtf8Printable(path));
            ++removed;
        } else {
            qWarning("cannot remove the temporary file of an interrupted download:%s", qUtf8Printable(path));
        }
    }
    return removed;
}

qint64 NetWorkDownloadReplyHolder::parseContentLength(const QByteArray &headerValue)
{
    if (headerValue.trimmed().isEmpty())
        return -1;
    const QList<QByteArray> parts = headerValue.split(',');
    bool ok = false;
    const qint64 length = parts.last().trimmed().toLongLong(&ok, 10);
    // An announced length that makes no sense fails the size check.
    return ok && length >= 0 ? length : 0;
}

QByteArray NetWorkDownloadReplyHolder::logPrefix() const
{
    return QString::asprintf("this:%p,", static_cast<const void *>(this)).toLatin1();
}

void NetWorkDownloadReplyHolder::handleOwnEvent(int type)
{
    if (type == EVENT_TYPE_ON_ALREADY_EXISTS)
        deliverAlreadyDownloaded();
}

void NetWorkDownloadReplyHolder::deliverAlreadyDownloaded()
{
    const void *self = this;
    qInfo("this:%p,recv EVENT_TYPE_ON_ALREADY_EXISTS", self);
    qInfo("this:%p,emit signal_onSuccess url:%s", self, qUtf8Printable(m_url));
    if (m_shouldAbort) {
        qInfo("this:%p,shouldAbort is true, no need to emit signal", self);
        return;
    }
    m_errorHandled = true;
    if (!emitStartOnce())
        return;
    const QPointer<NetWorkDownloadReplyHolder> alive(this);
    emit signal_onSuccess(m_filePath);
    if (!alive || m_shouldAbort)
        return;
    emitFinish();
}

void NetWorkDownloadReplyHolder::emitFailure(int errorCode)
{
    qInfo("this:%p,signal_onFailure, url:%s", static_cast<const void *>(this),
          qUtf8Printable(m_url));
    emit signal_onFailure(errorCode);
}

void NetWorkDownloadReplyHolder::emitAbort()
{
    emit signal_abort();
}

void NetWorkDownloadReplyHolder::slot_readyRead()
{
    if (!m_reply || m_errorHandled)
        return;
    // A disk slower than the network: the reply holds the rest, and the
    // socket waits, until the writer has caught up.
    if (m_sink && m_sink->queued.load() > kMaxQueuedBytes) {
        m_readPaused = true;
        return;
    }
    m_readPaused = false;
    takeBody();
}

void NetWorkDownloadReplyHolder::takeBody()
{
    const QByteArray data = m_reply->readAll();
    if (data.isEmpty())
        return;
    m_readTimer.start(Durations::ms(kReadTimeoutMs));
    if (m_bodyUnusable || !m_sink)
        return;
    if (refuseIfTooLarge(m_received + data.size()))
        return;
    m_received += data.size();
    const std::shared_ptr<Sink> sink = m_sink;
    sink->queued.fetch_add(data.size());
    BackgroundQueue::files()->run<bool>(
        [sink, data] {
            sink->write(data);
            return true;
        },
        this, [this](const bool &) {
            // Reading waited for the writer: the time-out counts from now.
            if (m_readPaused) {
                m_readTimer.start(Durations::ms(kReadTimeoutMs));
                slot_readyRead();
            }
        });
}

void NetWorkDownloadReplyHolder::slot_replyMetaDataChanged()
{
    qInfo("this:%p, slot_replyMetaDataChanged", static_cast<const void *>(this));
    readContentLength();
    if (m_reply)
        m_readTimer.start(Durations::ms(kReadTimeoutMs));
    if (refuseIfTooLarge(m_contentLength) || refuseIfNoSpace(m_contentLength))
        return;
    if (m_reply) {
        const QByteArray encoding = m_reply->rawHeader("content-encoding").trimmed();
        if (!encoding.isEmpty() && encoding.compare("identity", Qt::CaseInsensitive) != 0) {
            // We asked for the plain body; an encoded one would be stored
            // as it came and pass the size check.
            qCritical("this:%p, unexpected content-encoding:%s", static_cast<const void *>(this),
                      encoding.constData());
            m_bodyUnusable = true;
        }
    }
    NetWorkReplyHolder::dumpHttpHeader(this, m_reply);
}

void NetWorkDownloadReplyHolder::readContentLength()
{
    qInfo("readContentLength");
    if (!m_reply)
        return;
    const void *self = this;
    qInfo("this:%p, read contentLength", self);
    const QByteArray value = m_reply->rawHeader("content-length");
    qInfo("this:%p, lengthValue:%s", self, value.constData());
    m_contentLength = parseContentLength(value);
    qInfo("this:%p, contentLength:%lld", self, m_contentLength);
}

void NetWorkDownloadReplyHolder::slot_downloadProgress(qlonglong bytesReceived,
                                                       qlonglong bytesTotal)
{
    const void *self = this;
    qDebug("this:%p,slot_downloadProgress bytesReceived:%lld, bytesTotal:%lld", self,
           bytesReceived, bytesTotal);
    if (bytesReceived <= 0) {
        qCritical("wrong data size:this:%p,bytesReceived:%lld, bytesTotal:%lld", self,
                  bytesReceived, bytesTotal);
        return;
    }
    qlonglong total = bytesTotal;
    if (total <= 0) {
        qCritical("this:%p, bytesTotal:%lld <= 0", self, bytesTotal);
        total = m_contentLength;
        if (total <= 0)
            return;
    }
    if (m_shouldAbort) {
        qInfo("this:%p,shouldAbort is true, no need to emit signal", self);
        return;
    }
    if (!emitStartOnce())
        return;
    const double percent = static_cast<double>(bytesReceived) / static_cast<double>(total) * 100.0;
    emit signal_downloadProgress(percent, bytesReceived, total);
}

void NetWorkDownloadReplyHolder::slot_finished()
{
    qInfo("this:%p,slot_finished", static_cast<const void *>(this));
    if (m_errorHandled) {
        qInfo("this:%p,already handled in error", static_cast<const void *>(this));
        return;
    }
    // What the reply still holds, however far behind the writer is; a
    // tail beyond the cap fails the download here.
    if (m_reply && !m_shouldAbort) {
        const QPointer<NetWorkDownloadReplyHolder> alive(this);
        m_readPaused = false;
        takeBody();
        // Refused, and perhaps deleted by a slot of the failure.
        if (!alive || m_errorHandled)
            return;
    }
    m_errorHandled = true;
    m_readTimer.stop();
    m_totalTimer.stop();
    if (m_shouldAbort) {
        qInfo("this:%p,shouldAbort is true, no need to emit signal", static_cast<const void *>(this));
        return;
    }
    // A fast answer can be queued before the start event: start comes first
    // all the same.
    if (!emitStartOnce())
        return;
    if (!m_sink) {
        onfinishedImpl(-1);
        return;
    }
    // The outcome once the writer has written everything and closed the file.
    const std::shared_ptr<Sink> sink = m_sink;
    BackgroundQueue::files()->run<qint64>(
        [sink] {
            sink->close();
            return sink->failed ? qint64(-1) : sink->written;
        },
        this, [this](const qint64 &written) { onBodyWritten(written); });
}

void NetWorkDownloadReplyHolder::onBodyWritten(qint64 written)
{
    if (m_shouldAbort) {
        qInfo("this:%p,shouldAbort is true, no need to emit signal", static_cast<const void *>(this));
        return;
    }
    onfinishedImpl(written);
}

void NetWorkDownloadReplyHolder::onfinishedImpl(qint64 size)
{
    const void *self = this;
    qInfo("this:%p, downloadFileSize:%lld", self, size);

    if (m_bodyUnusable || size < 0) {
        qCritical("this:%p, download file unusable, download not complete", self);
        deleteErrorFile();
        reportFailure(DOWNLOAD_NOT_COMPLETE);
        return;
    }
    // Without an announced length a transfer that ended without error is
    // all there is.
    if (m_contentLength >= 0 && size != m_contentLength) {
        qCritical("this:%p, fileSize:%lld != contentLength:%lld, download not complete", self,
                  size, m_contentLength);
        deleteErrorFile();
        reportFailure(DOWNLOAD_NOT_COMPLETE);
        return;
    }

    const QString finalPath = mvTempFileFinal();
    if (finalPath.isEmpty()) {
        qCritical("this:%p, mvTempFileFinal failed", self);
        reportFailure(DOWNLOAD_MOVE_FAILED);
        return;
    }
    m_filePath = finalPath;
    m_sink.reset();
    qInfo("this:%p,signal_onSuccess, url:%s", self, qUtf8Printable(m_url));
    // A slot may delete the holder; nothing is touched after that.
    const QPointer<NetWorkDownloadReplyHolder> alive(this);
    emit signal_onSuccess(m_filePath);
    if (!alive || m_shouldAbort)
        return;
    emitFinish();
}

void NetWorkDownloadReplyHolder::deleteErrorFile()
{
    if (!m_sink)
        return;
    qCritical("deleteErrorFile");
    // The writer drops what it still has; the name goes at once (a write
    // still under way lands in a file without a name, gone when closed).
    const std::shared_ptr<Sink> sink = std::move(m_sink);
    sink->cancelled.store(true);
    BackgroundQueue::files()->run([sink] { sink->close(); });
    QFile::remove(m_filePath);
}

QString NetWorkDownloadReplyHolder::mvTempFileFinal()
{
    const void *self = this;
    qInfo("this:%p,mvTempFileOfficial", self);
    qInfo("this:%p,final filePath:%s", self, qUtf8Printable(m_finalPath));

    if (QFileInfo::exists(m_finalPath)) {
        qCritical("this:%p, finalFilePath:%s exists, delete it", self,
                  qUtf8Printable(m_finalPath));
        if (!QFile::remove(m_finalPath))
            qCritical("this:%p, remove finalFilePath failed:lastError:%d", self, errno);
    }

    if (!QFile::rename(m_filePath, m_finalPath)) {
        qCritical("this:%p, rename finalFilePath failed:lastError:%d", self, errno);
        QFile::remove(m_filePath);
        m_sink.reset();
        return QString();
    }
    return m_finalPath;
}

void NetWorkDownloadReplyHolder::slot_error(QNetworkReply::NetworkError code)
{
    const void *self = this;
    qCritical("this:%p,slot_error, code:%d", self, static_cast<int>(code));
    m_errorHandled = true;
    m_readTimer.stop();
    m_totalTimer.stop();
    deleteErrorFile();
    if (m_shouldAbort) {
        qInfo("this:%p,shouldAbort is true, no need to emit signal", self);
        return;
    }
    reportFailure(-static_cast<int>(code));
}

void NetWorkDownloadReplyHolder::setMaxBytes(qint64 maxBytes)
{
    m_maxBytes = maxBytes > 0 ? maxBytes : kDefaultMaxBytes;
}

void NetWorkDownloadReplyHolder::setMaxDuration(int milliseconds)
{
    if (m_reply && !m_errorHandled)
        m_totalTimer.start(Durations::ms(milliseconds));
}

bool NetWorkDownloadReplyHolder::refuseIfTooLarge(qint64 bytes)
{
    if (bytes <= m_maxBytes || !m_reply || m_errorHandled)
        return false;
    qCritical("this:%p, download refused: %lld bytes is more than %lld", static_cast<const void *>(this), bytes,
              m_maxBytes);
    failNow(DOWNLOAD_TOO_LARGE);
    return true;
}

bool NetWorkDownloadReplyHolder::refuseIfNoSpace(qint64 bytes)
{
    if (bytes <= 0 || !m_reply || m_errorHandled)
        return false;
    const QStorageInfo disk(m_dirPath);
    if (!disk.isValid() || bytes <= disk.bytesAvailable())
        return false;
    qCritical("this:%p, download refused: %lld bytes do not fit in the %lld free on the disk",
              static_cast<const void *>(this), bytes, disk.bytesAvailable());
    failNow(DOWNLOAD_NO_SPACE);
    return true;
}

void NetWorkDownloadReplyHolder::failNow(int code)
{
    m_errorHandled = true;
    m_readTimer.stop();
    m_totalTimer.stop();
    releaseReply(m_reply);
    deleteErrorFile();
    if (!m_shouldAbort)
        reportFailure(code);
}

void NetWorkDownloadReplyHolder::onTimeout()
{
    if (!m_reply || m_errorHandled)
        return;
    qCritical("this:%p, download timed out (%s):%s", static_cast<const void *>(this),
              m_totalTimer.isActive() ? "no byte came" : "it took too long", qUtf8Printable(m_url));
    failNow(-static_cast<int>(QNetworkReply::TimeoutError));
}

void NetWorkDownloadReplyHolder::abort()
{
    const void *self = this;
    qInfo("this:%p,abort", self);
    m_shouldAbort = true;
    m_readTimer.stop();
    m_totalTimer.stop();
    if (!m_reply)
        return;
    qInfo("this:%p,after real abort, network reply:QNetworkReply dies", self);
    releaseReply(m_reply);
    // Nothing may be left of a cancelled transfer, whatever the reply did.
    deleteErrorFile();
    postAbortEvent();
}

void NetWorkDownloadReplyHolder::slot_sslErrors(QList<QSslError> errors)
{
    NetWorkReplyHolder::logSslErrors(this, errors, QStringLiteral("download_ssl_error"));
}
