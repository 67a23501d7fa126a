#ifndef SETTINGWIDGET_H
#define SETTINGWIDGET_H

#include "utility/widget/basemainwidget.h"

#include <QVariantMap>

#include <functional>

class AgoraDeviceDetecting;

namespace Ui {
class SettingWidget;
}

// The settings window: the devices in use with the device test, the
// download folder with open and clear, and the version with a manual
// upgrade check. Openers wait for its signal_close().
class SettingWidget : public BaseMainWidget
{
    Q_OBJECT

public:
    explicit SettingWidget(QWidget *parent = nullptr);
    ~SettingWidget() override;

    // Opens a folder in the desktop's file manager; true when started.
    using FolderOpener = std::function<bool(const QString &path)>;
    // For tests: replaces the file manager; an empty opener restores it.
    static void setFolderOpenerForTests(const FolderOpener &opener);

    // Deletes every file below path, at every depth, keeping the folders;
    // hidden files and whatever lies in hidden folders stay. Symbolic
    // links are removed as links and never followed. Each
    // failure is logged and listed in failures; true when none failed.
    static bool clearDirectory(const QString &path, QStringList *failures = nullptr);

public slots:
    void on_pushButtonDevice_clicked();
    void on_pushButtonFile_clicked();
    void on_pushButtonAbout_clicked();
    void on_pushButtonOpenFile_clicked();
    void on_pushButtonDeviceDetecting_clicked();
    void on_pushButtonClear_clicked();
    void slot_audioPlayoutCollection(QVariantMap audioPlayoutMap);
    void slot_audioRecordCollection(QVariantMap audioInputMap);
    void slot_videoDeviceCollection(QVariantMap videoDeviceMap);
    void slot_showCurrentDevice();
    void on_closePushButton_clicked();
    // Checks for a newer version with this window as the upgrade's prompt.
    void on_pushButtonChecChecUpgrade_clicked();
    // Says that this version is the newest, when this window asked.
    void slot_on_no_new_version();

protected:
    void closeEvent(QCloseEvent *event) override;

private:
    void showPage(int index);
    QString getCurrentDeviceName(int kind) const;

    Ui::SettingWidget *ui;
    AgoraDeviceDetecting *m_pDeviceDetecting = nullptr;
};

#endif // SETTINGWIDGET_H
