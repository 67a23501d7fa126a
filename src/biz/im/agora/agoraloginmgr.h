#ifndef AGORALOGINMGR_H
#define AGORALOGINMGR_H

#include "mgr/singletonmgrbase.h"

// Sign-in to the signalling service.
class AgoraLoginMgr : public SingletonMgrBase
{
    Q_OBJECT

public:
    explicit AgoraLoginMgr(QObject *parent = nullptr);
    ~AgoraLoginMgr() override;

    static AgoraLoginMgr *instance();

signals:
    // The signed-in account signed in on another device.
    void signal_onKicked();
};

#endif // AGORALOGINMGR_H
