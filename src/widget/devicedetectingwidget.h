#ifndef DEVICEDETECTINGWIDGET_H
#define DEVICEDETECTINGWIDGET_H

#include "utility/widget/basemainwidget.h"

// The pre-class device test window; openers wait for its signal_close().
class DeviceDetectingWidget : public BaseMainWidget
{
    Q_OBJECT

public:
    explicit DeviceDetectingWidget(QWidget *parent = nullptr);
    ~DeviceDetectingWidget() override;
};

#endif // DEVICEDETECTINGWIDGET_H
