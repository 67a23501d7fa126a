#include "settingwidget.h"

SettingWidget::SettingWidget(QWidget *parent)
    : BaseMainWidget(parent)
{
    setObjectName(QStringLiteral("SettingWidget"));
    resize(600, 400);
}

SettingWidget::~SettingWidget() = default;
