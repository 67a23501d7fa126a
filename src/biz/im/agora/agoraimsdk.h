#ifndef AGORAIMSDK_H
#define AGORAIMSDK_H

#include "mgr/singletonmgrbase.h"

// Wrapper of the signalling service's client library.
class AgoraIMSdk : public SingletonMgrBase
{
    Q_OBJECT

public:
    explicit AgoraIMSdk(QObject *parent = nullptr);
    ~AgoraIMSdk() override;

    static AgoraIMSdk *instance();

    // Prepares the client; safe to run again in a later pass.
    void init() override;
};

#endif // AGORAIMSDK_H
