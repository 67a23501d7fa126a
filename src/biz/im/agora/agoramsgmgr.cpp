#include "agoramsgmgr.h"

#include "mgr/singleton.h"

QString AgoraMsgRecord::toString() const
{
    return QStringLiteral("id:%1, peerId:%2, content:%3, timestamp:%4").arg(id, peerId, content).arg(timestamp);
}

AgoraMsgMgr::AgoraMsgMgr(QObject *parent)
    : SingletonMgrBase(parent)
{
}

AgoraMsgMgr::~AgoraMsgMgr() = default;

AgoraMsgMgr *AgoraMsgMgr::instance()
{
    return Singleton<AgoraMsgMgr>::instance();
}

QString AgoraMsgMgr::sendChannelMsg(const QString &)
{
    qCritical("not in channel");
    return QString();
}

QString AgoraMsgMgr::sendPeerMsg(const QString &, const QString &)
{
    return QString();
}

bool AgoraMsgMgr::getMsg(const QString &, AgoraMsgRecord &) const
{
    return false;
}

void AgoraMsgMgr::removeMsg(const QString &)
{
}
