#include "prizemodelwidgetstu.h"

#include "widget/widgetclassroom.h"

PrizemodelwidgetStu::PrizemodelwidgetStu(WidgetClassRoom *parent)
    : PrizeModel(parent)
{
}

PrizemodelwidgetStu::~PrizemodelwidgetStu() = default;

void PrizemodelwidgetStu::CreateVideo(const UserList &) {}
void PrizemodelwidgetStu::updateUserTile(const QString &) {}
