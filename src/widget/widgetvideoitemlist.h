#ifndef WIDGETVIDEOITEMLIST_H
#define WIDGETVIDEOITEMLIST_H

#include <QObject>
#include <QString>
#include <QVector>

class UserList;
class WidgetVideoItem;

// One tile per roster entry, in roster order. The tiles are children of the
// page that built them; the list only points to them.
class WidgetVideoItemList : public QObject
{
    Q_OBJECT

public:
    WidgetVideoItemList();
    ~WidgetVideoItemList() override;

    // Builds one tile per entry of users, children of parent.
    void createItems(const UserList *users, QWidget *parent);
    // Forgets the tiles without deleting them.
    void clear();
    int count() const;
    WidgetVideoItem *getWidgetByIdx(int idx) const;
    WidgetVideoItem *getWidgetByUid(const QString uid) const;
    // The same without the log line, for look-ups that may well miss.
    WidgetVideoItem *findWidgetByUid(const QString &uid) const;
    WidgetVideoItem *getCurUserWidget() const;
    WidgetVideoItem *getTeacherWidget() const;
    void showStudentItems(bool show);

private:
    QVector<WidgetVideoItem *> m_items;
    int m_teacherIdx = -1;
    int m_curUserIdx = -1;
};

#endif // WIDGETVIDEOITEMLIST_H
