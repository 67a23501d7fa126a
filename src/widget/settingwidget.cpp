#include "settingwidget.h"
#include "ui_settingwidget.h"

#include "biz/device/agora/agoradevicedetecting.h"
#include "mgr/singleton.h"
#include "mgr/upgrademgr.h"
#include "utility/appdirs.h"
#include "utility/globalconstants.h"
#include "utility/translatelanguage.h"
#include "widget/devicedetectingwidget.h"
#include "widget/loginactions.h"

#include <QCloseEvent>
#include <QDebug>
#include <QDesktopServices>
#include <QDir>
#include <QEventLoop>
#include <QFile>
#include <QFileInfo>
#include <QTabBar>
#include <QUrl>

namespace {

SettingWidget::FolderOpener &folderOpener()
{
    static SettingWidget::FolderOpener opener;
    return opener;
}

bool openFolder(const QString &path)
{
    if (folderOpener())
        return folderOpener()(path);
    return QDesktopServices::openUrl(QUrl::fromLocalFile(path));
}

QString text(const char *key)
{
    return Translatelanguage::instance()->getText(QString::fromLatin1(key), Translatelanguage::LanguageDefault);
}

} // namespace

SettingWidget::SettingWidget(QWidget *parent)
    : BaseMainWidget(parent)
    , ui(new Ui::SettingWidget)
{
    ui->setupUi(this);
    setWindowFlags(windowFlags() | Qt::FramelessWindowHint);
    setAttribute(Qt::WA_TranslucentBackground);
    ui->tabWidget->tabBar()->hide();

    m_pDeviceDetecting = Singleton<AgoraDeviceDetecting>::instance();
    m_pDeviceDetecting->initDevice();
    connect(m_pDeviceDetecting, &AgoraDeviceDetecting::signal_audioPlayoutCollection, this, &SettingWidget::slot_audioPlayoutCollection);
    connect(m_pDeviceDetecting, &AgoraDeviceDetecting::signal_audioRecordCollection, this, &SettingWidget::slot_audioRecordCollection);
    connect(m_pDeviceDetecting, &AgoraDeviceDetecting::signal_videoDeviceCollection, this, &SettingWidget::slot_videoDeviceCollection);
    showPage(0);
    slot_showCurrentDevice();
    m_pDeviceDetecting->startEnumDevices();

    connect(Singleton<UpgradeMgr>::instance(), &UpgradeMgr::signal_on_no_new_version, this, &SettingWidget::slot_on_no_new_version);
}

SettingWidget::~SettingWidget()
{
    UpgradeMgr *upgrade = Singleton<UpgradeMgr>::instance();
    if (upgrade->promptWidget() == this)
        upgrade->clearPromptWidget(this);
    delete ui;
}

void SettingWidget::setFolderOpenerForTests(const FolderOpener &opener)
{
    folderOpener() = opener;
}

void SettingWidget::showPage(int index)
{
    ui->pushButtonDevice->setChecked(index == 0);
    ui->pushButtonFile->setChecked(index == 1);
    ui->pushButtonAbout->setChecked(index == 2);
    ui->tabWidget->setCurrentIndex(index);
}

void SettingWidget::on_pushButtonDevice_clicked()
{
    showPage(0);
    slot_showCurrentDevice();
}

void SettingWidget::on_pushButtonFile_clicked()
{
    showPage(1);
    ui->lineEditFileName->setText(getDownloadResourceDir());
}

void SettingWidget::on_pushButtonAbout_clicked()
{
    showPage(2);
    ui->labelVersion->setText(QStringLiteral("version:") + QString::fromLatin1(g_clientVersion));
}

QString SettingWidget::getCurrentDeviceName(int kind) const
{
    if (!m_pDeviceDetecting)
        return QString();
    if (kind == AGORA_DEVICE_MICROPHONE)
        return m_pDeviceDetecting->getAgoraRecordingDeviceName();
    if (kind == AGORA_DEVICE_SPEAKER)
        return m_pDeviceDetecting->getAgoraPlaybackDeviceName();
    return m_pDeviceDetecting->getAgoraVideoDeviceName();
}

void SettingWidget::slot_showCurrentDevice()
{
    qInfo("slot_showCurrentDevice...");
    ui->labelSpeaker->setText(getCurrentDeviceName(AGORA_DEVICE_SPEAKER));
    ui->labelMicrophone->setText(getCurrentDeviceName(AGORA_DEVICE_MICROPHONE));
    ui->labelCamera->setText(getCurrentDeviceName(AGORA_DEVICE_CAMERA));
}

void SettingWidget::slot_audioPlayoutCollection(QVariantMap)
{
    qInfo("SettingWidget::slot_audioPlayoutCollection...");
    ui->labelSpeaker->setText(getCurrentDeviceName(AGORA_DEVICE_SPEAKER));
}

void SettingWidget::slot_audioRecordCollection(QVariantMap)
{
    qInfo("SettingWidget::slot_audioRecordCollection...");
    ui->labelMicrophone->setText(getCurrentDeviceName(AGORA_DEVICE_MICROPHONE));
}

void SettingWidget::slot_videoDeviceCollection(QVariantMap)
{
    qInfo("SettingWidget::slot_videoDeviceCollection...");
    ui->labelCamera->setText(getCurrentDeviceName(AGORA_DEVICE_CAMERA));
}

void SettingWidget::on_pushButtonDeviceDetecting_clicked()
{
    auto *window = new DeviceDetectingWidget(nullptr);
    window->setAttribute(Qt::WA_ShowModal);
    window->show();
    QEventLoop loop;
    connect(window, SIGNAL(signal_close()), this, SLOT(slot_showCurrentDevice()));
    connect(window, SIGNAL(signal_close()), &loop, SLOT(quit()));
    loop.exec(QEventLoop::DialogExec);
    delete window;
}

void SettingWidget::on_pushButtonOpenFile_clicked()
{
    QString path = ui->lineEditFileName->text();
    if (!QFileInfo::exists(path))
        getDownloadResourceDir();
    if (!path.isEmpty()) {
        qInfo() << path;
        path = QDir::toNativeSeparators(path);
        if (!openFolder(path))
            qWarning() << "OpenFile: the file manager did not start for" << path;
    }
    qInfo() << "OpenFile dirName:" << path;
}

bool SettingWidget::clearDirectory(const QString &path, QStringList *failures)
{
    bool ok = true;
    QDir dir(path);
    // Hidden entries are not the user's downloads: they stay, and a hidden
    // folder is not entered. System entries are listed for broken links.
    const QFileInfoList entries = dir.entryInfoList(QDir::AllEntries | QDir::System | QDir::NoDotAndDotDot, QDir::NoSort);
    for (const QFileInfo &entry : entries) {
        const QString entryPath = entry.absoluteFilePath();
        if (entry.isDir() && !entry.isSymLink()) {
            ok = clearDirectory(entryPath, failures) && ok;
            continue;
        }
        // A file, or a link of any kind: the link goes, never its target.
        if (!QFile::remove(entryPath)) {
            qWarning() << "clearDirectory: cannot delete" << entryPath;
            if (failures)
                failures->append(entryPath);
            ok = false;
        }
    }
    return ok;
}

void SettingWidget::on_pushButtonClear_clicked()
{
    const QString path = ui->lineEditFileName->text();
    if (!path.isEmpty()) {
        const bool ok = clearDirectory(path);
        LoginActions::showNotice(this, text("velmo"), text(ok ? "allclear" : "clearfailed"));
    }
    qInfo() << "OpenFile dirName:" << path;
}

void SettingWidget::on_closePushButton_clicked()
{
    close();
}

void SettingWidget::closeEvent(QCloseEvent *event)
{
    UpgradeMgr *upgrade = Singleton<UpgradeMgr>::instance();
    if (upgrade->promptWidget() == this)
        upgrade->clearPromptWidget(this);
    BaseMainWidget::closeEvent(event);
}

void SettingWidget::on_pushButtonChecChecUpgrade_clicked()
{
    qInfo("manually check updates");
    UpgradeMgr *upgrade = Singleton<UpgradeMgr>::instance();
    upgrade->setPromptWidget(this);
    upgrade->goCheck();
}

void SettingWidget::slot_on_no_new_version()
{
    qInfo("in slot_on_no_new_version");
    if (Singleton<UpgradeMgr>::instance()->promptWidget() != this) {
        qCritical("not this widget for updgradeMgr");
        return;
    }
    LoginActions::showNotice(this, text("velmo"), text("alreadylatestversion"));
}
