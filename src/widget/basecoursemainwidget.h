#ifndef BASECOURSEMAINWIDGET_H
#define BASECOURSEMAINWIDGET_H

#include "biz/course/classinfoentity.h"
#include "mgr/http/baseentity.h"
#include "utility/widget/basemainwidget.h"

#include <QPointer>
#include <QString>

class EntityNetworkReplyHolder;
class LoadingWidget;
class QAction;
class QListWidget;
class QMenu;
class WidgetClassRoom;
struct ImMsgInfo;
struct RefreshApp;

// Base of the course windows of both roles, opened by the login window.
// Everything that is not about showing the lists lives here: entering a
// class (configuration, class information, clock offset, the one classroom
// window), leaving and re-entering it, the server's requests to re-enter or
// restart, being signed in elsewhere, logout and closing the platform, the
// member-centre page, the device checks, and the event reports "user/login",
// "class/join" and "class/exit".
class BaseCourseMainWidget : public BaseMainWidget
{
    Q_OBJECT

public:
    // The pause before a re-entry, and before acting on a server request to
    // re-enter or restart.
    static constexpr int kReEnterDelayMs = 1000;
    static constexpr int kRefreshRequestDelayMs = 5000;
    static constexpr int kDeviceCheckDelayMs = 1000;
    // The exit code that starts the program again into the current class.
    static constexpr int kRestartExitCode = 773;
    // The answer that could not be read counts as this failure.
    static constexpr int kUnreadableAnswerCode = -333;

    explicit BaseCourseMainWidget(QWidget *parent = nullptr);
    ~BaseCourseMainWidget() override;

    virtual void initUserMenu();
    // Enters a class: asks before replacing a class that runs, then fetches
    // the configuration and the class information and starts the class in
    // the classroom window.
    virtual void joinClass(const QString &classId);
    virtual WidgetClassRoom *createClassRoom();

    // Opens a new login window that does not log in by itself, closes the
    // classroom window and this window.
    void applicationLogout();
    // The close button: asks first while a class is open.
    void closeCourseMainWidget();
    // Fetches the member-centre address and opens it in the browser.
    void getMemberCenterUrl();
    // Empties a list whose rows are item widgets, deleting the widgets.
    void clearListWidget(QListWidget *list);

    WidgetClassRoom *classRoomWindow() const;
    // The class being entered, or entered last.
    QString currentClassId() const;
    void setCurrentClassId(const QString &classId);
    LoadingWidget *classLoadingWidget() const;
    QMenu *userMenuForTests() const { return userMenu; }

    // Server clock minus local clock from the stamps of a class-information
    // answer, also logged.
    static qint64 countDelayTimes(const ActionLogTimerInfo &stamps);

    // Sends the event "user/login".
    void logLoginOkEvent();

    // The slots driven by the replies and the signal bus.
    void slot_onStart_getAppConfig();
    void slot_onSuccess_getAppConfig(const AppConfigData &config);
    void slot_onFinish_getAppConfig();
    // The class-information answer as text, and as read.
    void slot_onSuccess_getClassInfo(const QString &response);
    void classInfoReceived(const ClassInfoEntity &info);
    void slot_onFailure_getClassInfo(const BaseEntity &entity);
    void slot_onFinish_getClassInfo();
    void slot_onSuccess_getMemberCenterUrl(const WebUrlEntity &page);
    void slot_onKicked();
    void slot_classroom_opened();
    void slot_classroom_closed();
    void slot_reEnterClassRoom();
    void slot_reEnterClassroomImp();
    void slot_receiveRefreshApp(const ImMsgInfo &info, const RefreshApp &protocol);
    void slot_logoutMqttToReEnterClassroom();
    void slot_restartApp();

protected:
    void closeEvent(QCloseEvent *event) override;

    // Aborts and forgets the pending reply of a request that a new one
    // replaces.
    static void abortReply(QPointer<EntityNetworkReplyHolder> &reply);
    // The settings window, modal until it closes.
    static void showSettingWindow();
    // Opens an address from the server in the browser, only when it is an
    // http or https address; anything else is logged and refused.
    static bool openServerUrl(const QString &url, const char *what);

    QMenu *userMenu = nullptr;
    QAction *logoutAction = nullptr;
    QPointer<WidgetClassRoom> classRoom;
    bool isClearingList = false;
    QPointer<EntityNetworkReplyHolder> classInfoReply;
    QPointer<LoadingWidget> loadingWidget;
    QString classId;
    QPointer<EntityNetworkReplyHolder> memberCenterReply;
    bool showLoading = false;
    ClassInfoEntity classInfo;
    bool bReEnterClassroom = false;

private:
    void getAppConfig();
    void getClassInfo(const QString &classId);
    void appConfigEnded(EntityNetworkReplyHolder *reply);
    void sendEvent(const QString &key, const QString &value);
    void checkDeviceConfig();
    void checkDeviceChange();
    void runDeviceTest();
    void showClassTimeNotice(QWidget *parent, int status);
    void removeLoadingWidget();
    bool takeClassInfoReply();
    void classInfoFailed(const BaseEntity &entity);
    static QString text(const char *key);

    QPointer<EntityNetworkReplyHolder> m_appConfigReply;
    // The class id reported with "class/join", reported again at "class/exit".
    QString m_joinedClassId;
};

#endif // BASECOURSEMAINWIDGET_H
