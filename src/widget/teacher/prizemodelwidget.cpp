#include "prizemodelwidget.h"
#include "ui_prizemodelwidget.h"

#include "biz/httpapi/baseapis.h"
#include "mgr/http/httpentity.h"
#include "mgr/http/httpmgr.h"
#include "mgr/http/networkreplyholder.h"
#include "mgr/message/sendandreceivemsg.h"
#include "mgr/singleton.h"
#include "utility/downloadutil.h"
#include "utility/jsonutil.h"
#include "utility/userinfo.h"
#include "widget/classwidgetsetting.h"
#include "widget/modelwidgetvideo.h"
#include "widget/teacher/studentinfowidget.h"
#include "widget/widgetclassroom.h"
#include "widget/widgetvideoitem.h"
#include "widget/widgetvideoitemlist.h"

#include <QDebug>
#include <QFileInfo>
#include <QListWidget>

namespace {

const QColor kSelectedRow(229, 233, 232);
const QColor kUnselectedRow(255, 255, 255);
const int kNoTimeout = -1;

// The answer of the award record: when the server stored it.
struct ReveiveAwardInfo
{
    QString time;
};

void readJson(const QJsonValue &value, ReveiveAwardInfo &out)
{
    readJsonString(value.toObject().value(QLatin1String("time")), out.time);
}

// A picture of the tile's user already on disk, if any.
QString localPicture(const QString &pic)
{
    // A local path from the roster is shown only when it is one of our own
    // downloads, as for every picture address from elsewhere.
    if (!DownloadUtil::isWebAddress(pic))
        return DownloadUtil::isDownloadedFile(pic) ? pic : QString();
    const QString path = DownloadUtil::getImageFilePath(pic);
    return QFileInfo(path).isFile() ? path : QString();
}

} // namespace

PrizeModelWidget::PrizeModelWidget(WidgetClassRoom *parent)
    : PrizeModel(parent)
    , ui(new Ui::PrizeModelWidget)
{
    ui->setupUi(this);
    setPrizeArea(ui->widget_4, QPointF(0.5, 0.5));
    connect(ui->listWidget, &QListWidget::itemClicked, this, &PrizeModelWidget::slot_itemClicked);
    m_setting = new ClassWidgetSetting(this);
    ui->horizontalLayout_setting->addWidget(m_setting);
}

PrizeModelWidget::~PrizeModelWidget()
{
    delete ui;
}

int PrizeModelWidget::prizeStartYOffset() const
{
    return 30;
}

void PrizeModelWidget::enterMode(WidgetClassRoom *room, WidgetVideoItemList *classTiles)
{
    PrizeModel::enterMode(room, classTiles);
    // The page's own switch shows the award mode, so the teacher can pick
    // the class mode from here to go back.
    ui->widget_switchmode->setCurrentIndex(getClassMode());
    if (room)
        classId = room->getClassId();
}

void PrizeModelWidget::CreateVideo(const UserList &list)
{
    buildTiles(list);
}

void PrizeModelWidget::placeTeacherTile(WidgetVideoItem *tile)
{
    ui->videoLayout->addWidget(tile);
}

void PrizeModelWidget::placeStudentTile(WidgetVideoItem *tile, bool inChannel)
{
    tile->setCropToFit(true);
    tile->hideTopBar();
    tile->setAlertText(inChannel ? QString() : QStringLiteral("not here yet..."));
    addStudentTile(tile);
    addRankRow(tile);
}

void PrizeModelWidget::addStudentTile(WidgetVideoItem *tile)
{
    ModelWidgetVideo *awardTile = wrapInAwardTile(tile);
    awardTile->setSelected(true);
    ui->studentsvideoLayout->addWidget(awardTile);
    connect(awardTile, &ModelWidgetVideo::signal_isSelect, this, &PrizeModelWidget::slot_setListWidgetState);
}

void PrizeModelWidget::addRankRow(WidgetVideoItem *tile)
{
    const UserInfo user = tile->getUserInfo();
    auto *row = new StudentInfoWidget;
    row->setData(localPicture(user.pic), user.likeNum, user.userName);
    row->setUid(user.uid);
    auto *item = new QListWidgetItem(ui->listWidget);
    item->setFlags(Qt::NoItemFlags);
    item->setBackground(kSelectedRow);
    item->setSizeHint(QSize(270, 60));
    ui->listWidget->setSelectionMode(QAbstractItemView::MultiSelection);
    ui->listWidget->setItemWidget(item, row);
}

StudentInfoWidget *PrizeModelWidget::rankRow(const QString &uid) const
{
    QListWidgetItem *item = rankItem(uid);
    return item ? qobject_cast<StudentInfoWidget *>(ui->listWidget->itemWidget(item)) : nullptr;
}

QListWidgetItem *PrizeModelWidget::rankItem(const QString &uid) const
{
    for (int i = 0; i < ui->listWidget->count(); ++i) {
        QListWidgetItem *item = ui->listWidget->item(i);
        auto *row = qobject_cast<StudentInfoWidget *>(ui->listWidget->itemWidget(item));
        if (row && row->getUid() == uid)
            return item;
    }
    return nullptr;
}

void PrizeModelWidget::slot_setListWidgetState(QString uid, bool flag)
{
    for (int i = 0; i < ui->listWidget->count(); ++i) {
        QListWidgetItem *item = ui->listWidget->item(i);
        auto *row = qobject_cast<StudentInfoWidget *>(ui->listWidget->itemWidget(item));
        if (!row || row->getUid() != uid)
            continue;
        row->setSelected(flag);
        item->setBackground(flag ? kSelectedRow : kUnselectedRow);
    }
}

void PrizeModelWidget::slot_itemClicked(QListWidgetItem *item)
{
    if (!item)
        return;
    if (item->background().color() == kSelectedRow) {
        item->setBackground(kUnselectedRow);
        setRowSelected(item, false);
    } else {
        item->setBackground(kSelectedRow);
        setRowSelected(item, true);
    }
}

void PrizeModelWidget::setRowSelected(QListWidgetItem *item, bool flag)
{
    auto *row = qobject_cast<StudentInfoWidget *>(ui->listWidget->itemWidget(item));
    if (!row)
        return;
    if (ModelWidgetVideo *tile = awardTile(row->getUid())) {
        row->setSelected(flag);
        tile->setSelected(flag);
    }
}

void PrizeModelWidget::on_pushButton_crown_clicked()
{
    award(QStringLiteral("1"));
}

void PrizeModelWidget::on_pushButton_medal_clicked()
{
    award(QStringLiteral("2"));
}

void PrizeModelWidget::on_pushButton_flower_clicked()
{
    award(QStringLiteral("3"));
}

void PrizeModelWidget::on_pushButton_doll_clicked()
{
    award(QStringLiteral("4"));
}

void PrizeModelWidget::on_pushButton_car_clicked()
{
    award(QStringLiteral("5"));
}

void PrizeModelWidget::on_pushButton_ball_clicked()
{
    award(QStringLiteral("6"));
}

void PrizeModelWidget::award(const QString &prizeId)
{
    const int prize = prizeId.toInt();
    QStringList awarded;
    for (ModelWidgetVideo *tile : awardTiles()) {
        if (!tile->isSelected())
            continue;
        // A student whose previous prize still flies sits this one out.
        if (!showPrize(tile, prize, true))
            continue;
        awarded << tile->getUid();
        storeLastAward(tile->getUid(), prize);
    }
    saveAwardRecord(awarded, prizeId);
    sendAwardMessage(awarded, prize);
}

void PrizeModelWidget::saveAwardRecord(const QStringList &uids, const QString &prizeId)
{
    if (uids.isEmpty())
        return;
    QString sids;
    for (const QString &uid : uids)
        sids += uid + QLatin1Char('|');
    QMap<QString, QString> params;
    params.insert(QStringLiteral("sid"), sids);
    params.insert(QStringLiteral("tid"), userList ? userList->getTeacher().uid : QString());
    params.insert(QStringLiteral("award_id"), prizeId);
    params.insert(QStringLiteral("class_id"), classId);
    NetWorkReplyHolder *reply = Singleton<HttpMgr>::instance()->post(
        BaseApis::getUrl(QStringLiteral("/QXV1/Awards/saveAwardRecord")), params, kNoTimeout);
    if (!reply)
        return;
    reply->setAutoDelete(true);
    m_awardReply = reply;
    connect(reply, &NetWorkReplyHolder::signal_onSuccess, this, &PrizeModelWidget::slot_replySuccess);
    connect(reply, &NetWorkReplyHolder::signal_onFailure, this, &PrizeModelWidget::slot_replyFailure);
}

void PrizeModelWidget::sendAwardMessage(const QStringList &uids, int prizeId)
{
    if (uids.isEmpty())
        return;
    PrizeModelAwardControl control;
    control.classid = classId;
    control.tid = userList ? userList->getTeacher().uid : QString();
    control.sids = uids.toVector();
    control.awardid = prizeId;
    SendAndReceiveMsg::instance()->sendMsg(control, IM_Prize, control.tid);
}

void PrizeModelWidget::slot_replySuccess(QString response)
{
    HttpEntity<ReveiveAwardInfo> answer;
    if (!fromJson(response, answer)) {
        qWarning().noquote() << "parse json error json:" << response.left(1024);
        return;
    }
    qInfo() << "获取响应的信息 errorCode=" << answer.errorCode;
    qInfo().noquote() << "获取响应的信息 errorMsg = " << answer.errorMsg.left(256);
    if (answer.errorCode == 200)
        qInfo().noquote() << "获取响应的时间 time:" << answer.data.time.left(64);
    else
        qCritical().noquote() << "获取信息失败，错误码：errorCode" << answer.errorCode << "错误信息errorMsg"
                              << answer.errorMsg.left(256);
}

void PrizeModelWidget::slot_replyFailure(int errorCode)
{
    qCritical() << "请求响应失败，返回错误码errorCode: " << errorCode;
}

void PrizeModelWidget::restoreAwards()
{
    restoreLastAwards();
}

void PrizeModelWidget::updateUserTile(const QString &uid)
{
    if (ModelWidgetVideo *tile = awardTile(uid)) {
        UserInfo user;
        if (userList && userList->getUserInfoByUid(uid, user)) {
            tile->setPraiseCount(user.likeNum);
            tile->setSelected(true);
        }
    }
    if (StudentInfoWidget *row = rankRow(uid)) {
        UserInfo user;
        if (userList && userList->getUserInfoByUid(uid, user))
            row->setPraiseCount(user.likeNum);
        slot_setListWidgetState(uid, true);
    }
}

void PrizeModelWidget::slot_joinClassModel(QString uid)
{
    WidgetVideoItem *tile = videoItemList->getWidgetByUid(uid);
    if (tile && tile->restoreVideoView()) {
        tile->hideTopBar();
        tile->setAlertText(QString());
        tile->muteVideo(false);
    }
}
