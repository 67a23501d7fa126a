#ifndef SENDANDRECEIVEMSG_H
#define SENDANDRECEIVEMSG_H

#include "mgr/message/immsginfo.h"
#include "mgr/message/refreshapp.h"
#include "mgr/singletonmgrbase.h"

// The classroom message layer: sends every message on the transports and
// emits one signal per received message type.
class SendAndReceiveMsg : public SingletonMgrBase
{
    Q_OBJECT

public:
    explicit SendAndReceiveMsg(QObject *parent = nullptr);
    ~SendAndReceiveMsg() override;

    static SendAndReceiveMsg *instance();

signals:
    void signal_receiveRefreshApp(ImMsgInfo info, RefreshApp protocol);
};

#endif // SENDANDRECEIVEMSG_H
