#ifndef WIDGETCLASSMODE_H
#define WIDGETCLASSMODE_H

#include <QString>
#include <QWidget>

class UserList;
class WidgetClassRoom;
class WidgetVideoItemList;

// Base of the classroom window's mode pages: the class page and the award
// page. Exactly one page is shown at a time; the page that is left hands
// its tile list to the page that is entered.
class WidgetClassMode : public QWidget
{
    Q_OBJECT

public:
    enum ClassMode { ClassMode = 0, PrizeMode = 1 };

    explicit WidgetClassMode(QWidget *parent = nullptr);
    ~WidgetClassMode() override;

    int getClassMode() const;
    // "ClassMode", "PrizeMode", or empty for any other value.
    QString modeName() const;
    static QString modeName(int mode);

public slots:
    // Becomes the visible page; tiles are those of the page that was left,
    // null for the first page shown.
    virtual void enterMode(WidgetClassRoom *room, WidgetVideoItemList *tiles) = 0;
    // The page is being left: detaches the video of every tile it holds.
    virtual void exitMode() = 0;
    // The classroom is closing.
    virtual void destoryMode() = 0;
    // Attaches or detaches the video of one user's tile; false without one.
    virtual bool setVideoItemAttached(const QString &uid, bool attach) = 0;
    virtual void slot_onChannelUserJoined(const QString &uid) = 0;
    virtual void slot_onChannelUserLeaved(const QString &uid) = 0;
    virtual WidgetVideoItemList *getVideoItemList() = 0;

protected:
    void setClassMode(int mode);

    // The classroom window's roster; not owned. Set when the lesson starts.
    UserList *userList = nullptr;

private:
    int m_classMode = ClassMode;
};

#endif // WIDGETCLASSMODE_H
