#include "devicedetectingwidget.h"

DeviceDetectingWidget::DeviceDetectingWidget(QWidget *parent)
    : BaseMainWidget(parent)
{
    setObjectName(QStringLiteral("DeviceDetectingWidget"));
    resize(600, 400);
}

DeviceDetectingWidget::~DeviceDetectingWidget() = default;
