#include "sendandreceivemsg.h"

#include "mgr/singleton.h"

SendAndReceiveMsg::SendAndReceiveMsg(QObject *parent)
    : SingletonMgrBase(parent)
{
    qRegisterMetaType<ImMsgInfo>("ImMsgInfo");
    qRegisterMetaType<RefreshApp>("RefreshApp");
}

SendAndReceiveMsg::~SendAndReceiveMsg() = default;

SendAndReceiveMsg *SendAndReceiveMsg::instance()
{
    return Singleton<SendAndReceiveMsg>::instance();
}
