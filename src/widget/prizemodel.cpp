#include "prizemodel.h"

#include "widget/widgetclassroom.h"
#include "widget/widgetvideoitemlist.h"

PrizeModel::PrizeModel(QWidget *parent)
    : WidgetClassMode(parent)
    , videoItemList(new WidgetVideoItemList)
{
    setClassMode(PrizeMode);
}

PrizeModel::~PrizeModel()
{
    delete videoItemList;
}

void PrizeModel::enterMode(WidgetClassRoom *room, WidgetVideoItemList *)
{
    if (!room)
        return;
    userList = room->getUserList();
    classId = room->getClassId();
}

void PrizeModel::exitMode() {}

void PrizeModel::destoryMode()
{
    exitMode();
}

bool PrizeModel::setVideoItemAttached(const QString &, bool)
{
    return false;
}

WidgetVideoItemList *PrizeModel::getVideoItemList()
{
    return videoItemList;
}

void PrizeModel::slot_onChannelUserJoined(const QString &) {}
void PrizeModel::slot_onChannelUserLeaved(const QString &) {}
