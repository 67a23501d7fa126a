#ifndef AGORALOGINMGR_H
#define AGORALOGINMGR_H

#include "mgr/singletonmgrbase.h"

#include <QString>

#include <cstdint>

// Logs the signalling account in and out and turns the library's outcomes
// into signals. Reconnecting is the library's business; retrying a failed
// login is the caller's.
class AgoraLoginMgr : public SingletonMgrBase
{
    Q_OBJECT

public:
    explicit AgoraLoginMgr(QObject *parent = nullptr);
    ~AgoraLoginMgr() override;

    static AgoraLoginMgr *instance();

    // Connects to AgoraIMSdk's login signals; again is harmless.
    void init() override;

    void login(const QString &uid, const QString &token);
    void logout();

signals:
    void signal_onLoginSuccess(uint32_t uid, int fd);
    void signal_onLoginFailed(int ecode);
    void signal_onNormalLogut();
    // The signed-in account signed in on another device.
    void signal_onKicked();
    void signal_onDisconnected(int ecode);
    void signal_networkStatusChanged(bool isConnected);

public slots:
    void slot_onReconnecting(uint32_t nretry);
    void slot_onReconnected(int fd);
    void slot_onLoginSuccess(uint32_t uidParam, int fd);
    void slot_onLogout(int ecode);
    void slot_onLoginFailed(int ecode);

private:
    // The uid of the last login success, for the action records.
    QString m_uid;
};

#endif // AGORALOGINMGR_H
