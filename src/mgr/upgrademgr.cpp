#include "upgrademgr.h"

#include "biz/httpapi/studentapis.h"
#include "mgr/http/apireply.h"
#include "mgr/http/entitynetworkreplyholder.h"
#include "mgr/http/httpentity.h"
#include "mgr/http/networkdownloadreplyholder.h"
#include "mgr/singleton.h"
#include "mgr/upgradeui.h"
#include "platform/processlauncher.h"
#include "utility/downloadutil.h"
#include "utility/globalconstants.h"
#include "utility/hashutility.h"
#include "utility/translatelanguage.h"

#include <QDebug>
#include <QFile>
#include <QStringList>

UpgradeMgr::UpgradeMgr(QObject *parent)
    : SingletonMgrBase(parent)
{
}

UpgradeMgr::~UpgradeMgr() = default;

UpgradeMgr *UpgradeMgr::instance()
{
    return Singleton<UpgradeMgr>::instance();
}

void UpgradeMgr::init()
{
    qInfo("init");
}

void UpgradeMgr::setUi(std::unique_ptr<UpgradeUi> ui)
{
    QWidget *widget = promptWidget();
    m_ui = std::move(ui);
    if (m_ui)
        m_ui->setPromptWidget(widget);
}

UpgradeUi *UpgradeMgr::ui() const
{
    return m_ui.get();
}

void UpgradeMgr::setPromptWidget(QWidget *widget)
{
    if (m_ui)
        m_ui->setPromptWidget(widget);
}

void UpgradeMgr::clearPromptWidget(QWidget *widget)
{
    if (promptWidget() == widget)
        setPromptWidget(nullptr);
    else
        qCritical("diffrent prompt widget");
}

QWidget *UpgradeMgr::promptWidget() const
{
    return m_ui ? m_ui->promptWidget() : nullptr;
}

QString UpgradeMgr::text(const QString &key) const
{
    return Translatelanguage::instance()->getText(key);
}

void UpgradeMgr::goCheck()
{
    qInfo("goCheck");
    if (m_checkReply) {
        m_checkReply->abort();
        m_checkReply->deleteLater();
        m_checkReply = nullptr;
    }
    m_checkReply = bindApiReply<void>(StudentApis::pcNewUpdate(this), this)
                       .onSuccess(&UpgradeMgr::slot_onSuccess_checkUpgrade)
                       .onFailure(&UpgradeMgr::slot_onFailure_checkUpgrade);
}

bool UpgradeMgr::takeCheckReply()
{
    // A check that a later goCheck replaced has nothing more to say.
    if (sender() && sender() != m_checkReply)
        return false;
    if (m_checkReply) {
        m_checkReply->deleteLater();
        m_checkReply = nullptr;
    }
    return true;
}

void UpgradeMgr::slot_onSuccess_checkUpgrade(QString response)
{
    if (!takeCheckReply())
        return;
    qInfo("slot_onSuccess_checkUpgrade, response:%s", qUtf8Printable(response));
    HttpEntity<CheckUpgradeEntity> entity;
    if (!fromJson(response, entity)) {
        qCritical("from json failed");
        onNoNewVersion();
        return;
    }
    m_entity = entity.data;
    if (hasNewVersion(m_entity.LatestVer))
        onHasNewVersion(m_entity);
    else
        onNoNewVersion();
}

void UpgradeMgr::slot_onFailure_checkUpgrade(BaseEntity baseEntity)
{
    if (!takeCheckReply())
        return;
    qCritical("slot_onFailure_checkUpgrade error:%s", qUtf8Printable(baseEntity.toString()));
    onNoNewVersion();
}

void UpgradeMgr::onNoNewVersion()
{
    qInfo("onNoNewVersion");
    emit signal_on_no_new_version();
}

bool UpgradeMgr::hasNewVersion(const QString &version)
{
    qInfo("hasNewVersion:%s", qUtf8Printable(version));
    const QStringList own = QString::fromLatin1(g_clientVersion).split(QLatin1Char('.'));
    const QStringList other = version.split(QLatin1Char('.'));
    if (own.size() != 4 || other.size() != 4) {
        qCritical("version parts size incorrect");
        return false;
    }
    for (int i = 0; i < 4; ++i) {
        // Text that is not a number counts as 0.
        const qlonglong ownPart = own.at(i).toLongLong();
        const qlonglong otherPart = other.at(i).toLongLong();
        if (ownPart != otherPart)
            return ownPart < otherPart;
    }
    return false;
}

void UpgradeMgr::onHasNewVersion(const CheckUpgradeEntity &entity)
{
    qWarning("onHasNewVersion");
    const QString offer = text(QStringLiteral("versiontoupgrade")).arg(entity.LatestVer, QStringLiteral("\n"));
    const QString message = text(QStringLiteral("versioncontent")).arg(offer, QStringLiteral("\n"), entity.UpdateLog);
    if (m_ui && m_ui->askYesNo(text(QStringLiteral("newversionreminder")), message, false))
        upgrade(entity);
}

void UpgradeMgr::upgrade(const CheckUpgradeEntity &entity)
{
    qInfo("upgrade");
    if (m_downloadReply) {
        // One download at a time: the earlier attempt's reply is replaced.
        NetWorkDownloadReplyHolder *previous = m_downloadReply;
        m_downloadReply = nullptr;
        previous->abort();
        previous->deleteLater();
    }
    NetWorkDownloadReplyHolder *reply = DownloadUtil::downloadInstaller(this, entity.DownLoadMainUrl);
    if (!reply) {
        qCritical("no download for %s", qUtf8Printable(entity.DownLoadMainUrl));
        return;
    }
    m_downloadReply = reply;
    connect(reply, &NetWorkDownloadReplyHolder::signal_onStart, this, &UpgradeMgr::slot_onStart_download);
    connect(reply, &NetWorkDownloadReplyHolder::signal_onFinish, this, &UpgradeMgr::slot_onFinish_download);
    connect(reply, &NetWorkDownloadReplyHolder::signal_onSuccess, this, &UpgradeMgr::slot_onSuccess_download);
    connect(reply, &NetWorkDownloadReplyHolder::signal_onFailure, this, &UpgradeMgr::slot_onFailure_download);
    connect(reply, &NetWorkDownloadReplyHolder::signal_downloadProgress, this,
            &UpgradeMgr::slot_downloadProgress_download);
}

bool UpgradeMgr::isCurrentDownload() const
{
    return !sender() || sender() == m_downloadReply;
}

void UpgradeMgr::slot_onStart_download()
{
    if (!isCurrentDownload())
        return;
    qInfo("slot_onStart_download");
    if (m_progressShown) {
        qCritical("downloadProgressDlg is not null");
        m_progressShown = false;
        if (m_ui)
            m_ui->closeProgress();
    }
    if (!m_ui)
        return;
    m_progressShown = true;
    m_ui->openProgress(text(QStringLiteral("upgrading")), text(QStringLiteral("downloading")),
                       text(QStringLiteral("cancel")), [this] { slot_on_progressDlg_canceled(); });
}

void UpgradeMgr::slot_downloadProgress_download(double percent, qlonglong, qlonglong)
{
    if (!isCurrentDownload())
        return;
    if (m_progressShown && m_ui)
        m_ui->setProgress(int(percent));
}

void UpgradeMgr::slot_onFinish_download()
{
    if (!isCurrentDownload())
        return;
    qInfo("slot_onFinish_download");
    if (m_progressShown) {
        // Forgotten before it closes: closing reports a cancel, which must
        // not abort a download that has already ended.
        m_progressShown = false;
        if (m_ui)
            m_ui->closeProgress();
    }
}

void UpgradeMgr::slot_onFailure_download(int errorCode)
{
    if (!isCurrentDownload())
        return;
    qCritical("slot_onFailure_download errorCode:%d", errorCode);
    slot_onFinish_download();
    // It has ended: a retry must not abort it again.
    if (m_downloadReply) {
        m_downloadReply->deleteLater();
        m_downloadReply = nullptr;
    }
    if (m_ui && m_ui->askYesNo(text(QStringLiteral("upgrading")), text(QStringLiteral("downloadingfailedtoretry")), true))
        upgrade(m_entity);
}

void UpgradeMgr::slot_on_progressDlg_canceled()
{
    qInfo("slot_on_progressDlg_canceled");
    if (!m_progressShown) {
        qInfo("cancelled by failure");
        return;
    }
    m_progressShown = false;
    if (m_downloadReply) {
        // An aborted download reports nothing more: forget it here.
        NetWorkDownloadReplyHolder *reply = m_downloadReply;
        m_downloadReply = nullptr;
        reply->abort();
        reply->deleteLater();
    }
    // A cancelled dialog only hides itself; close it for good.
    if (m_ui)
        m_ui->closeProgress();
}

void UpgradeMgr::slot_onSuccess_download(QString filePath)
{
    if (!isCurrentDownload())
        return;
    qInfo("slot_onSuccess_download");
    const QString fileMd5 = HashUtility::fileToMd5(filePath);
    if (fileMd5.toLower() != m_entity.FileMd5.toLower()) {
        qCritical("wrong file md5:%s, server md5:%s", qUtf8Printable(fileMd5), qUtf8Printable(m_entity.FileMd5));
        // A damaged file would be taken as already downloaded next time,
        // and the upgrade could never succeed.
        if (!QFile::remove(filePath))
            qCritical("remove damaged installer %s failed", qUtf8Printable(filePath));
        if (m_ui)
            m_ui->showCritical(text(QStringLiteral("upgradingerror")), text(QStringLiteral("filedamaged")));
        return;
    }
    if (m_ui)
        m_ui->showToast(text(QStringLiteral("downloadedtoinstall")));
    startInstaller(filePath);
}

void UpgradeMgr::startInstaller(const QString &filePath)
{
    qWarning("start installer process filePath:%s", qUtf8Printable(filePath));
    // Downloads carry no execute permission; the checked file gets it.
    QFile installer(filePath);
    installer.setPermissions(installer.permissions() | QFileDevice::ExeOwner | QFileDevice::ExeUser
                             | QFileDevice::ExeGroup | QFileDevice::ExeOther);
    if (!startDetachedProcess(filePath, {})) {
        qCritical("start installer process failed, keep running: %s", qUtf8Printable(filePath));
        if (m_ui)
            m_ui->showCritical(text(QStringLiteral("upgrading")), text(QStringLiteral("upgradingerror")));
        return;
    }
    qWarning("exit the program because of the upgrade");
    if (m_ui)
        m_ui->quit(kExitForUpgrade);
}
