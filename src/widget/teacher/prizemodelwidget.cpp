#include "prizemodelwidget.h"

#include "widget/widgetclassroom.h"

PrizeModelWidget::PrizeModelWidget(WidgetClassRoom *parent)
    : PrizeModel(parent)
{
}

PrizeModelWidget::~PrizeModelWidget() = default;

void PrizeModelWidget::enterMode(WidgetClassRoom *room, WidgetVideoItemList *classTiles)
{
    PrizeModel::enterMode(room, classTiles);
}

void PrizeModelWidget::CreateVideo(const UserList &) {}
void PrizeModelWidget::updateUserTile(const QString &) {}
