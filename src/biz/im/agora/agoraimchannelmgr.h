#ifndef AGORAIMCHANNELMGR_H
#define AGORAIMCHANNELMGR_H

#include "mgr/singletonmgrbase.h"

#include <QString>

// Joins and leaves the class channel of the signalling service and
// remembers the joined channel, which channel messages are addressed to.
class AgoraIMChannelMgr : public SingletonMgrBase
{
    Q_OBJECT

public:
    explicit AgoraIMChannelMgr(QObject *parent = nullptr);
    ~AgoraIMChannelMgr() override;

    static AgoraIMChannelMgr *instance();

    // Connects to AgoraIMSdk's channel signals; again is harmless.
    void init() override;

    // Asks to join; the channel counts as joined once the library says so.
    void joinChannel(const QString &channelId);
    // Leaves the joined channel at once, without waiting for the library.
    void leaveChannel();
    bool isInChannel() const { return !m_channelId.isEmpty(); }
    QString getChannelId() const { return m_channelId; }

signals:
    void signal_onChannelJoined(QString channelId);
    void signal_onChannelJoinFailed(QString channelId, int ecode);
    void signal_onChannelLeaved(QString channelId, int ecode);
    void signal_onChannelUserJoined(QString uid);
    void signal_onChannelUserLeaved(QString uid);

public slots:
    void slot_onChannelJoined(QString channelId_);
    void slot_onChannelJoinFailed(QString channelId, int ecode);
    void slot_onChannelLeaved(QString channelId, int ecode);
    void slot_onChannelUserJoined(QString uid);
    void slot_onChannelUserLeaved(QString uid);

private:
    // Empty: no channel joined.
    QString m_channelId;
};

#endif // AGORAIMCHANNELMGR_H
