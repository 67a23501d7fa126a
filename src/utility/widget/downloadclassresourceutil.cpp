#include "downloadclassresourceutil.h"

#include "mgr/http/networkdownloadreplyholder.h"
#include "mgr/teacherdownloadresourcemgr.h"
#include "utility/durations.h"

#include <QDebug>
#include <QLabel>
#include <QPushButton>
#include <QTimer>

DownloadClassResourceUtil::DownloadClassResourceUtil(QObject *parent)
    : QObject(parent)
    , m_progressTimer(new QTimer(this))
{
    connect(m_progressTimer, &QTimer::timeout, this, &DownloadClassResourceUtil::showProgress);
}

DownloadClassResourceUtil::~DownloadClassResourceUtil() = default;

void DownloadClassResourceUtil::init(QPushButton *button, QLabel *label, bool labelMode)
{
    m_button = button;
    m_label = label;
    m_labelMode = labelMode;
    connect(DownloadResourceMgr::instance(), &DownloadResourceMgr::signal_abort, this,
            &DownloadClassResourceUtil::onAbort);
}

bool DownloadClassResourceUtil::isDownloading() const
{
    return !m_resourceId.isEmpty() && DownloadResourceMgr::instance()->currentResourceId() == m_resourceId;
}

int DownloadClassResourceUtil::presentPercent() const
{
    if (m_files.isEmpty())
        return 0;
    int present = 0;
    for (const DownloadFileInfo &file : m_files) {
        if (NetWorkDownloadReplyHolder::isFileAlreadyDownloaded(file.url, file.dirPath))
            ++present;
    }
    return present * 100 / m_files.size();
}

void DownloadClassResourceUtil::refreshDownloadStatus(const QString &resourceId, const QVector<DownloadFileInfo> &files)
{
    m_resourceId = resourceId;
    m_files = files;
    qInfo("resourcedownload:refreshDownloadStatus, resourceId:%s", qUtf8Printable(resourceId));
    if (presentPercent() == 100) {
        m_progressTimer->stop();
        if (m_labelMode && m_label) {
            m_label->setStyleSheet(QStringLiteral("image: url(:/image/class/downloadFinish.png);"));
            m_label->show();
        } else if (m_button) {
            m_button->setText(tr("Complete"));
        }
        return;
    }
    if (isDownloading()) {
        showProgress();
        return;
    }
    if (m_button && !m_labelMode)
        m_button->setText(tr("Download"));
}

void DownloadClassResourceUtil::start()
{
    qInfo("resourcedownload:start");
    DownloadResourceMgr::instance()->download(m_resourceId, m_files);
    if (m_labelMode) {
        m_progressTimer->start(Durations::ms(kProgressIntervalMs));
        if (m_label)
            m_label->show();
    }
    showProgress();
}

void DownloadClassResourceUtil::showProgress()
{
    const int percent = presentPercent();
    const QString text = QStringLiteral("%1%").arg(percent);
    if (m_labelMode) {
        if (m_label)
            m_label->setToolTip(text);
    } else if (m_button) {
        m_button->setText(text);
    }
    if (percent == 100)
        refreshDownloadStatus(m_resourceId, m_files);
}

void DownloadClassResourceUtil::onAbort(const QString &resourceId)
{
    if (resourceId != m_resourceId)
        return;
    m_progressTimer->stop();
    if (m_button && !m_labelMode)
        m_button->setText(tr("Download"));
}
