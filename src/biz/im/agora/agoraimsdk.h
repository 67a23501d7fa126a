#ifndef AGORAIMSDK_H
#define AGORAIMSDK_H

#include "mgr/singletonmgrbase.h"
#include "platform/signalling/signalapi.h"

#include <QString>
#include <QThread>

#include <cstdint>

class AgoraIMSdk;

// The thread on which the signalling library does its network work.
class AgoraNetworkThread : public QThread
{
    Q_OBJECT

public:
    explicit AgoraNetworkThread(AgoraIMSdk *owner);

protected:
    void run() override;

private:
    AgoraIMSdk *m_owner;
};

// Owns the signalling library object and turns its callbacks, which arrive
// on the library's thread, into signals; the managers (login, channel,
// messages) receive them queued on the GUI thread and call the library
// through getAgoraAPI().
class AgoraIMSdk : public SingletonMgrBase, public agora_sdk_win::ICallBack
{
    Q_OBJECT

public:
    explicit AgoraIMSdk(QObject *parent = nullptr);
    // Ends the library's loop and waits for its thread before the library
    // object is released: nothing calls back into a deleted object.
    ~AgoraIMSdk() override;

    static AgoraIMSdk *instance();

    // Creates the library object and sets up the three managers.
    void init() override;
    void initAgora();
    // Runs the library's loop; on the network thread only.
    void runNetworkThread();

    agora_sdk_win::SignalApi *getAgoraAPI() const { return m_agoraAPI; }
    // The service application id, shared with the RTC engine.
    static QString getAppId();

    // Library callbacks. The texts are read up to their given length and
    // copied before they travel on.
    void onReconnecting(uint32_t nretry) override;
    void onReconnected(int fd) override;
    void onLoginSuccess(uint32_t uid, int fd) override;
    void onLogout(int ecode) override;
    void onLoginFailed(int ecode) override;
    void onChannelJoined(const char *channelId, size_t channelIdSize) override;
    void onChannelJoinFailed(const char *channelId, size_t channelIdSize, int ecode) override;
    void onChannelLeaved(const char *channelId, size_t channelIdSize, int ecode) override;
    void onChannelUserJoined(const char *account, size_t accountSize, uint32_t uid) override;
    void onChannelUserLeaved(const char *account, size_t accountSize, uint32_t uid) override;
    void onMessageSendError(const char *messageId, size_t messageIdSize, int ecode) override;
    void onMessageSendSuccess(const char *messageId, size_t messageIdSize) override;
    void onMessageInstantReceive(const char *account, size_t accountSize, uint32_t uid,
                                 const char *msg, size_t msgSize) override;
    void onMessageChannelReceive(const char *channelId, size_t channelIdSize,
                                 const char *account, size_t accountSize, uint32_t uid,
                                 const char *msg, size_t msgSize) override;
    void onLog(const char *txt, size_t txtSize) override;
    void onError(const char *name, size_t nameSize, int ecode, const char *desc, size_t descSize) override;

signals:
    void signal_onReconnecting(uint32_t nretry);
    void signal_onReconnected(int fd);
    void signal_onLoginSuccess(uint32_t uid, int fd);
    void signal_onLogout(int ecode);
    void signal_onLoginFailed(int ecode);
    void signal_onChannelJoined(QString channelId);
    void signal_onChannelJoinFailed(QString channelId, int ecode);
    void signal_onChannelLeaved(QString channelId, int ecode);
    void signal_onChannelUserJoined(QString uid);
    void signal_onChannelUserLeaved(QString uid);
    void signal_onMessageSendError(QString msgId, int ecode);
    void signal_onMessageSendSuccess(QString msgId);
    void signal_onMessageChannelReceive(QString channelId, QString uid, QString msg);
    void signal_onMessageInstantReceive(QString peerId, QString msg);

private:
    agora_sdk_win::SignalApi *m_agoraAPI = nullptr;
    AgoraNetworkThread m_networkThread;
};

#endif // AGORAIMSDK_H
