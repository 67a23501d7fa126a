#include "prizemodelwidgetstu.h"
#include "ui_prizemodelwidgetstu.h"

#include "mgr/globalcurrentuser.h"
#include "mgr/message/classordergate.h"
#include "mgr/singleton.h"
#include "utility/userinfo.h"
#include "widget/modelwidgetvideo.h"
#include "widget/widgetclassroom.h"
#include "widget/widgetvideoitem.h"

#include <QDebug>

PrizemodelwidgetStu::PrizemodelwidgetStu(WidgetClassRoom *parent)
    : PrizeModel(parent)
    , ui(new Ui::PrizemodelwidgetStu)
{
    ui->setupUi(this);
    setPrizeArea(ui->widget_main, QPointF(0.5, 0.4));
    // Awards of this class's teacher only.
    connect(ClassOrderGate::instance(), &ClassOrderGate::signal_receiveAwardControl, this,
            &PrizemodelwidgetStu::slot_PrizePresentation);
}

PrizemodelwidgetStu::~PrizemodelwidgetStu()
{
    delete ui;
}

int PrizemodelwidgetStu::prizeStartYOffset() const
{
    return -60;
}

void PrizemodelwidgetStu::CreateVideo(const UserList &list)
{
    buildTiles(list);
}

void PrizemodelwidgetStu::placeTeacherTile(WidgetVideoItem *tile)
{
    ui->teacherLayout->addWidget(tile);
}

void PrizemodelwidgetStu::placeStudentTile(WidgetVideoItem *tile, bool inChannel)
{
    tile->hideTopBar();
    const bool self = tile->getUserInfo().uid == Singleton<GlobalCurrentUser>::instance()->getUid();
    tile->setAlertText(inChannel || self ? QString() : QStringLiteral("小伙伴正在赶来..."));
    qInfo() << "是否加入房间：" << inChannel;
    addStudentTile(tile);
}

void PrizemodelwidgetStu::addStudentTile(WidgetVideoItem *tile)
{
    ModelWidgetVideo *awardTile = wrapInAwardTile(tile);
    ui->studentsvideoLayout->addWidget(awardTile);
}

void PrizemodelwidgetStu::updateUserTile(const QString &uid)
{
    ModelWidgetVideo *tile = awardTile(uid);
    if (!tile || !userList)
        return;
    UserInfo user;
    if (userList->getUserInfoByUid(uid, user))
        tile->setPraiseCount(user.likeNum);
}

void PrizemodelwidgetStu::checkAwardInfo()
{
    restoreLastAwards();
}

void PrizemodelwidgetStu::slot_PrizePresentation(const ImMsgInfo &info, const PrizeModelAwardControl &protocol)
{
    Q_UNUSED(info)
    // Awards only name students of this class: a longer list is not one
    // a teacher's page sends.
    if (protocol.sids.size() > kMaxAwardedStudents) {
        qWarning("award for %lld students dropped", static_cast<long long>(protocol.sids.size()));
        return;
    }
    if (prizePicture(protocol.awardid).isEmpty()) {
        qWarning("award of unknown prize %d dropped", protocol.awardid);
        return;
    }
    for (const QString &uid : protocol.sids) {
        for (ModelWidgetVideo *tile : awardTiles()) {
            if (tile->getUid() != uid)
                continue;
            if (showPrize(tile, protocol.awardid, true))
                storeLastAward(uid, protocol.awardid);
        }
    }
    qInfo().noquote() << QStringLiteral("classId :%1,tid :%2,awardid :%3")
                             .arg(protocol.classid.left(64), protocol.tid.left(64))
                             .arg(protocol.awardid);
}
