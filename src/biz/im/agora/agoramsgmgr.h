#ifndef AGORAMSGMGR_H
#define AGORAMSGMGR_H

#include "mgr/singletonmgrbase.h"

#include <QString>

// One message sent through the signalling library, kept until confirmed.
struct AgoraMsgRecord
{
    QString id;
    QString content;
    QString peerId;
    qint64 timestamp = 0;

    QString toString() const;
};

// Channel and peer texts over the signalling library. Minimal for now: no
// library is attached yet, so nothing is sent and no channel is joined.
class AgoraMsgMgr : public SingletonMgrBase
{
    Q_OBJECT

public:
    explicit AgoraMsgMgr(QObject *parent = nullptr);
    ~AgoraMsgMgr() override;

    static AgoraMsgMgr *instance();

    // The message id, or empty when the text was not sent.
    QString sendChannelMsg(const QString &msg);
    QString sendPeerMsg(const QString &peerId, const QString &msg);
    bool getMsg(const QString &msgId, AgoraMsgRecord &record) const;
    void removeMsg(const QString &msgId);

signals:
    void signal_onMessageSendError(QString msgId, int ecode);
    void signal_onMessageSendSuccess(QString msgId);
    void signal_onMessageChannelReceive(QString channelId, QString uid, QString msg);
    void signal_onMessagePeerReceive(QString peerId, QString msg);
};

#endif // AGORAMSGMGR_H
