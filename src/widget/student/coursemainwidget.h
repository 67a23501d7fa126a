#ifndef COURSEMAINWIDGET_H
#define COURSEMAINWIDGET_H

#include "biz/course/bookedclassentity.h"
#include "mgr/http/baseentity.h"
#include "mgr/http/httpentity.h"
#include "mgr/studentcurrentuser.h"
#include "widget/basecoursemainwidget.h"

#include <QPointer>

class EntityNetworkReplyHolder;
class LoadingWidget;
class QAction;
class QListWidgetItem;
class QTimer;

namespace Ui {
class CourseMainWidget;
}

// The student's "Schedule" window: the strip of days with booked lessons,
// the lessons of the chosen day with their "Enter classroom" buttons, the
// student's avatar and name, and the help, settings, member-centre and
// refresh buttons. The strip is reloaded every two minutes without the
// loading animation. Started to observe a class, it loads no list and goes
// straight into that class.
class CourseMainWidget : public BaseCourseMainWidget
{
    Q_OBJECT

public:
    static constexpr int kReloadIntervalMs = 120000;
    static constexpr int kSupervisionDelayMs = 100;

    explicit CourseMainWidget(QWidget *parent = nullptr);
    ~CourseMainWidget() override;

    void initUserMenu() override;

    // The lessons of the day shown.
    QVector<BookedCourseDetail> shownLessons() const { return m_courseDetails; }
    LoadingWidget *listLoadingWidget() const { return m_loadingWidget; }
    QTimer *reloadTimer() const { return m_reloadTimer; }

public slots:
    void loadClassList(bool flag);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private slots:
    void on_closePushButton_clicked();
    void slot_currentItemChanged(QListWidgetItem *current, QListWidgetItem *previous);
    void slot_onStart_getBookedClassList();
    void slot_onFinish_getBookedClassList();
    void slot_onSuccess_getBookedClassList(QString response);
    void slot_onFailure_getBookedClassList(BaseEntity baseEntity);
    void slot_onSuccess_getBookedCourseDetails(const QVector<OneDayBookedCourseDetailsWrapper> &days);
    void slot_onStart_getBookedCourseDetails();
    void slot_onFinish_getBookedCourseDetails();
    void slot_onFailure_getBookedCourseDetails();
    void slot_onSuccess_getVerificationSupervision(QString response);
    void slot_onFailure_getVerificationSupervision();
    void slot_clickedJoinClass(BookedCourseDetail courseInfo);
    void slot_showMainMaximized();
    void slot_memberCenter_triggered(bool checked);
    void on_btnPersonCenter_clicked();
    void on_btnPersonalMenu_clicked();
    void on_pushButtonMin_clicked();
    void on_pushButtonUpClass_clicked();
    void on_btnSetting_clicked();
    void class_widget_closed();
    void timerUpdataClassList();
    void on_pushButtonHelp_clicked();
    void slot_supervisionClass();

private:
    void getBookedCourseDetails(int date);
    void getVerificationSupervision();
    void updateTimetableList(const HttpEntity<QVector<BriefBookedClassEntity>> &entity);
    void updateCourseDetailsList(const QVector<BookedCourseDetail> &details);
    void downloadResource();
    void setIsResourceReady(bool ready);
    void uiInitPotrait();

    Ui::CourseMainWidget *ui;
    QPointer<EntityNetworkReplyHolder> m_bookedClassListReply;
    QPointer<EntityNetworkReplyHolder> m_bookedCourseDetailsReply;
    QPointer<EntityNetworkReplyHolder> m_supervisionReply;
    HttpEntity<QVector<BriefBookedClassEntity>> m_bookedClassList;
    QVector<BookedCourseDetail> m_courseDetails;
    StudentLoginDataEntity m_userInfo;
    QAction *m_memberCenterAction = nullptr;
    LoadingWidget *m_loadingWidget = nullptr;
    QTimer *m_reloadTimer = nullptr;
    bool m_isResourceReady = false;
};

#endif // COURSEMAINWIDGET_H
