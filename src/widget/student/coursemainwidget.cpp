#include "coursemainwidget.h"
#include "ui_coursemainwidget.h"

#include "biz/httpapi/studentapis.h"
#include "mgr/http/apireply.h"
#include "mgr/http/entitynetworkreplyholder.h"
#include "mgr/signalqueuemgr.h"
#include "mgr/singleton.h"
#include "mgr/teacherdownloadresourcemgr.h"
#include "utility/actionlog.h"
#include "utility/appdirs.h"
#include "utility/downloadutil.h"
#include "utility/durations.h"
#include "utility/webpage.h"
#include "utility/widget/loadingwidget.h"
#include "widget/coursedialogs.h"
#include "widget/student/coursedetailsitem.h"
#include "widget/student/timetableitem.h"
#include "widget/supervisionclass.h"

#include <QAction>
#include <QDebug>
#include <QEvent>
#include <QMenu>
#include <QTimer>

namespace {

const char kMaxSprite[] = "QPushButton\n{\nborder-image:url(:/image/class/%1) 0 0 0 0 repeat;\n}\n"
                          "QPushButton:hover\n{\nborder-image:url(:/image/class/%1) 0 0 0 20 repeat;\n}\n"
                          "QPushButton:pressed\n{\nborder-image:url(:/image/class/%1) 0 0 0 40 repeat;\n}";

} // namespace

CourseMainWidget::CourseMainWidget(QWidget *parent)
    : BaseCourseMainWidget(parent)
    , ui(new Ui::CourseMainWidget)
{
    ui->setupUi(this);
    setWindowFlags(Qt::FramelessWindowHint);
    ui->widgetTitleBar->installEventFilter(this);

    m_userInfo = Singleton<StudentCurrentUser>::instance()->getUserInfo();
    ui->labelUserName->setFullText(m_userInfo.nickname);

    initUserMenu();
    uiInitPotrait();

    connect(ui->listWidgetTimetable, &QListWidget::currentItemChanged, this,
            &CourseMainWidget::slot_currentItemChanged);
    connect(ui->pushButtonMax, &QPushButton::clicked, this, &CourseMainWidget::slot_showMainMaximized);

    m_loadingWidget = new LoadingWidget(ui->verticalLayoutCourseDetails, this);
    connect(m_loadingWidget, &LoadingWidget::signal_reload, this, &CourseMainWidget::on_pushButtonUpClass_clicked);

    m_reloadTimer = new QTimer(this);
    connect(m_reloadTimer, &QTimer::timeout, this, &CourseMainWidget::timerUpdataClassList);
    // One long single shot, started again after each reload: nothing
    // ticks in between.
    m_reloadTimer->setSingleShot(true);
    m_reloadTimer->setInterval(Durations::ms(kReloadIntervalMs));

    if (SupervisionClass::getSupervisionClassFlag()) {
        QTimer::singleShot(Durations::ms(kSupervisionDelayMs), this, &CourseMainWidget::slot_supervisionClass);
    } else {
        loadClassList(true);
        m_reloadTimer->start();
    }
    connect(SignalQueueMgr::instance(), &SignalQueueMgr::signal_class_widget_closed, this,
            &CourseMainWidget::class_widget_closed);
}

CourseMainWidget::~CourseMainWidget()
{
    delete ui;
}

void CourseMainWidget::initUserMenu()
{
    BaseCourseMainWidget::initUserMenu();
    m_memberCenterAction = new QAction(tr("Personal center"), userMenu);
    connect(m_memberCenterAction, &QAction::triggered, this, &CourseMainWidget::slot_memberCenter_triggered);
    userMenu->insertAction(logoutAction, m_memberCenterAction);
}

void CourseMainWidget::uiInitPotrait()
{
    const QString avatarUrl = Singleton<StudentCurrentUser>::instance()->getAvatarUrl();
    qInfo("downloadImage avatarUrl:%s", qUtf8Printable(avatarUrl));
    DownloadUtil::downloadImage(this, avatarUrl, ui->labelUserHead, QStringLiteral("QLabel#labelUserHead"), true,
                                QString(), QString());
}

void CourseMainWidget::loadClassList(bool flag)
{
    abortReply(m_bookedClassListReply);
    m_bookedClassListReply = bindApiReply<void>(StudentApis::getBookedClassList(this), this)
                                 .onStart(&CourseMainWidget::slot_onStart_getBookedClassList)
                                 .onSuccess(&CourseMainWidget::slot_onSuccess_getBookedClassList)
                                 .onFailure(&CourseMainWidget::slot_onFailure_getBookedClassList)
                                 .onFinish(&CourseMainWidget::slot_onFinish_getBookedClassList);
    showLoading = flag;
    if (flag)
        m_loadingWidget->setLoadingState(LoadingWidget::StateLoading);
}

void CourseMainWidget::slot_onStart_getBookedClassList()
{
    qInfo("slot_onStart_getBookedClassList");
}

void CourseMainWidget::slot_onFinish_getBookedClassList()
{
}

void CourseMainWidget::slot_onSuccess_getBookedClassList(QString response)
{
    qInfo("slot_onSuccess_getBookedClassList, response:%s", qUtf8Printable(response));
    ActionLog::instance()->NormalInfo(QStringLiteral("getBookedClassList_success"), response);
    // The day shown stays chosen when it is still listed.
    int shownDay = 0;
    if (QListWidgetItem *current = ui->listWidgetTimetable->currentItem()) {
        if (auto *day = qobject_cast<TimetableItem *>(ui->listWidgetTimetable->itemWidget(current)))
            shownDay = day->getClassInfo().date_time;
    }
    fromJson(response, m_bookedClassList);
    updateTimetableList(m_bookedClassList);
    int row = 0;
    for (int i = 0; i < ui->listWidgetTimetable->count(); ++i) {
        auto *day = qobject_cast<TimetableItem *>(ui->listWidgetTimetable->itemWidget(ui->listWidgetTimetable->item(i)));
        if (shownDay != 0 && day && day->getClassInfo().date_time == shownDay)
            row = i;
    }
    ui->listWidgetTimetable->setCurrentRow(row);
    if (ui->listWidgetTimetable->count() == 0) {
        // No day is left to choose: no day's lessons stay either.
        m_courseDetails.clear();
        updateCourseDetailsList(m_courseDetails);
        m_loadingWidget->setLoadingState(LoadingWidget::StateNoData);
        return;
    }
    m_loadingWidget->setLoadingState(LoadingWidget::StateHidden);
}

void CourseMainWidget::slot_onFailure_getBookedClassList(BaseEntity baseEntity)
{
    ActionLog::instance()->ErrorInfo(QStringLiteral("getBookedClassList_failure"),
                                     QStringLiteral("{code%1:}").arg(baseEntity.errorCode));
    if (baseEntity.errorCode == 404) {
        m_loadingWidget->setLoadingState(LoadingWidget::StateNoData);
        return;
    }
    qCritical("slot_onFailure_getBookedClassList failed, errorCode:%d, errorMsg:%s", baseEntity.errorCode,
              qUtf8Printable(baseEntity.errorMsg));
    // The failure page with its retry button, not an animation that runs
    // until the next reload.
    if (showLoading)
        m_loadingWidget->setLoadingState(LoadingWidget::StateNetworkFailure);
    if (baseEntity.errorCode == 401) {
        CourseDialogs::notice(CourseDialogs::Critical, this, QStringLiteral("Velmo"),
                              tr("Server error, please leave the platform and sign in again!"));
    }
}

void CourseMainWidget::updateTimetableList(const HttpEntity<QVector<BriefBookedClassEntity>> &entity)
{
    clearListWidget(ui->listWidgetTimetable);
    ui->listWidgetTimetable->clear();
    for (const BriefBookedClassEntity &day : entity.data) {
        if (day.class_num <= 0)
            continue;
        auto *item = new QListWidgetItem(ui->listWidgetTimetable);
        auto *row = new TimetableItem(ui->listWidgetTimetable);
        row->setClassInfo(day);
        item->setSizeHint(QSize(0, 90));
        ui->listWidgetTimetable->setItemWidget(item, row);
    }
}

void CourseMainWidget::slot_currentItemChanged(QListWidgetItem *current, QListWidgetItem *previous)
{
    if (isClearingList)
        return;
    QWidget *currentWidget = current ? ui->listWidgetTimetable->itemWidget(current) : nullptr;
    QWidget *previousWidget = previous ? ui->listWidgetTimetable->itemWidget(previous) : nullptr;
    if (auto *day = qobject_cast<TimetableItem *>(currentWidget)) {
        qDebug() << "classTime:" << day->getClassInfo().date_time;
        getBookedCourseDetails(day->getClassInfo().date_time);
        day->setStyleSheet(QStringLiteral("color:rgb(255,255,255);"));
    } else {
        qDebug("selectWisget is NULL");
    }
    if (previousWidget)
        previousWidget->setStyleSheet(QStringLiteral("color: #444444;"));
    else
        qDebug("previousWidget is NULL");
}

void CourseMainWidget::getBookedCourseDetails(int date)
{
    abortReply(m_bookedCourseDetailsReply);
    m_bookedCourseDetailsReply = bindApiReply<QVector<OneDayBookedCourseDetailsWrapper>>(StudentApis::getBookedClass(this, date), this)
                                     .onStart(&CourseMainWidget::slot_onStart_getBookedCourseDetails)
                                     .onSuccess(&CourseMainWidget::slot_onSuccess_getBookedCourseDetails)
                                     .onFailure([this](const BaseEntity &) { slot_onFailure_getBookedCourseDetails(); })
                                     .onFinish(&CourseMainWidget::slot_onFinish_getBookedCourseDetails);
    if (showLoading)
        m_loadingWidget->setLoadingState(LoadingWidget::StateLoading);
}

void CourseMainWidget::slot_onSuccess_getBookedCourseDetails(const QVector<OneDayBookedCourseDetailsWrapper> &days)
{
    // The lessons shown are always the chosen day's, also when it has none:
    // a class close later downloads the files of the lessons shown.
    m_courseDetails = days.isEmpty() ? QVector<BookedCourseDetail>() : days.first().data;
    updateCourseDetailsList(m_courseDetails);
    if (m_courseDetails.isEmpty()) {
        // A day without lessons says so instead of a lasting animation.
        m_loadingWidget->setLoadingState(LoadingWidget::StateNoData);
        return;
    }
    m_loadingWidget->setLoadingState(LoadingWidget::StateHidden);
    setIsResourceReady(true);
}

void CourseMainWidget::slot_onStart_getBookedCourseDetails()
{
}

void CourseMainWidget::slot_onFinish_getBookedCourseDetails()
{
}

void CourseMainWidget::slot_onFailure_getBookedCourseDetails()
{
    if (showLoading)
        m_loadingWidget->setLoadingState(LoadingWidget::StateNetworkFailure);
}

void CourseMainWidget::updateCourseDetailsList(const QVector<BookedCourseDetail> &details)
{
    clearListWidget(ui->listWidgetCourseDetails);
    ui->listWidgetCourseDetails->clear();
    for (const BookedCourseDetail &lesson : details) {
        auto *item = new QListWidgetItem(ui->listWidgetCourseDetails);
        auto *row = new CourseDetailsItem(ui->listWidgetCourseDetails);
        row->bindData(lesson);
        connect(row, &CourseDetailsItem::signal_clickedJoinClass, this, &CourseMainWidget::slot_clickedJoinClass);
        item->setSizeHint(QSize(0, 212));
        ui->listWidgetCourseDetails->setItemWidget(item, row);
    }
}

void CourseMainWidget::setIsResourceReady(bool ready)
{
    if (m_isResourceReady)
        return;
    qInfo("setIsResourceReady value:%d", ready ? 1 : 0);
    m_isResourceReady = ready;
    if (ready)
        downloadResource();
}

void CourseMainWidget::downloadResource()
{
    qInfo("downloadResource");
    const QString folder = getDownloadResourceDir();
    QVector<DownloadFileInfo> files;
    for (const BookedCourseDetail &lesson : qAsConst(m_courseDetails)) {
        for (const VideoMaterial &video : lesson.materials.videos) {
            files.append(DownloadFileInfo{ video.getVideoUrl(), folder });
            files.append(DownloadFileInfo{ video.voice, folder });
        }
    }
    DownloadResourceMgr::instance()->download(QStringLiteral("today's_resource"), files);
}

void CourseMainWidget::class_widget_closed()
{
    qInfo("class_widget_closed");
    downloadResource();
}

void CourseMainWidget::slot_clickedJoinClass(BookedCourseDetail courseInfo)
{
    joinClass(courseInfo.id);
    qDebug() << "slot_clickedJoinClass classId:" << courseInfo.id;
}

void CourseMainWidget::getVerificationSupervision()
{
    abortReply(m_supervisionReply);
    m_supervisionReply = bindApiReply<void>(StudentApis::hasPermissionSupervise(SupervisionClass::getSupervisionToken(),
                                                                            SupervisionClass::getSupervisionClassId(), this),
                                            this)
                             .onSuccess(&CourseMainWidget::slot_onSuccess_getVerificationSupervision)
                             .onFailure([this](const BaseEntity &) { slot_onFailure_getVerificationSupervision(); });
}

void CourseMainWidget::slot_supervisionClass()
{
    getVerificationSupervision();
    showMinimized();
    qInfo() << "slot_supervisionClass _classId:" << SupervisionClass::getSupervisionClassId();
}

void CourseMainWidget::slot_onSuccess_getVerificationSupervision(QString)
{
    joinClass(SupervisionClass::getSupervisionClassId());
}

void CourseMainWidget::slot_onFailure_getVerificationSupervision()
{
    CourseDialogs::notice(CourseDialogs::Critical, this, tr("Supervision"),
                          tr("Supervision permission check failed, please enter again from the back office!"));
    closeCourseMainWidget();
}

void CourseMainWidget::on_closePushButton_clicked()
{
    closeCourseMainWidget();
}

void CourseMainWidget::slot_memberCenter_triggered(bool)
{
    getMemberCenterUrl();
}

void CourseMainWidget::on_btnPersonCenter_clicked()
{
    getMemberCenterUrl();
}

void CourseMainWidget::slot_showMainMaximized()
{
    if (isMaximized()) {
        showNormal();
        ui->pushButtonMax->setStyleSheet(QString::fromLatin1(kMaxSprite).arg(QStringLiteral("btn_max.png")));
    } else {
        showMaximized();
        ui->pushButtonMax->setStyleSheet(QString::fromLatin1(kMaxSprite).arg(QStringLiteral("btn_remax.png")));
    }
}

void CourseMainWidget::on_btnPersonalMenu_clicked()
{
    QWidget *parent = ui->btnPersonalMenu->parentWidget();
    if (!parent || !userMenu)
        return;
    const QRect geometry = ui->btnPersonalMenu->geometry();
    userMenu->popup(parent->mapToGlobal(QPoint(geometry.left() - 90, geometry.bottom() + 5)));
}

void CourseMainWidget::on_pushButtonMin_clicked()
{
    showMinimized();
}

void CourseMainWidget::on_pushButtonUpClass_clicked()
{
    loadClassList(true);
    if (m_reloadTimer->isActive())
        m_reloadTimer->stop();
    m_reloadTimer->start();
}

void CourseMainWidget::on_btnSetting_clicked()
{
    showSettingWindow();
}

void CourseMainWidget::timerUpdataClassList()
{
    loadClassList(false);
    m_reloadTimer->start();
}

void CourseMainWidget::on_pushButtonHelp_clicked()
{
    WebPage::openHelpPage(WebPage::helpPageUrl());
}

bool CourseMainWidget::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == ui->widgetTitleBar && event->type() == QEvent::MouseButtonDblClick) {
        slot_showMainMaximized();
        return true;
    }
    return BaseCourseMainWidget::eventFilter(watched, event);
}
