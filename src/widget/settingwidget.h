#ifndef SETTINGWIDGET_H
#define SETTINGWIDGET_H

#include "utility/widget/basemainwidget.h"

// The settings window; openers wait for its signal_close().
class SettingWidget : public BaseMainWidget
{
    Q_OBJECT

public:
    explicit SettingWidget(QWidget *parent = nullptr);
    ~SettingWidget() override;

public slots:
    // Checks for a newer version with this window as the upgrade's prompt.
    void on_pushButtonChecChecUpgrade_clicked();
    // Says that this version is the newest, when this window asked.
    void slot_on_no_new_version();
};

#endif // SETTINGWIDGET_H
