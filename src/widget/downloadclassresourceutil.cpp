#include "downloadclassresourceutil.h"

#include "mgr/teacherdownloadresourcemgr.h"
#include "utility/durations.h"

#include <QDebug>
#include <QLabel>
#include <QPixmap>
#include <QPushButton>
#include <QSet>
#include <QTimer>
#include <QTransform>

namespace {

// One turn of the downloading picture for every control of the process.
int g_animationTick = 0;

} // namespace

DownloadClassResourceUtil::DownloadClassResourceUtil(QObject *parent)
    : QObject(parent)
    , m_animationTimer(new QTimer(this))
{
    m_animationTimer->setInterval(Durations::ms(kAnimationIntervalMs));
    connect(m_animationTimer, &QTimer::timeout, this, &DownloadClassResourceUtil::stepAnimation);
}

DownloadClassResourceUtil::~DownloadClassResourceUtil() = default;

QString DownloadClassResourceUtil::downloadLook()
{
    return QStringLiteral("QPushButton{font-size:16px;border-radius:6px;background-color:#ffffff;color:#2f3244;"
                          "border:1px solid #2f3244;}"
                          "QPushButton:hover{background-color:#666666;font-size:16px;color:#ffffff;}");
}

QString DownloadClassResourceUtil::completeLook()
{
    return QStringLiteral("QPushButton{font-size:16px;border-radius:6px;background-color:#ffffff;color:#dcd2d2;"
                          "border:1px solid #dcd2d2;}");
}

void DownloadClassResourceUtil::init(QPushButton *button, QLabel *label, bool labelMode)
{
    qInfo("resourcedownload:init");
    m_button = button;
    m_label = label;
    m_labelMode = labelMode;
    DownloadResourceMgr *mgr = DownloadResourceMgr::instance();
    connect(mgr, &DownloadResourceMgr::signal_onSuccess, this,
            &DownloadClassResourceUtil::slot_classdownload_onSuccess);
    connect(mgr, &DownloadResourceMgr::signal_onFailure, this,
            &DownloadClassResourceUtil::slot_classdownload_onFailure);
    connect(mgr, &DownloadResourceMgr::signal_downloadProgress, this,
            [this](const QString &resourceId, double percent) {
                if (resourceId == m_resourceId)
                    setDownloadLabelPercent(percent);
            });
    connect(mgr, &DownloadResourceMgr::signal_abort, this, &DownloadClassResourceUtil::slot_abort);
}

void DownloadClassResourceUtil::start()
{
    qInfo("resourcedownload:start");
    DownloadResourceMgr::instance()->download(m_resourceId, m_files);
    if (m_labelMode) {
        m_animationTimer->start();
        if (m_label)
            m_label->show();
    }
}

bool DownloadClassResourceUtil::isDownloading() const
{
    // An idle manager has an empty id: that is no resource of ours.
    return !m_resourceId.isEmpty() && DownloadResourceMgr::instance()->getResourceId() == m_resourceId;
}

bool DownloadClassResourceUtil::isAnimating() const
{
    return m_animationTimer->isActive();
}

void DownloadClassResourceUtil::setButtonLook(const QString &text, const QString &look)
{
    if (!m_button)
        return;
    m_button->setText(text);
    m_button->setStyleSheet(look);
}

void DownloadClassResourceUtil::showComplete(bool showLabel)
{
    if (m_labelMode) {
        if (m_label) {
            m_label->setPixmap(QPixmap(QLatin1String(kCompleteImage)));
            if (showLabel)
                m_label->show();
        }
        return;
    }
    setButtonLook(tr("Complete"), completeLook());
}

void DownloadClassResourceUtil::refreshDownloadStatus(const QString &resourceId,
                                                      const QVector<DownloadFileInfo> &files)
{
    qInfo("resourcedownload:refreshDownloadStatus, resourceId:%s", qUtf8Printable(resourceId));
    m_resourceId = resourceId;
    m_files = files;
    QSet<QString> downloaded;
    const int percent = DownloadResourceMgr::instance()->calculateDownloadProgress(resourceId, files, downloaded);
    qInfo("resourcedownload:currentPercent:%d", percent);
    if (percent > 0 && percent < 100)
        setDownloadLabelPercent(percent);
    const bool downloading = isDownloading();
    if (downloading) {
        qInfo("resourcedownload:isDownloading");
        DownloadResourceMgr::instance()->updateResource(m_resourceId, m_files);
    }
    if (percent == 100) {
        m_animationTimer->stop();
        showComplete(true);
        return;
    }
    if (!downloading) {
        if (!m_labelMode)
            setButtonLook(tr("Download"), downloadLook());
        if (m_button)
            m_button->show();
    }
}

void DownloadClassResourceUtil::setDownloadLabelPercent(double percent)
{
    qInfo("resourcedownload:setDownloadLabelPercent:%f", percent);
    if (m_labelMode || !isDownloading())
        return;
    if (percent > 99) {
        setButtonLook(tr("Complete"), completeLook());
        return;
    }
    setButtonLook(QStringLiteral("%1%").arg(QString::number(percent)), downloadLook());
}

void DownloadClassResourceUtil::stepAnimation()
{
    if (!m_label)
        return;
    const int tick = g_animationTick++;
    QTransform turn;
    turn.rotate(((tick + 1) * 90) % 360);
    m_label->setPixmap(QPixmap(QLatin1String(kDownloadingImage)).transformed(turn, Qt::SmoothTransformation));
}

void DownloadClassResourceUtil::slot_classdownload_onSuccess(const QString &resourceId)
{
    qInfo("resourcedownload:slot_classdownload_onSuccess resourceId:%s", qUtf8Printable(resourceId));
    if (resourceId == m_resourceId) {
        QTimer::singleShot(0, this, &DownloadClassResourceUtil::slot_timer_on_success);
        return;
    }
    qInfo("resourcedownload:classId(%s) != resourceId(%s)", qUtf8Printable(m_resourceId),
          qUtf8Printable(resourceId));
    m_animationTimer->stop();
    if (m_labelMode && m_label)
        m_label->setPixmap(QPixmap(QLatin1String(kCompleteImage)));
}

void DownloadClassResourceUtil::slot_classdownload_onFailure(const QString &resourceId, int errorCode)
{
    qInfo("resourcedownload:slot_classdownload_onFailure resourceId:%s, errorCode:%d", qUtf8Printable(resourceId),
          errorCode);
    if (resourceId != m_resourceId)
        qInfo("resourcedownload:classId(%s) != resourceId(%s)", qUtf8Printable(m_resourceId),
              qUtf8Printable(resourceId));
    // The manager tries again by itself.
}

void DownloadClassResourceUtil::slot_abort(const QString &resourceId)
{
    qInfo("resourcedownload:slot_abort resourceId:%s", qUtf8Printable(resourceId));
    // A new download always aborts the running one first: every control
    // stops its animation.
    m_animationTimer->stop();
    if (m_labelMode && m_label)
        m_label->hide();
    if (resourceId != m_resourceId)
        qInfo("resourcedownload:classId(%s) != resourceId(%s)", qUtf8Printable(m_resourceId),
              qUtf8Printable(resourceId));
}

void DownloadClassResourceUtil::slot_timer_on_success()
{
    qInfo("slot_timer_on_success");
    refreshDownloadStatus(m_resourceId, m_files);
}
