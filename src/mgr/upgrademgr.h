#ifndef UPGRADEMGR_H
#define UPGRADEMGR_H

#include "mgr/checkupgradeentity.h"
#include "mgr/http/baseentity.h"
#include "mgr/singletonmgrbase.h"

#include <QPointer>
#include <QString>

#include <memory>

class EntityNetworkReplyHolder;
class NetWorkDownloadReplyHolder;
class QWidget;
class UpgradeUi;

// Asks the lesson service for a newer client, offers it, downloads the
// installer with a progress dialog, checks its MD5, starts it as a process
// of its own and ends the client with exit code 124. The dialogs are the
// UpgradeUi's; without one nothing is shown and every question is No.
class UpgradeMgr : public SingletonMgrBase
{
    Q_OBJECT

public:
    static constexpr int kExitForUpgrade = 124;

    explicit UpgradeMgr(QObject *parent = nullptr);
    ~UpgradeMgr() override;

    static UpgradeMgr *instance();

    void init() override;

    void setUi(std::unique_ptr<UpgradeUi> ui);
    UpgradeUi *ui() const;

    // The widget over which upgrade prompts are shown.
    void setPromptWidget(QWidget *widget);
    // Forgets widget when it is the prompt widget.
    void clearPromptWidget(QWidget *widget);
    QWidget *promptWidget() const;

    // Starts the version check; a check still running is dropped.
    void goCheck();
    // True when version (four dotted numbers) is newer than this client's.
    bool hasNewVersion(const QString &version);
    void onHasNewVersion(const CheckUpgradeEntity &entity);
    void onNoNewVersion();
    void upgrade(const CheckUpgradeEntity &entity);

signals:
    void signal_on_no_new_version();

public slots:
    void slot_onSuccess_checkUpgrade(QString response);
    void slot_onFailure_checkUpgrade(BaseEntity baseEntity);
    void slot_onStart_download();
    void slot_onFinish_download();
    void slot_onSuccess_download(QString filePath);
    void slot_onFailure_download(int errorCode);
    void slot_downloadProgress_download(double percent, qlonglong bytesReceived, qlonglong bytesTotal);
    void slot_on_progressDlg_canceled();

private:
    // Releases the reply of the check that answered; false for an answer
    // of a check that was replaced.
    bool takeCheckReply();
    // Slots of a download are for the current one only.
    bool isCurrentDownload() const;
    QString text(const QString &key) const;
    void startInstaller(const QString &filePath);

    QPointer<EntityNetworkReplyHolder> m_checkReply;
    QPointer<NetWorkDownloadReplyHolder> m_downloadReply;
    bool m_progressShown = false;
    CheckUpgradeEntity m_entity;
    std::unique_ptr<UpgradeUi> m_ui;
};

#endif // UPGRADEMGR_H
