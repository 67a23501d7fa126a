#ifndef TEACHERCOURSEMAINWIDGET_H
#define TEACHERCOURSEMAINWIDGET_H

#include "biz/course/teacherclassentity.h"
#include "mgr/http/baseentity.h"
#include "utility/downloadresource.h"
#include "widget/basecoursemainwidget.h"

#include <QPointer>
#include <QVector>

class DownloadClassResourceUtil;
class EntityNetworkReplyHolder;
class LoadingWidget;
class QListWidgetItem;
class QTimer;

namespace Ui {
class TeacherCourseMainWidget;
}

// The teacher's "Schedule" window: today's and tomorrow's classes under one
// date row per day, the details of the selected class with its students,
// and the buttons to start the class, open its memo and material pages and
// download its resources. The schedule is reloaded every two minutes and
// keeps the selected class.
class TeacherCourseMainWidget : public BaseCourseMainWidget
{
    Q_OBJECT

public:
    static constexpr int kReloadIntervalMs = 120000;
    // The meeting service of classes held outside the classroom.
    static constexpr const char *kMeetingHost = "zoom.us";
    // The id of the download of every listed class.
    static constexpr const char *kAllResourcesId = "velmo";

    explicit TeacherCourseMainWidget(QWidget *parent = nullptr);
    ~TeacherCourseMainWidget() override;

    // The join address of a meeting; empty when the id is empty.
    static QString meetingUrl(const QString &meetingId);

    const TeacherClassDetailsEntity &shownDetails() const { return classDetails; }
    QVector<DownloadFileInfo> classFiles() const { return classDownloadFiles; }
    QVector<DownloadFileInfo> allFiles() const { return allDownloadFiles; }
    LoadingWidget *detailsPanel() const { return detailsLoadingWidget; }
    QTimer *reloadTimerForTests() const { return reloadTimer; }

public:
    // The confirmation of a download; it does nothing. Not a slot: the form
    // has no such button, and the form's automatic connection would warn
    // about a slot of that name.
    void on_btnClassDownloadOK_clicked();

public slots:
    void loadClassList(bool flag);

private slots:
    void slot_on_cover_clicked();
    void on_closePushButton_clicked();
    void slot_goTo_memberCenter();
    void slot_onStart_getTeacherCourseList();
    void slot_onFinish_getTeacherCourseList();
    void slot_onFailure_getTeacherCourseList(BaseEntity baseEntity);
    void slot_onSuccess_getTeacherCourseList(const QVector<TeacherClassListEntity> &days);
    void slot_onFailure_getCourseDetailsList(BaseEntity baseEntity);
    void slot_onSuccess_getCourseDetailsList(const TeacherClassDetailsEntity &details);
    void slot_onFinish_getCourseDetailsList();
    void slot_onStart_getCourseDetailsList();
    void slot_onFailure_getMemoUrl(BaseEntity baseEntity);
    void slot_onSuccess_getMemoUrl(const memoUrlInfo &page);
    void slot_onFinish_getMemoUrl();
    void slot_onStart_getMemoUrl();
    void slot_currentItemChanged(QListWidgetItem *current, QListWidgetItem *previous);
    void on_pushButtonJoinClass_clicked();
    void on_pushButtonUpClass_clicked();
    void on_pushButtonMin_clicked();
    void on_btnSetting_clicked();
    void on_btnClassDownload_clicked();
    void on_btnClassDownloadAll_clicked();
    void on_pushButtonMemo_clicked();
    void slot_on_stop_download_resource();
    void timerUpdataClassList();
    void on_pushButtonHelp_clicked();
    void on_pushButtonMeterial_clicked();

private:
    void loadClassDetails(int classId);
    void getMemoUrl(QString classId, QString type);
    void upTeacherClassList(const QVector<TeacherClassListEntity> &days);
    void upClassDetails(const TeacherClassDetailsEntity &details);
    void upStudentListWidget(const TeacherClassDetailsEntity &details);
    void setJoinClassButtonStyle(int status);
    void showNoClass();
    void convertToDownloadFiles(const QVector<resourceDetailsInfoEntity> &resources, QVector<DownloadFileInfo> &out);
    void uiInitPotrait();
    void initDownloadUtils();
    void setDetailsState(int state);

    Ui::TeacherCourseMainWidget *ui;
    QPointer<EntityNetworkReplyHolder> classListReply;
    QPointer<EntityNetworkReplyHolder> classDetailsReply;
    QPointer<EntityNetworkReplyHolder> webUrlReply;
    int selectedBeginTime = 0;
    LoadingWidget *detailsLoadingWidget = nullptr;
    QTimer *reloadTimer = nullptr;
    QVector<DownloadFileInfo> classDownloadFiles;
    QVector<DownloadFileInfo> allDownloadFiles;
    DownloadClassResourceUtil *classDownloadUtil = nullptr;
    DownloadClassResourceUtil *allDownloadUtil = nullptr;
    TeacherClassDetailsEntity classDetails;
    int useTool = 0;
    QString zoomId;
};

#endif // TEACHERCOURSEMAINWIDGET_H
