#include "utility/widget/closesignalwidget.h"

CloseSignalWidget::CloseSignalWidget(QWidget *parent)
    : QWidget(parent)
{
}
