#include "widgetvideoitemlist.h"

#include "utility/translatelanguage.h"
#include "utility/userinfo.h"
#include "widget/widgetvideoitems.h"
#include "widget/widgetvideoitemt.h"

WidgetVideoItemList::WidgetVideoItemList() = default;

WidgetVideoItemList::~WidgetVideoItemList()
{
    clear();
}

void WidgetVideoItemList::createItems(const UserList *users, QWidget *parent)
{
    m_teacherIdx = users->getTeacherIdx();
    m_curUserIdx = users->getCurUserIdx();
    const int count = users->getUserCount();
    for (int i = 0; i < count; ++i) {
        const UserInfo entry = users->getUserInfoByIdx(i);
        WidgetVideoItem *item = nullptr;
        if (entry.userType == UserInfo::Teacher) {
            item = new WidgetVideoItemT(parent);
        } else {
            // An unknown role still gets a tile, so tile i stays roster entry i.
            if (entry.userType != UserInfo::Student)
                qWarning("unknown role %d of uid:%s, shown as a student", entry.userType, qUtf8Printable(entry.uid));
            item = new WidgetVideoItemS(parent);
        }
        item->setUserInfo(entry);
        m_items.append(item);
        if (i == m_curUserIdx)
            item->setNickName(Translatelanguage::instance()->getText(QStringLiteral("Me")));
    }
}

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
    if (idx < 0 || idx >= m_items.count()) {
        qCritical("idx is incorrect. idx:%d", idx);
        return nullptr;
    }
    return m_items.at(idx);
}

WidgetVideoItem *WidgetVideoItemList::getWidgetByUid(const QString uid) const
{
    WidgetVideoItem *item = findWidgetByUid(uid);
    if (!item)
        qCritical("not found WidgetVideoItem, uid:%s", qUtf8Printable(uid.left(64)));
    return item;
}

WidgetVideoItem *WidgetVideoItemList::findWidgetByUid(const QString &uid) const
{
    for (WidgetVideoItem *item : m_items) {
        if (item->getUserInfo().uid == uid)
            return item;
    }
    return nullptr;
}

WidgetVideoItem *WidgetVideoItemList::getCurUserWidget() const
{
    if (m_curUserIdx < 0 || m_curUserIdx >= m_items.count()) {
        qCritical("curUserIdx is incorrect, you may not initialized. curUserIdx:%d", m_curUserIdx);
        return nullptr;
    }
    return m_items.at(m_curUserIdx);
}

WidgetVideoItem *WidgetVideoItemList::getTeacherWidget() const
{
    if (m_teacherIdx < 0 || m_teacherIdx >= m_items.count()) {
        qCritical("teacherIdx is incorrect, you may not initialized. teacheIdx:%d", m_teacherIdx);
        return nullptr;
    }
    return m_items.at(m_teacherIdx);
}

void WidgetVideoItemList::showStudentItems(bool show)
{
    // Every tile but the teacher's is a student tile.
    for (WidgetVideoItem *item : m_items) {
        if (item->getUserInfo().userType != UserInfo::Teacher)
            item->setVisible(show);
    }
}
