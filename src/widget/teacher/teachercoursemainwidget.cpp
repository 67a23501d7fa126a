#include "teachercoursemainwidget.h"
#include "ui_teachercoursemainwidget.h"

#include "biz/httpapi/studentapis.h"
#include "mgr/http/apireply.h"
#include "mgr/http/entitynetworkreplyholder.h"
#include "mgr/http/httpentity.h"
#include "mgr/singleton.h"
#include "mgr/teachercurrentuser.h"
#include "mgr/teacherdownloadresourcemgr.h"
#include "utility/actionlog.h"
#include "utility/appdirs.h"
#include "utility/stringutility.h"
#include "utility/downloadutil.h"
#include "utility/durations.h"
#include "utility/timeutility.h"
#include "utility/translatelanguage.h"
#include "utility/webpage.h"
#include "widget/downloadclassresourceutil.h"
#include "utility/widget/loadingwidget.h"
#include "widget/coursedialogs.h"
#include "widget/teacher/classlistitem.h"
#include "widget/teacher/classtimeitem.h"
#include "widget/teacher/studentsinfoitem.h"

#include <QDateTime>
#include <QDebug>
#include <QHBoxLayout>
#include <QListWidget>
#include <QTimer>
#include <QUrl>

namespace {

const char kJoinActive[] = "QPushButton{border-radius: 6px;background-color: #f06450;color: #ffffff;font-size: 18px;}"
                           "QPushButton:hover{background-color: #ff8278;}";
const char kJoinInactive[] = "QPushButton{border-radius: 6px;background-color: #dcd2d2;color: #ffffff;font-size: 18px;}";

// Every answer of the window's requests (schedule, details, memo and
// material links) goes to the log under one text, before it is read.
EntityNetworkReplyHolder *withAnswerLogged(EntityNetworkReplyHolder *reply)
{
    if (reply) {
        QObject::connect(reply, &EntityNetworkReplyHolder::signal_onSuccess, reply, [](const QString &response) {
            qInfo("slot_onSuccess_getTeacherCourseList, response:%s", qUtf8Printable(StringUtility::cutForLog(response)));
        });
    }
    return reply;
}

} // namespace

TeacherCourseMainWidget::TeacherCourseMainWidget(QWidget *parent)
    : BaseCourseMainWidget(parent)
    , ui(new Ui::TeacherCourseMainWidget)
{
    ui->setupUi(this);
    setWindowFlags(Qt::FramelessWindowHint);
    connect(ui->teacherClassList, &QListWidget::currentItemChanged, this,
            &TeacherCourseMainWidget::slot_currentItemChanged);

    qInfo("classLoadingWidget....");
    detailsLoadingWidget = new LoadingWidget(ui->verticalLayoutCourse, this);
    connect(detailsLoadingWidget, &LoadingWidget::signal_reload, this,
            &TeacherCourseMainWidget::on_pushButtonUpClass_clicked);

    uiInitPotrait();
    loadClassList(true);
    initDownloadUtils();

    reloadTimer = new QTimer(this);
    connect(reloadTimer, &QTimer::timeout, this, &TeacherCourseMainWidget::timerUpdataClassList);
    // One long single shot, started again after each reload: nothing
    // ticks in between.
    reloadTimer->setSingleShot(true);
    reloadTimer->setInterval(Durations::ms(kReloadIntervalMs));
    reloadTimer->start();

    connect(ui->memberCenter, &QPushButton::clicked, this, &TeacherCourseMainWidget::slot_goTo_memberCenter);
    connect(ui->pushButtonMore, &QPushButton::clicked, this, &TeacherCourseMainWidget::slot_goTo_memberCenter);
    connect(ui->labelClassCover, &ClickableLabel::clicked, this, &TeacherCourseMainWidget::slot_on_cover_clicked);
}

TeacherCourseMainWidget::~TeacherCourseMainWidget()
{
    delete ui;
}

void TeacherCourseMainWidget::uiInitPotrait()
{
    const QString avatarUrl = Singleton<TeacherCurrentUser>::instance()->getUserInfo().avatar;
    qInfo("downloadImage avatarUrl:%s", qUtf8Printable(avatarUrl));
    DownloadUtil::downloadImage(this, avatarUrl, ui->labelUserHead, QStringLiteral("QLabel#labelUserHead"), true,
                                QString(), QString());
}

void TeacherCourseMainWidget::initDownloadUtils()
{
    classDownloadUtil = new DownloadClassResourceUtil(this);
    classDownloadUtil->init(ui->btnClassDownload, nullptr, false);
    ui->labelDowmLoadState->hide();
    allDownloadUtil = new DownloadClassResourceUtil(this);
    allDownloadUtil->init(ui->btnClassDownloadAll, ui->labelDowmLoadState, true);
}

void TeacherCourseMainWidget::setDetailsState(int state)
{
    if (showLoading)
        detailsLoadingWidget->setLoadingState(state);
}

void TeacherCourseMainWidget::loadClassList(bool flag)
{
    const uint date = TimeUtility::getZeroTimestamp();
    qDebug() << "loadData dateTime:" << date;
    abortReply(classListReply);
    EntityNetworkReplyHolder *reply = withAnswerLogged(StudentApis::getScheduleByDay(this, date));
    classListReply = bindApiReply<QVector<TeacherClassListEntity>>(reply, this)
                         .onStart(&TeacherCourseMainWidget::slot_onStart_getTeacherCourseList)
                         .onSuccess(&TeacherCourseMainWidget::slot_onSuccess_getTeacherCourseList)
                         .onFailure(&TeacherCourseMainWidget::slot_onFailure_getTeacherCourseList)
                         .onFinish(&TeacherCourseMainWidget::slot_onFinish_getTeacherCourseList);
    showLoading = flag;
    setDetailsState(LoadingWidget::StateLoading);
}

void TeacherCourseMainWidget::slot_onStart_getTeacherCourseList()
{
}

void TeacherCourseMainWidget::slot_onFinish_getTeacherCourseList()
{
}

void TeacherCourseMainWidget::slot_onFailure_getTeacherCourseList(BaseEntity baseEntity)
{
    if (baseEntity.errorCode == 404) {
        showNoClass();
        return;
    }
    qCritical("slot_onFailure_getTeacherCourseList failed, errorCode:%d, errorMsg:%s", baseEntity.errorCode,
              qUtf8Printable(baseEntity.errorMsg));
    setDetailsState(LoadingWidget::StateNetworkFailure);
    if (baseEntity.errorCode == 401) {
        CourseDialogs::ask(CourseDialogs::Critical, this, QStringLiteral("velmo"),
                           QStringLiteral("server error, please logout and re-login!"), QMessageBox::Ok,
                           QMessageBox::Ok);
    }
}

void TeacherCourseMainWidget::slot_onSuccess_getTeacherCourseList(const QVector<TeacherClassListEntity> &days)
{
    upTeacherClassList(days);
}

void TeacherCourseMainWidget::upTeacherClassList(const QVector<TeacherClassListEntity> &days)
{
    allDownloadFiles.clear();
    clearListWidget(ui->teacherClassList);
    ui->teacherClassList->clear();

    QListWidgetItem *firstClass = nullptr;
    QListWidgetItem *firstActive = nullptr;
    QListWidgetItem *sameBegin = nullptr;
    for (const TeacherClassListEntity &day : days) {
        auto *dateItem = new QListWidgetItem(ui->teacherClassList);
        dateItem->setFlags(Qt::NoItemFlags);
        dateItem->setSizeHint(QSize(0, 48));
        auto *dateRow = new ClassTimeItem(ui->teacherClassList);
        dateRow->setClassTime(day.timestamp);
        dateRow->setEnabled(false);
        ui->teacherClassList->setItemWidget(dateItem, dateRow);

        if (day.data.isEmpty()) {
            auto *blankItem = new QListWidgetItem(ui->teacherClassList);
            blankItem->setFlags(Qt::NoItemFlags);
            blankItem->setSizeHint(QSize(0, 41));
            auto *blank = new ClassListItem(ui->teacherClassList);
            blank->hideTimeAndState();
            ui->teacherClassList->setItemWidget(blankItem, blank);
            continue;
        }
        for (const TeacherClassEntity &lesson : day.data) {
            auto *item = new QListWidgetItem(ui->teacherClassList);
            item->setSizeHint(QSize(0, 50));
            auto *row = new ClassListItem(ui->teacherClassList);
            row->setClassInfo(lesson);
            ui->teacherClassList->setItemWidget(item, row);
            if (!firstClass)
                firstClass = item;
            const int status = lesson.status.toInt();
            if (!firstActive && (status == 1 || status == 2))
                firstActive = item;
            if (!sameBegin && lesson.begin_time.toInt() == selectedBeginTime)
                sameBegin = item;
            if (lesson.use_tool == 2) {
                QVector<DownloadFileInfo> files;
                convertToDownloadFiles(lesson.resource, files);
                allDownloadFiles += files;
            }
        }
    }

    QListWidgetItem *selected = sameBegin ? sameBegin : (firstActive ? firstActive : firstClass);
    if (!selected) {
        qWarning("no class at all");
        showNoClass();
    } else {
        ui->teacherClassList->setCurrentItem(selected);
    }
    if (allDownloadUtil)
        allDownloadUtil->refreshDownloadStatus(QLatin1String(kAllResourcesId), allDownloadFiles);
}

void TeacherCourseMainWidget::slot_currentItemChanged(QListWidgetItem *current, QListWidgetItem *previous)
{
    if (isClearingList)
        return;
    auto *currentRow = current ? dynamic_cast<ClassListItem *>(ui->teacherClassList->itemWidget(current)) : nullptr;
    auto *previousRow = previous ? dynamic_cast<ClassListItem *>(ui->teacherClassList->itemWidget(previous)) : nullptr;
    if (currentRow)
        currentRow->setSelected(true);
    if (previousRow)
        previousRow->setSelected(false);
    else
        qInfo("previousWidget is NULL");
    if (!currentRow) {
        qInfo("selectWisget is NULL");
        return;
    }
    selectedBeginTime = currentRow->getBeginTime();
    currentRow->setStyleSheet(QStringLiteral("color:rgb(255,255,255);"));
    const QString id = currentRow->getClassId();
    qInfo() << "currentClassId:" << id;
    if (!id.isEmpty()) {
        loadClassDetails(id.toInt());
    } else {
        showNoClass();
        qDebug("currentClassId is Empty");
    }
}

void TeacherCourseMainWidget::loadClassDetails(int id)
{
    qDebug() << "loadClassDetails classId:" << id;
    abortReply(classDetailsReply);
    EntityNetworkReplyHolder *reply = withAnswerLogged(StudentApis::getClassInfo(this, id));
    classDetailsReply = bindApiReply<TeacherClassDetailsEntity>(reply, this)
                            .onStart(&TeacherCourseMainWidget::slot_onStart_getCourseDetailsList)
                            .onSuccess(&TeacherCourseMainWidget::slot_onSuccess_getCourseDetailsList)
                            .onFailure(&TeacherCourseMainWidget::slot_onFailure_getCourseDetailsList)
                            .onFinish(&TeacherCourseMainWidget::slot_onFinish_getCourseDetailsList);
    setDetailsState(LoadingWidget::StateLoading);
}

void TeacherCourseMainWidget::slot_onFailure_getCourseDetailsList(BaseEntity)
{
    setDetailsState(LoadingWidget::StateNetworkFailure);
}

void TeacherCourseMainWidget::slot_onSuccess_getCourseDetailsList(const TeacherClassDetailsEntity &details)
{
    setDetailsState(LoadingWidget::StateHidden);
    classId = details.id;
    upClassDetails(details);
    upStudentListWidget(details);
    qDebug() << "slot_onSuccess_getCourseDetailsList begin_time:" << details.begin_time;
}

void TeacherCourseMainWidget::slot_onFinish_getCourseDetailsList()
{
}

void TeacherCourseMainWidget::slot_onStart_getCourseDetailsList()
{
}

void TeacherCourseMainWidget::upClassDetails(const TeacherClassDetailsEntity &details)
{
    classDetails = details;
    const uint begin = static_cast<uint>(details.begin_time);
    const QDateTime t = QDateTime::fromSecsSinceEpoch(details.begin_time);
    ui->labelClassTime->setText(t.toString(QStringLiteral("hh:mm")));
    ui->labelDate->setText(QStringLiteral("(") + t.toString(QStringLiteral("yyyy-MM-dd")) + QStringLiteral(")"));
    ui->labelCST->setText(t.toString(QStringLiteral("yyyy-MM-dd hh:mm")) + QStringLiteral("(Beijing Time ")
                          + TimeUtility::getBeiJingTime(QStringLiteral("yyyy-MM-dd hh:mm"), begin) + QStringLiteral(")"));
    ui->classMaterial->setFullText(details.material.ename);
    ui->classId->setText(details.id);

    useTool = details.use_tool;
    if (useTool == 1) {
        ui->toolName->setText(QStringLiteral("Zoom"));
        zoomId = details.zoom_id;
        ui->btnClassDownload->hide();
    } else {
        ui->toolName->setText(QStringLiteral("Velmo Subject English"));
        ui->btnClassDownload->show();
        convertToDownloadFiles(details.resource, classDownloadFiles);
        if (classDownloadUtil)
            classDownloadUtil->refreshDownloadStatus(classId, classDownloadFiles);
    }
    setJoinClassButtonStyle(details.status);
    DownloadUtil::downloadImage(this, details.material.pic, ui->labelClassCover, QStringLiteral("QLabel"), true,
                                QString(), QString());
}

void TeacherCourseMainWidget::upStudentListWidget(const TeacherClassDetailsEntity &details)
{
    while (QLayoutItem *item = ui->studentFormLayout->takeAt(0)) {
        delete item->widget();
        delete item;
    }
    QWidget *row = nullptr;
    QHBoxLayout *rowLayout = nullptr;
    const int count = details.student.size();
    for (int i = 0; i < count; ++i) {
        if (!row) {
            row = new QWidget;
            rowLayout = new QHBoxLayout;
            rowLayout->setContentsMargins(0, 0, 0, 0);
            rowLayout->setSpacing(30);
        }
        auto *card = new StudentsInfoItem(row);
        card->setStudentInfo(details.student.at(i));
        rowLayout->addWidget(card);
        if (i % 2 == 1 || i == count - 1) {
            rowLayout->addItem(new QSpacerItem(20, 20, QSizePolicy::Expanding, QSizePolicy::Minimum));
            row->setLayout(rowLayout);
            ui->studentFormLayout->addWidget(row);
            row = nullptr;
            rowLayout = nullptr;
            qInfo() << "upStudentListWidget...i:" << i;
        }
    }
}

void TeacherCourseMainWidget::setJoinClassButtonStyle(int status)
{
    ui->pushButtonJoinClass->setStyleSheet(QLatin1String(status < 3 ? kJoinActive : kJoinInactive));
}

void TeacherCourseMainWidget::showNoClass()
{
    setDetailsState(LoadingWidget::StateNoData);
    detailsLoadingWidget->setStateText(Translatelanguage::instance()->getText(QStringLiteral("noclass")),
                                       LoadingWidget::StateNoData);
}

void TeacherCourseMainWidget::convertToDownloadFiles(const QVector<resourceDetailsInfoEntity> &resources,
                                                     QVector<DownloadFileInfo> &out)
{
    qInfo("resourcedownload:convertToDownloadFiles");
    out.clear();
    for (const resourceDetailsInfoEntity &resource : resources) {
        const QString folder = getDownloadResourceDir(QString::number(resource.mid));
        out.append(DownloadFileInfo{ resource.path, folder });
        if (!resource.voice.isEmpty())
            out.append(DownloadFileInfo{ resource.voice, folder });
    }
}

QString TeacherCourseMainWidget::meetingUrl(const QString &meetingId)
{
    if (meetingId.isEmpty())
        return QString();
    // The id is one path segment: "?", "#" and "/" in it stay part of it.
    QUrl url;
    url.setScheme(QStringLiteral("https"));
    url.setHost(QLatin1String(kMeetingHost));
    url.setPath(QStringLiteral("/j/") + QString::fromLatin1(QUrl::toPercentEncoding(meetingId)), QUrl::TolerantMode);
    return url.toString(QUrl::FullyEncoded);
}

void TeacherCourseMainWidget::on_pushButtonJoinClass_clicked()
{
    if (useTool == 1) {
        const QString url = meetingUrl(zoomId);
        if (url.isEmpty())
            qWarning("no meeting id for class %s", qUtf8Printable(classId));
        else
            openServerUrl(url, "meeting");
        return;
    }
    if (classDetails.status >= 3)
        return;
    if (classId.isEmpty()) {
        qWarning("Start Class without a class id: the class details were not read");
        return;
    }
    joinClass(classId);
    DownloadResourceMgr::instance()->abort();
}

void TeacherCourseMainWidget::slot_on_cover_clicked()
{
    openServerUrl(classDetails.material.pdf_tch, "cover PDF");
}

void TeacherCourseMainWidget::on_pushButtonMemo_clicked()
{
    getMemoUrl(classId, QStringLiteral("2"));
}

void TeacherCourseMainWidget::on_pushButtonMeterial_clicked()
{
    getMemoUrl(classId, QStringLiteral("3"));
}

void TeacherCourseMainWidget::getMemoUrl(QString id, QString type)
{
    abortReply(webUrlReply);
    webUrlReply = bindApiReply<memoUrlInfo>(withAnswerLogged(StudentApis::classWebUrl(this, id, type)), this)
                      .onStart(&TeacherCourseMainWidget::slot_onStart_getMemoUrl)
                      .onSuccess(&TeacherCourseMainWidget::slot_onSuccess_getMemoUrl)
                      .onFailure(&TeacherCourseMainWidget::slot_onFailure_getMemoUrl)
                      .onFinish(&TeacherCourseMainWidget::slot_onFinish_getMemoUrl);
}

void TeacherCourseMainWidget::slot_onFailure_getMemoUrl(BaseEntity)
{
}

void TeacherCourseMainWidget::slot_onSuccess_getMemoUrl(const memoUrlInfo &page)
{
    openServerUrl(page.url, "class page");
}

void TeacherCourseMainWidget::slot_onFinish_getMemoUrl()
{
}

void TeacherCourseMainWidget::slot_onStart_getMemoUrl()
{
}

void TeacherCourseMainWidget::on_btnClassDownload_clicked()
{
    qInfo("resourcedownload:on_btnClassDownload_clicked");
    ActionLog::instance()->ClickInfo(QStringLiteral("click_download_class_res"), QStringLiteral("{classid:%1}").arg(classId));
    if (!classDownloadUtil)
        return;
    if (classDownloadUtil->isDownloading())
        slot_on_stop_download_resource();
    else
        classDownloadUtil->start();
}

void TeacherCourseMainWidget::on_btnClassDownloadOK_clicked()
{
}

void TeacherCourseMainWidget::on_btnClassDownloadAll_clicked()
{
    qInfo("resourcedownload:on_btnClassDownloadAll_clicked");
    ActionLog::instance()->ClickInfo(QStringLiteral("click_all_downlaod_res"), QStringLiteral("{}"));
    if (!classDownloadUtil || !allDownloadUtil)
        return;
    if (allDownloadUtil->isDownloading()) {
        slot_on_stop_download_resource();
        return;
    }
    CourseDialogs::notice(
        CourseDialogs::About, this, QStringLiteral("velmo"),
        QStringLiteral("Clicking the \"Ok\" button to download all the resources of classes for both today and "
                       "tomorrow by One-Click,  including materials, audios, and videos.\n"
                       "When you're entering into the classroom, downloading will stop automatically as not to "
                       "influence the network.\n"
                       "To pause the downloading, click the downloading percent text"));
    allDownloadUtil->start();
    ui->btnClassDownload->setText(tr("Download"));
}

void TeacherCourseMainWidget::slot_on_stop_download_resource()
{
    qInfo("slot_on_download_all_percent_clicked");
    DownloadResourceMgr::instance()->abort();
    ui->btnClassDownload->setText(tr("Download"));
    ui->labelDowmLoadState->hide();
}

void TeacherCourseMainWidget::on_closePushButton_clicked()
{
    const int answer = CourseDialogs::choose(this, QStringLiteral("velmo"),
                                             QStringLiteral("Are you sure you want to close the platform?"),
                                             { QStringLiteral("Exit"), QStringLiteral("Log out"), QStringLiteral("Cancel") });
    qInfo() << "on_closePushButton_clicked...ret:" << answer;
    if (answer == 0)
        closeCourseMainWidget();
    else if (answer == 1)
        applicationLogout();
}

void TeacherCourseMainWidget::slot_goTo_memberCenter()
{
    getMemberCenterUrl();
}

void TeacherCourseMainWidget::on_pushButtonUpClass_clicked()
{
    loadClassList(true);
    if (reloadTimer->isActive())
        reloadTimer->stop();
    reloadTimer->start();
    qInfo("on_pushButtonUpClass_clicked...");
}

void TeacherCourseMainWidget::on_pushButtonMin_clicked()
{
    showMinimized();
}

void TeacherCourseMainWidget::on_btnSetting_clicked()
{
    showSettingWindow();
}

void TeacherCourseMainWidget::timerUpdataClassList()
{
    loadClassList(false);
    reloadTimer->start();
}

void TeacherCourseMainWidget::on_pushButtonHelp_clicked()
{
    WebPage::openHelpPage(WebPage::helpPageUrl());
}
