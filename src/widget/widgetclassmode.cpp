#include "widgetclassmode.h"

WidgetClassMode::WidgetClassMode(QWidget *parent)
    : QWidget(parent)
{
}

WidgetClassMode::~WidgetClassMode() = default;

int WidgetClassMode::getClassMode() const
{
    return m_classMode;
}

QString WidgetClassMode::modeName() const
{
    return modeName(m_classMode);
}

QString WidgetClassMode::modeName(int mode)
{
    switch (mode) {
    case ClassMode:
        return QStringLiteral("ClassMode");
    case PrizeMode:
        return QStringLiteral("PrizeMode");
    default:
        return QString();
    }
}

void WidgetClassMode::setClassMode(int mode)
{
    m_classMode = mode;
}
