#include "widgetvideoitemlist.h"

#include "widget/widgetvideoitem.h"

WidgetVideoItemList::WidgetVideoItemList() = default;

WidgetVideoItemList::~WidgetVideoItemList()
{
    clear();
}

void WidgetVideoItemList::createItems(UserList *, QWidget *) {}

void WidgetVideoItemList::clear()
{
    m_items.clear();
    m_teacherIdx = -1;
    m_curUserIdx = -1;
}

int WidgetVideoItemList::count() const
{
    return m_items.count();
}

WidgetVideoItem *WidgetVideoItemList::getWidgetByIdx(int idx) const
{
    return idx >= 0 && idx < m_items.count() ? m_items.at(idx) : nullptr;
}

WidgetVideoItem *WidgetVideoItemList::getWidgetByUid(const QString uid) const
{
    for (WidgetVideoItem *item : m_items) {
        if (item->getUserInfo().uid == uid)
            return item;
    }
    return nullptr;
}

WidgetVideoItem *WidgetVideoItemList::getCurUserWidget() const
{
    return getWidgetByIdx(m_curUserIdx);
}

WidgetVideoItem *WidgetVideoItemList::getTeacherWidget() const
{
    return getWidgetByIdx(m_teacherIdx);
}

void WidgetVideoItemList::showStudentItems(bool) {}
