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
};

#endif // SETTINGWIDGET_H
