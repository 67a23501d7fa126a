#include "loguploadmgr.h"

#include "biz/httpapi/studentapis.h"
#include "mgr/http/apireply.h"
#include "mgr/http/entitynetworkreplyholder.h"
#include "mgr/logmgr.h"
#include "mgr/signalqueuemgr.h"
#include "mgr/singleton.h"
#include "platform/filesearch.h"
#include "utility/actionlog.h"
#include "utility/appdirs.h"
#include "utility/compressutil.h"
#include "utility/globalconstants.h"
#include "utility/possibleidutil.h"

#include <QDateTime>
#include <QDebug>
#include <QDir>
#include <QFile>
#include <QFileInfo>

LogUploadMgr::LogUploadMgr(QObject *parent)
    : SingletonMgrBase(parent)
{
}

LogUploadMgr::~LogUploadMgr() = default;

LogUploadMgr *LogUploadMgr::instance()
{
    return Singleton<LogUploadMgr>::instance();
}

void LogUploadMgr::init()
{
    SignalQueueMgr *bus = SignalQueueMgr::instance();
    connect(bus, &SignalQueueMgr::signal_on_login_ok, this, &LogUploadMgr::slot_on_login_ok, Qt::UniqueConnection);
    connect(bus, &SignalQueueMgr::signal_classroom_close, this, &LogUploadMgr::slot_classroom_closed,
            Qt::UniqueConnection);
}

void LogUploadMgr::slot_on_login_ok()
{
    qInfo("slot_on_login_ok");
    startUploading();
}

void LogUploadMgr::slot_classroom_closed()
{
    qInfo("slot_class_widget_closed");
    startUploading();
}

QString LogUploadMgr::zipFileName(qint64 secondsSinceEpoch)
{
    return QStringLiteral("di_%1_%2_%3_%4.zip")
        .arg(QLatin1String(g_clientVersion), PossibleIdUtil::toFileNamePart(PossibleIdUtil::getPossibleId()),
             QString::number(secondsSinceEpoch),
             QDateTime::fromSecsSinceEpoch(secondsSinceEpoch).toString(QStringLiteral("yyyy-MM-dd-hh-mm-ss")));
}

void LogUploadMgr::startUploading()
{
    qInfo("startUploading");
    LogMgr *logMgr = Singleton<LogMgr>::instance();
    logMgr->openLogFiles();
    deletePreviousUploadedZipFiles();

    const QString logDir = getLogDir();
    const QString pattern = QDir(logDir).filePath(QStringLiteral("velmo_*"));
    qInfo("filePathPattern:%s", qUtf8Printable(pattern));
    const QFileInfoList found = findFilesByPattern(pattern);
    if (found.isEmpty()) {
        qWarning("no log files");
        return;
    }

    const QString currentLogName = QFileInfo(logMgr->logFilePath()).fileName();
    const QString currentActionLogName = QFileInfo(ActionLog::instance()->filePath()).fileName();
    QStringList files;
    QStringList keepNames;
    for (const QFileInfo &entry : found) {
        const QString name = entry.fileName();
        if (name.contains(QLatin1String("uploaded")))
            continue;
        // A dump with nothing in it tells nothing: it is not sent.
        if (entry.size() == 0 && entry.suffix() == QLatin1String("dmp")) {
            qWarning("empty dump not uploaded, removed:%s", qUtf8Printable(name));
            QFile::remove(entry.absoluteFilePath());
            continue;
        }
        qInfo("push fileName:%s", qUtf8Printable(name));
        if (name == currentLogName) {
            qInfo("exclude currentLogFileName:%s", qUtf8Printable(name));
            continue;
        }
        // The action logger holds its file open: send what it holds so
        // far, but keep the file, or later records would land in a file
        // that is never sent. Just reopened, it is usually still empty.
        if (name == currentActionLogName) {
            qInfo("keep currentActionLogFileName:%s", qUtf8Printable(name));
            if (entry.size() == 0)
                continue;
            keepNames << entry.absoluteFilePath();
        }
        files.append(entry.absoluteFilePath());
    }
    if (files.isEmpty()) {
        qInfo("no files to upload");
        return;
    }

    const QString zipPath = QDir(logDir).filePath(zipFileName(QDateTime::currentMSecsSinceEpoch() / 1000));
    qInfo("zipFilePath:%s", qUtf8Printable(zipPath));
    QStringList packed;
    if (!CompressUtil::zipFiles(files, zipPath, &packed)) {
        qCritical("zipFiles failed");
        return;
    }
    // Only files sent in full get the uploaded name; the rest go again.
    for (const QString &keep : qAsConst(keepNames))
        packed.removeAll(keep);
    upload(zipPath);
    m_files = packed;
}

void LogUploadMgr::deletePreviousUploadedZipFiles()
{
    qInfo("deletePreviousUploadedZipFiles");
    const QString pattern = QDir(getLogDir()).filePath(QStringLiteral("di_*.zip"));
    qInfo("filePathPattern:%s", qUtf8Printable(pattern));
    const QFileInfoList found = findFilesByPattern(pattern);
    if (found.isEmpty()) {
        qWarning("no files");
        return;
    }
    for (const QFileInfo &entry : found) {
        if (!QFile::remove(entry.absoluteFilePath()))
            qCritical("remove file:%s failed", qUtf8Printable(entry.absoluteFilePath()));
    }
}

QString LogUploadMgr::generateUploadedFilePathName(const QString &filePath)
{
    const QFileInfo info(filePath);
    const QString fileName = info.fileName();
    const QString suffix = info.suffix();
    const QString baseName = info.completeBaseName();
    const QString newFileName = baseName + QStringLiteral(".uploaded.") + suffix;
    qInfo("fileName:%s, suffix:%s, baseName:%s, newFileName:%s", qUtf8Printable(fileName), qUtf8Printable(suffix),
          qUtf8Printable(baseName), qUtf8Printable(newFileName));
    return QFileInfo(QDir(getLogDir()), newFileName).absoluteFilePath();
}

void LogUploadMgr::upload(const QString &zipFilePath)
{
    qInfo("upload zipFilePath:%s", qUtf8Printable(zipFilePath));
    if (m_reply) {
        m_reply->abort();
        m_reply = nullptr;
    }
    m_files.clear();
    m_reply = bindApiReply<void>(StudentApis::pcLogUpload(this, zipFilePath), this)
                  .onSuccess([this](const QString &) { slot_on_upload_ok(); })
                  .onFailure([this](const BaseEntity &) { slot_on_upload_failure(); });
    m_reply->setAutoDelete(true);
}

void LogUploadMgr::slot_on_upload_ok()
{
    qInfo("slot_on_upload_ok");
    m_reply = nullptr;
    const QStringList files = m_files;
    m_files.clear();
    for (const QString &filePath : files) {
        const QString uploadedFilePath = generateUploadedFilePathName(filePath);
        qInfo("filePath:%s, uploadedFilePath:%s", qUtf8Printable(filePath), qUtf8Printable(uploadedFilePath));
        if (!QFile::rename(filePath, uploadedFilePath))
            qCritical("rename filePath:%s to uploadedFilePath:%s failed", qUtf8Printable(filePath),
                      qUtf8Printable(uploadedFilePath));
    }
}

void LogUploadMgr::slot_on_upload_failure()
{
    qInfo("slot_on_upload_failure");
    m_reply = nullptr;
    m_files.clear();
}
