#include "multifilesdownloadutil.h"

#include "mgr/http/httpmgr.h"
#include "mgr/http/networkdownloadreplyholder.h"
#include "mgr/singleton.h"

#include <QDebug>

MultiFilesDownloadUtil::MultiFilesDownloadUtil(QObject *parent)
    : QObject(parent)
{
}

MultiFilesDownloadUtil::~MultiFilesDownloadUtil()
{
    if (m_transfer)
        m_transfer->abort();
}

void MultiFilesDownloadUtil::download(const QVector<DownloadFileInfo> &files)
{
    QString text;
    for (const DownloadFileInfo &file : files)
        text += file.toString();
    qInfo("download files:%s", qUtf8Printable(text));
    if (m_transfer) {
        disconnect(m_transfer, nullptr, this, nullptr);
        m_transfer->abort();
        releaseTransfer();
    }
    m_pendingFiles = files;
    m_progress.start(files.size());
    downloadImpl();
}

void MultiFilesDownloadUtil::releaseTransfer()
{
    if (!m_transfer)
        return;
    disconnect(m_transfer, nullptr, this, nullptr);
    m_transfer->deleteLater();
    m_transfer = nullptr;
}

void MultiFilesDownloadUtil::downloadImpl()
{
    qInfo("downloadImpl");
    if (m_pendingFiles.isEmpty()) {
        qInfo("no files left, emit signal_onSuccess");
        emit signal_onSuccess();
        return;
    }
    const DownloadFileInfo &first = m_pendingFiles.first();
    m_transfer = Singleton<HttpMgr>::instance()->download(this, first.url, first.dirPath);
    if (!m_transfer) {
        qCritical("no transfer for %s", qUtf8Printable(first.url));
        emit signal_onFailure(-1);
        return;
    }
    m_progress.nextFile();
    connect(m_transfer, &NetWorkDownloadReplyHolder::signal_downloadProgress, this,
            &MultiFilesDownloadUtil::slot_downloadProgress);
    connect(m_transfer, &NetWorkDownloadReplyHolder::signal_onSuccess, this, &MultiFilesDownloadUtil::slot_onSuccess);
    connect(m_transfer, &NetWorkDownloadReplyHolder::signal_onFailure, this, &MultiFilesDownloadUtil::slot_onFailure);
}

void MultiFilesDownloadUtil::slot_downloadProgress(double percent, qlonglong, qlonglong)
{
    const int whole = m_progress.update(percent);
    if (whole >= 0)
        emit signal_downloadProgress(whole);
}

void MultiFilesDownloadUtil::slot_onSuccess(QString)
{
    releaseTransfer();
    if (!m_pendingFiles.isEmpty()) {
        qInfo("remove first item after download successful");
        m_pendingFiles.removeFirst();
    }
    downloadImpl();
}

void MultiFilesDownloadUtil::slot_onFailure(int errorCode)
{
    releaseTransfer();
    qCritical("download failed, errorCode:%d", errorCode);
    emit signal_onFailure(errorCode);
}
