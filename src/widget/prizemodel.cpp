#include "prizemodel.h"

#include "utility/appdirs.h"
#include "utility/translatelanguage.h"
#include "utility/userinfo.h"
#include "widget/modelwidgetvideo.h"
#include "widget/prizemodelanimation.h"
#include "widget/widgetclassroom.h"
#include "widget/widgetvideoitem.h"
#include "widget/widgetvideoitemlist.h"

#include <QDebug>
#include <QPainter>
#include <QPaintEvent>

#include <cmath>

namespace {

// The distance from the picture's centre to the farthest corner of any
// pixel that is not fully transparent: whatever the angle, nothing of the
// picture turned round its centre lies farther out.
double coloredReach(const QImage &picture)
{
    const QImage image = picture.convertToFormat(QImage::Format_ARGB32);
    const double centreX = image.width() / 2.0;
    const double centreY = image.height() / 2.0;
    double farthest = 0;
    for (int y = 0; y < image.height(); ++y) {
        const auto *line = reinterpret_cast<const QRgb *>(image.constScanLine(y));
        const double dy = qMax(std::abs(y - centreY), std::abs(y + 1 - centreY));
        for (int x = 0; x < image.width(); ++x) {
            if (qAlpha(line[x]) == 0)
                continue;
            const double dx = qMax(std::abs(x - centreX), std::abs(x + 1 - centreX));
            farthest = qMax(farthest, dx * dx + dy * dy);
        }
    }
    return std::sqrt(farthest);
}

} // namespace

PrizeModel::PrizeModel(QWidget *parent)
    : WidgetClassMode(parent)
    , videoItemList(new WidgetVideoItemList)
    , m_background(QStringLiteral(":/image/background/background.png"))
{
    // Drawn at half its size: scaled once here instead of at every frame.
    const QPixmap light(QStringLiteral(":/image/background/light.png"));
    if (!light.isNull()) {
        m_light = light.scaled(light.width() / 2, light.height() / 2, Qt::KeepAspectRatio, Qt::SmoothTransformation);
        m_lightReach = coloredReach(m_light.toImage());
    }
    setClassMode(PrizeMode);
    m_lightTimer.setTimerType(Qt::PreciseTimer);
    connect(&m_lightTimer, &QTimer::timeout, this, &PrizeModel::turnLight);
    m_lightClock.start();
}

PrizeModel::~PrizeModel()
{
    delete videoItemList;
}

QString PrizeModel::prizePicture(int prizeId)
{
    static const char *const names[] = { "crown_big.png", "medal_big.png", "flower_big.png",
                                         "doll_big.png",  "car_big.png",   "ball_big.png" };
    if (prizeId < 1 || prizeId > 6)
        return QString();
    return getResourcesDir() + QLatin1Char('/') + QLatin1String(names[prizeId - 1]);
}

int PrizeModel::prizeRestOffset(int prizeId)
{
    switch (prizeId) {
    case 1: return -110;
    case 2: return 110;
    case 4: return 90;
    default: return 100;
    }
}

void PrizeModel::enterMode(WidgetClassRoom *room, WidgetVideoItemList *classTiles)
{
    setFocus(Qt::OtherFocusReason);
    if (room)
        setClassInfo(room->getUserList(), room->getClassId());
    if (!userList || !videoItemList) {
        qWarning("videoWidgets or videoWidgets is NULL.");
        return;
    }
    if (!classTiles || videoItemList->count() == 0) {
        CreateVideo(*userList);
        return;
    }
    for (int i = 0; i < videoItemList->count(); ++i) {
        WidgetVideoItem *tile = videoItemList->getWidgetByIdx(i);
        if (!tile)
            break;
        if (!tile->restoreVideoView())
            continue;
        tile->muteVideo(false);
        const QString uid = tile->getUserInfo().uid;
        const bool inChannel = userList->getIsInChannel(uid);
        tile->muteVideo(!inChannel);
        tile->setAlertText(inChannel ? QString()
                                     : Translatelanguage::instance()->getText(QStringLiteral("notcomingyet")));
        qInfo() << "是否加入房间：" << inChannel;
        tile->hideTopBar();
        updateUserTile(uid);
    }
}

void PrizeModel::setClassInfo(UserList *roster, const QString &id)
{
    userList = roster;
    classId = id;
}

void PrizeModel::exitMode()
{
    for (int i = videoItemList->count() - 1; i >= 0; --i) {
        if (WidgetVideoItem *tile = videoItemList->getWidgetByIdx(i))
            tile->clearVideoView();
    }
}

void PrizeModel::destoryMode()
{
    exitMode();
}

bool PrizeModel::setVideoItemAttached(const QString &uid, bool attach)
{
    WidgetVideoItem *tile = videoItemList->getWidgetByUid(uid);
    if (!tile)
        return false;
    return attach ? tile->restoreVideoView() : tile->clearVideoView();
}

WidgetVideoItemList *PrizeModel::getVideoItemList()
{
    return videoItemList;
}

void PrizeModel::slot_onChannelUserJoined(const QString &uid)
{
    qInfo("videoTxt start slot_onChannelUserJoined, uid:%s", qUtf8Printable(uid));
    if (WidgetVideoItem *tile = videoItemList->getWidgetByUid(uid)) {
        qInfo("videoTxt pItem not NULL");
        tile->muteVideo(false);
        tile->setCropToFit(true);
        tile->restoreVideoView();
        tile->setStateFlag(true);
        tile->setAlertText(QString());
        tile->hideTopBar();
    }
    qInfo("videoTxt end slot_onChannelUserJoined, uid:%s", qUtf8Printable(uid));
}

void PrizeModel::slot_onChannelUserLeaved(const QString &uid)
{
    if (WidgetVideoItem *tile = videoItemList->getWidgetByUid(uid)) {
        tile->muteVideo(true);
        tile->setAlertText(tile->getUserInfo().userName
                           + Translatelanguage::instance()->getText(QStringLiteral("alreadyleftclassroom")));
        tile->clearVideoView();
        tile->setStateFlag(false);
    }
    qDebug().noquote() << QStringLiteral("slot_onChannelUserLeaved, uid:%1").arg(uid);
}

ModelWidgetVideo *PrizeModel::awardTile(const QString &uid) const
{
    for (ModelWidgetVideo *tile : m_awardTiles) {
        if (tile->getUid() == uid)
            return tile;
    }
    return nullptr;
}

PrizeModelAnimation *PrizeModel::prizeAnimation(const QString &uid) const
{
    for (PrizeModelAnimation *animation : m_animations) {
        if (animation->getUid() == uid)
            return animation;
    }
    return nullptr;
}

void PrizeModel::setPrizeArea(QWidget *area, const QPointF &lightCentre)
{
    m_area = area;
    m_lightCentre = lightCentre;
}

void PrizeModel::buildTiles(const UserList &list)
{
    qInfo("CreateVideo()  this:%p", static_cast<void *>(this));
    videoItemList->createItems(const_cast<UserList *>(&list), this);
    for (int i = 0; i < videoItemList->count(); ++i) {
        WidgetVideoItem *tile = videoItemList->getWidgetByIdx(i);
        if (!tile)
            break;
        tile->muteVideo(false);
        if (!tile->restoreVideoView())
            continue;
        const UserInfo user = tile->getUserInfo();
        if (user.userType == UserInfo::Teacher) {
            tile->setAlertText(QString());
            placeTeacherTile(tile);
            continue;
        }
        tile->muteVideo(false);
        placeStudentTile(tile, list.getIsInChannel(user.uid));
    }
}

ModelWidgetVideo *PrizeModel::wrapInAwardTile(WidgetVideoItem *tile)
{
    auto *awardTile = new ModelWidgetVideo(m_area);
    awardTile->addVideo(tile);
    const UserInfo user = tile->getUserInfo();
    awardTile->setName(user.userName);
    awardTile->setPraiseCount(user.likeNum);
    awardTile->setUid(user.uid);
    m_awardTiles.append(awardTile);
    return awardTile;
}

QPoint PrizeModel::mappedTilePoint(ModelWidgetVideo *tile) const
{
    return tile->mapTo(const_cast<PrizeModel *>(this), tile->pos());
}

bool PrizeModel::showPrize(ModelWidgetVideo *tile, int prizeId, bool animate)
{
    if (!tile || !m_area)
        return false;
    if (PrizeModelAnimation *previous = prizeAnimation(tile->getUid())) {
        if (!previous->isIdle())
            return false;
        m_animations.removeOne(previous);
        previous->close();
        previous->deleteLater();
    }
    auto *animation = new PrizeModelAnimation(m_area);
    animation->setUid(tile->getUid());
    m_animations.append(animation);
    animation->show();

    const QString path = prizePicture(prizeId);
    const QPoint mapped = mappedTilePoint(tile);
    const QRect area = m_area->geometry();
    const int right = area.x() + area.width() - 1;
    const QPoint start(right / 2 - 80, mapped.y() + prizeStartYOffset());
    const QPoint end(tile->x(), mapped.y() + prizeRestOffset(prizeId));
    if (!path.isEmpty())
        animation->showAnimation(path, start, end, prizeId, animate);
    return true;
}

void PrizeModel::storeLastAward(const QString &uid, int prizeId)
{
    if (!userList)
        return;
    UserInfo user;
    if (!userList->getUserInfoByUid(uid, user))
        return;
    user.lastAwardInfo.award_id = QString::number(prizeId);
    userList->setUserInfoByUid(user);
}

void PrizeModel::restoreLastAwards()
{
    if (!userList)
        return;
    for (ModelWidgetVideo *tile : qAsConst(m_awardTiles)) {
        UserInfo user;
        if (!userList->getUserInfoByUid(tile->getUid(), user))
            continue;
        const int prizeId = user.lastAwardInfo.award_id.toInt();
        if (prizeId > 0) {
            showPrize(tile, prizeId, false);
            qInfo() << "last awardid:" << prizeId;
        }
    }
}

void PrizeModel::showEvent(QShowEvent *event)
{
    WidgetClassMode::showEvent(event);
    m_lightTimer.start(kLightFrameMs);
    restoreLastAwards();
}

void PrizeModel::hideEvent(QHideEvent *event)
{
    // Nothing to turn while nobody sees the page.
    m_lightTimer.stop();
    WidgetClassMode::hideEvent(event);
}

void PrizeModel::resizeEvent(QResizeEvent *event)
{
    WidgetClassMode::resizeEvent(event);
    if (!m_area)
        return;
    for (PrizeModelAnimation *animation : qAsConst(m_animations)) {
        ModelWidgetVideo *tile = awardTile(animation->getUid());
        if (!tile)
            continue;
        const QPoint mapped = mappedTilePoint(tile);
        animation->relayout(m_area->width(), m_area->height(), tile->x(), mapped.y() + 40);
    }
    restoreLastAwards();
}

int PrizeModel::lightAngle() const
{
    return int((m_lightClock.elapsed() * kLightDegreesPerSecond / 1000) % 360);
}

QPointF PrizeModel::lightCentre(const QRect &area) const
{
    return QPointF(area.x() + area.width() * m_lightCentre.x(), area.y() + area.height() * m_lightCentre.y());
}

QRect PrizeModel::lightBounds() const
{
    if (!m_area || m_light.isNull() || m_lightReach <= 0)
        return QRect();
    const QRect area = m_area->geometry();
    // Two pixels more: a turned pixel may touch one past its reach.
    const double reach = m_lightReach + 2;
    const QPointF centre = lightCentre(area);
    return QRectF(centre.x() - reach, centre.y() - reach, 2 * reach, 2 * reach).toAlignedRect() & area;
}

void PrizeModel::turnLight()
{
    // Only what the turn changes: the tiles and the backdrop outside the
    // light's square stay as they are.
    const QRect bounds = lightBounds();
    if (!bounds.isEmpty())
        update(bounds);
}

void PrizeModel::paintEvent(QPaintEvent *event)
{
    if (m_area) {
        const QRect rect = m_area->geometry();
        if (!m_background.isNull() && rect.isValid()) {
            // Scaled once per size, not at every frame.
            if (m_scaledBackground.size() != rect.size())
                m_scaledBackground = QPixmap::fromImage(
                    m_background.scaled(rect.size(), Qt::IgnoreAspectRatio, Qt::SmoothTransformation));
            QPainter painter(this);
            painter.setClipRect(event->rect());
            painter.drawPixmap(rect.topLeft(), m_scaledBackground);
        }
        if (!m_light.isNull() && rect.isValid()) {
            QPainter painter(this);
            painter.setClipRect(event->rect() & rect);
            painter.translate(lightCentre(rect));
            painter.rotate(lightAngle());
            painter.drawPixmap(-m_light.width() / 2, -m_light.height() / 2, m_light);
        }
    }
    WidgetClassMode::paintEvent(event);
}
