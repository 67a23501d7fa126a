#ifndef WIDGETCLASSROOM_H
#define WIDGETCLASSROOM_H

#include "mgr/message/classroompayloads.h"
#include "mgr/message/controlmessages.h"
#include "mgr/message/immsginfo.h"
#include "utility/widget/basemainwidget.h"
#include "widget/widgetclassmode.h"

#include <QList>
#include <QString>
#include <QStringList>

namespace Ui {
class WidgetClassRoom;
}

class ClassWidget;
class UserList;
class WidgetReview;
class WidgetTitleBar;
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
    // Notices waiting behind the open box; a later one replaces the last.
    static constexpr int kMaxWaitingNotices = 3;

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
    QList<WidgetClassMode *> modes() const { return m_modes; }
    WidgetReview *reviewWidget() const { return m_review; }

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
    // Seconds since the class began, by the server's clock.
    qint64 elapsedClassSecs() const;
    // The 5-second notice with its countdown for the service's orders.
    void showServerNotice(const QString &text);
    // The service's notice in a box: one box at a time, the next waiting
    // until it is closed.
    void showNoticeBox(const QString &text);
    static bool isForMe(const QString &uid);

    Ui::WidgetClassRoom *ui;
    WidgetTitleBar *m_titleBar = nullptr;
    QString m_classId;
    UserList *m_userList;
    QList<WidgetClassMode *> m_modes;
    WidgetClassMode *m_curMode = nullptr;
    ClassWidget *m_classWidget = nullptr;
    WidgetReview *m_review = nullptr;
    int m_localPlayCapability = 1;
    bool m_isCommented = false;
    // The teardown has run; a second close before the deferred delete
    // announces and uploads nothing again.
    bool m_closed = false;
    bool m_noticeBoxOpen = false;
    QString m_shownNotice;
    QStringList m_waitingNotices;
};

#endif // WIDGETCLASSROOM_H
