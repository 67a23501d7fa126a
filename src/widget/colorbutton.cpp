#include "widget/colorbutton.h"

ColorButton::ColorButton(int index, QString styleSheet, const QColor &color)
    : QPushButton(nullptr)
    , index(index)
    , color(color)
{
    setStyleSheet(styleSheet);
}
