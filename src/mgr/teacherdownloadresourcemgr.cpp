#include "teacherdownloadresourcemgr.h"

#include "mgr/http/httpmgr.h"
#include "mgr/http/networkdownloadreplyholder.h"
#include "mgr/singleton.h"
#include "utility/durations.h"

#include <QDebug>
#include <QTimer>

namespace {

QString filesText(const QVector<DownloadFileInfo> &files)
{
    QString text;
    for (const DownloadFileInfo &file : files)
        text += file.toString();
    return text;
}

} // namespace

DownloadResourceMgr::DownloadResourceMgr(QObject *parent)
    : SingletonMgrBase(parent)
    , m_retryTimer(new QTimer(this))
{
    qRegisterMetaType<DownloadFileInfo>("DownloadFileInfo");
    m_retryTimer->setSingleShot(true);
    connect(m_retryTimer, &QTimer::timeout, this, &DownloadResourceMgr::slot_timer_retry_download_resource);
}

DownloadResourceMgr::~DownloadResourceMgr() = default;

DownloadResourceMgr *DownloadResourceMgr::instance()
{
    return Singleton<DownloadResourceMgr>::instance();
}

void DownloadResourceMgr::init()
{
    qInfo("DownloadResourceMgr init");
    qInfo("resourcedownload:init");
}

void DownloadResourceMgr::download(const QString &resourceId, const QVector<DownloadFileInfo> &files)
{
    qInfo("resourcedownload:download resources, resourceId:%s, files:%s", qUtf8Printable(resourceId),
          qUtf8Printable(filesText(files)));
    abort();
    updateResource(resourceId, files);
    downloadImpl();
}

void DownloadResourceMgr::abort()
{
    qInfo("abort");
    // A retry armed for the old work must not start it again.
    m_retryTimer->stop();
    ++m_generation;
    dropTransfer();
    if (!m_resourceId.isEmpty()) {
        const QString resourceId = m_resourceId;
        qInfo("resourcedownload:abort download resourceid:%s", qUtf8Printable(resourceId));
        m_resourceId.clear();
        m_pendingFiles.clear();
        emit signal_abort(resourceId);
    }
}

void DownloadResourceMgr::dropTransfer()
{
    if (!m_transfer)
        return;
    NetWorkDownloadReplyHolder *transfer = m_transfer;
    m_transfer = nullptr;
    disconnect(transfer, nullptr, this, nullptr);
    transfer->abort();
    transfer->deleteLater();
}

void DownloadResourceMgr::updateResource(const QString &resourceId, const QVector<DownloadFileInfo> &files)
{
    qInfo("resourcedownload:updateResource resourceId:%s", qUtf8Printable(resourceId));
    m_resourceId = resourceId;
    m_refusedFiles = 0;
    m_allFiles = files;
    m_pendingFiles = files;
    m_progress.start(files.size());
    handleAlreadyDownloadedFiles();
}

int DownloadResourceMgr::calculateDownloadProgress(const QString &resourceId, const QVector<DownloadFileInfo> &files,
                                                   QSet<QString> &downloaded)
{
    downloaded.clear();
    qInfo("resourcedownload:calculateDownloadProgress resourceId:%s", qUtf8Printable(resourceId));
    if (files.isEmpty()) {
        qWarning("resourcedownload:files is empty");
        return 100;
    }
    int present = 0;
    for (const DownloadFileInfo &file : files) {
        if (NetWorkDownloadReplyHolder::isFileAlreadyDownloaded(file.url, file.dirPath)) {
            qInfo("resourcedownload:file url:%s has already downloaded", qUtf8Printable(file.url));
            downloaded.insert(file.url);
            ++present;
        } else {
            qInfo("resourcedownload:file url:%s hasn't downloaded", qUtf8Printable(file.url));
        }
    }
    qInfo("resourcedownload:total cnt:%d, downloadedCnt:%d", int(files.size()), present);
    return int(double(present) / double(files.size()) * 100.0);
}

QString DownloadResourceMgr::getResourceId() const
{
    return m_resourceId;
}

QVector<DownloadFileInfo> DownloadResourceMgr::currentFiles() const
{
    return m_allFiles;
}

bool DownloadResourceMgr::isRetryPending() const
{
    return m_retryTimer->isActive();
}

void DownloadResourceMgr::handleAlreadyDownloadedFiles()
{
    qInfo("resourcedownload:handleAlreadyDownloadedFiles");
    QSet<QString> downloaded;
    m_progress.setPercent(calculateDownloadProgress(m_resourceId, m_allFiles, downloaded));
    qInfo("resourcedownload:progress:%d", m_progress.percent());
    QVector<DownloadFileInfo> pending;
    for (const DownloadFileInfo &file : qAsConst(m_pendingFiles)) {
        if (downloaded.remove(file.url)) {
            qInfo("resourcedownload:remove already downloaded file:%s", qUtf8Printable(file.url));
            continue;
        }
        pending.append(file);
    }
    m_pendingFiles = pending;
    const quint64 generation = m_generation;
    QTimer::singleShot(0, this, [this, generation] {
        if (generation == m_generation)
            slot_timer_emit_already_downloaded_progress();
    });
}

void DownloadResourceMgr::slot_timer_emit_already_downloaded_progress()
{
    emit signal_downloadProgress(m_resourceId, m_progress.percent());
}

void DownloadResourceMgr::downloadImpl()
{
    qInfo("resourcedownload:downloadImpl");
    if (m_resourceId.isEmpty())
        return; // idle: nothing to fetch
    if (m_pendingFiles.isEmpty() && m_refusedFiles > 0) {
        // Not a success: the files refused are missing. The work ends as
        // an abort does, so the controls stop.
        qCritical("resourcedownload:no files left, %d refused", m_refusedFiles);
        const QString resourceId = m_resourceId;
        const quint64 generation = m_generation;
        QTimer::singleShot(0, this, [this, generation, resourceId] {
            if (generation != m_generation || m_resourceId != resourceId)
                return;
            m_resourceId.clear();
            emit signal_abort(resourceId);
        });
        return;
    }
    if (m_pendingFiles.isEmpty()) {
        qInfo("resourcedownload:no files left, emit signal_onSuccess");
        const quint64 generation = m_generation;
        QTimer::singleShot(0, this, [this, generation] {
            if (generation == m_generation)
                slot_timer_emit_success();
        });
        return;
    }
    m_currentFile = m_pendingFiles.first();
    qInfo("resourcedownload:currentDownloadFile:%s", qUtf8Printable(m_currentFile.toString()));
    dropTransfer();
    NetWorkDownloadReplyHolder *transfer
        = Singleton<HttpMgr>::instance()->download(this, m_currentFile.url, m_currentFile.dirPath);
    if (!transfer) {
        // No transfer could be made: a failure like any other, tried again.
        qCritical("resourcedownload:no transfer for file:%s", qUtf8Printable(m_currentFile.url));
        QTimer::singleShot(0, this, [this, generation = m_generation] {
            if (generation == m_generation && !m_resourceId.isEmpty())
                slot_onFailure(-1);
        });
        return;
    }
    m_transfer = transfer;
    m_progress.nextFile();
    connect(transfer, &NetWorkDownloadReplyHolder::signal_downloadProgress, this,
            &DownloadResourceMgr::slot_downloadProgress);
    connect(transfer, &NetWorkDownloadReplyHolder::signal_onSuccess, this, &DownloadResourceMgr::slot_onSuccess);
    connect(transfer, &NetWorkDownloadReplyHolder::signal_onFailure, this, &DownloadResourceMgr::slot_onFailure);
}

void DownloadResourceMgr::slot_downloadProgress(double percent, qlonglong, qlonglong)
{
    const int whole = m_progress.update(percent);
    if (whole >= 0)
        emit signal_downloadProgress(m_resourceId, whole);
}

void DownloadResourceMgr::finishTransfer()
{
    // It has reported its end; it is kept no longer than that.
    if (m_transfer) {
        disconnect(m_transfer, nullptr, this, nullptr);
        m_transfer->deleteLater();
        m_transfer = nullptr;
    }
}

void DownloadResourceMgr::slot_onSuccess(QString filePath)
{
    finishTransfer();
    qInfo("resourcedownload:slot_onSuccess file:%s, filePath:%s", qUtf8Printable(m_currentFile.toString()),
          qUtf8Printable(filePath));
    handleAlreadyDownloadedFiles();
    downloadImpl();
}

void DownloadResourceMgr::slot_onFailure(int errorCode)
{
    finishTransfer();
    qInfo("resourcedownload:download_onFailure, errorCode:%d", errorCode);
    const QString resourceId = m_resourceId;
    emit signal_onFailure(resourceId, errorCode);
    if (m_resourceId.isEmpty() || m_resourceId != resourceId)
        return;
    // Too large, no room, or refused outright: the same request would fail
    // again. The file is left out (reported this once) and the rest go on;
    // only a transient failure is tried again.
    if (NetWorkDownloadReplyHolder::isPermanentFailure(errorCode)) {
        qCritical("resourcedownload:file refused, not tried again:%s", qUtf8Printable(m_currentFile.url));
        ++m_refusedFiles;
        if (!m_pendingFiles.isEmpty())
            m_pendingFiles.removeFirst();
        downloadImpl();
        return;
    }
    m_retryTimer->start(Durations::ms(kRetryIntervalMs));
}

void DownloadResourceMgr::slot_timer_emit_success()
{
    qInfo("slot_timer_emit_success");
    const QString resourceId = m_resourceId;
    emit signal_onSuccess(resourceId);
    // A receiver may have started another resource meanwhile.
    if (m_resourceId == resourceId)
        m_resourceId.clear();
}

void DownloadResourceMgr::slot_timer_retry_download_resource()
{
    qInfo("resourcedownload:slot_timer_retry_download_resource");
    downloadImpl();
}
