#ifndef WIDGETCLASSROOM_H
#define WIDGETCLASSROOM_H

#include "mgr/message/classroompayloads.h"
#include "mgr/message/controlmessages.h"
#include "mgr/message/immsginfo.h"
#include "utility/widget/basemainwidget.h"
#include "widget/widgetclassmode.h"

#include <QList>
#include <QString>

class ClassWidget;
class QLabel;
class UserList;
class WidgetReview;
struct ClassInfoEntity;

// The one window of a lesson, titled "Classroom", for both roles. It holds
// the title bar and exactly one visible mode page (the class page of the
// role, or the award page), owns the roster, announces the user's entry and
// exit to the class, answers the room-level orders and tears the lesson
// down when it closes.
class WidgetClassRoom : public BaseMainWidget
{
    Q_OBJECT

public:
    // The fixed length of a class, in seconds.
    static constexpr int kClassLengthSecs = 1500;

    explicit WidgetClassRoom(QWidget *parent = nullptr);
    ~WidgetClassRoom() override;

    void startClass(const ClassInfoEntity &info);
    // The class started in this window; empty before.
    QString getClassId() const;
    UserList *getUserList() const;

    ClassWidget *createClassWidget();
    void initUsers(const ClassInfoEntity &info);
    void sendEnterOrLeaveMsg(bool bEnterMsg);
    void addClassMode(WidgetClassMode *mode);
    bool changeModule(WidgetClassMode *mode);
    // The enumerator of the same name hides the type, hence "enum".
    void setModule(enum WidgetClassMode::ClassMode mode);
    void sendSwitchModeMsg(int mode);
    WidgetClassMode *createPrizeModeWidget();

    // The class page and the current page; for the pages and the tests.
    ClassWidget *classWidget() const { return m_classWidget; }
    WidgetClassMode *currentMode() const { return m_curMode; }

signals:
    // The user has confirmed leaving.
    void signal_close(bool bUpdateClass);

public slots:
    void slot_switchMode(int mode);
    void slot_receiveSwitchClassModel(ImMsgInfo info, ClassModelControl protocol);
    void slot_receiveSendSysMsg(ImMsgInfo info, SendSysMsg msg);
    void slot_receiveRefreshApp(ImMsgInfo info, RefreshApp msg);
    void slot_receiveRequestDeivceInfo(ImMsgInfo info, RequestDeivceInfo msg);
    void slot_receiveSwitchDevice(ImMsgInfo info, SwitchDevice msg);
    void slot_receiveSetVideoProfileMsg(ImMsgInfo info, SetVideoProfileMsg msg);
    void slot_videoChannelSomeOneJoined(QString uid);
    void slot_videoChannelSomeOneLeaved(QString uid);
    void slot_closeWidget();
    void slot_review_closed();

protected:
    void closeEvent(QCloseEvent *event) override;

private:
    QString m_classId;
    QLabel *m_label;
    UserList *m_userList;
    QList<WidgetClassMode *> m_modes;
    WidgetClassMode *m_curMode = nullptr;
    ClassWidget *m_classWidget = nullptr;
    WidgetReview *m_review = nullptr;
    int m_localPlayCapability = 1;
    bool m_isCommented = false;
    bool m_closed = false;
};

#endif // WIDGETCLASSROOM_H
