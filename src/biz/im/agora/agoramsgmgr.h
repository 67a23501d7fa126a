#ifndef AGORAMSGMGR_H
#define AGORAMSGMGR_H

#include "mgr/singletonmgrbase.h"

#include <QMap>
#include <QString>
#include <QtGlobal>

// One message sent through the signalling library, kept until the library
// confirms it (a failed one stays, so it can be sent again).
struct AgoraMsgRecord
{
    QString id;        // braced random UUID
    QString content;
    QString peerId;    // the channel id, or the peer's account
    qint64 timestamp = 0; // creation, ms since the epoch

    QString toString() const;
};

// Sends texts to the joined class channel or to one peer over the
// signalling library, and forwards what arrives and the send outcomes.
class AgoraMsgMgr : public SingletonMgrBase
{
    Q_OBJECT

public:
    explicit AgoraMsgMgr(QObject *parent = nullptr);
    ~AgoraMsgMgr() override;

    static AgoraMsgMgr *instance();

    // Connects to AgoraIMSdk's message signals; again is harmless.
    void init() override;

    // The new message id; empty when no channel is joined.
    QString sendChannelMsg(const QString &msg);
    QString sendPeerMsg(const QString &peerId, const QString &msg);
    // Sends a kept message again, under its id, to the channel joined now.
    bool resendChannelMsg(QString msgId);

    bool getMsg(const QString &msgId, AgoraMsgRecord &record) const;
    void removeMsg(const QString &msgId);

signals:
    void signal_onMessageSendError(QString msgId, int ecode);
    void signal_onMessageSendSuccess(QString msgId);
    void signal_onMessageChannelReceive(QString channelId, QString uid, QString msg);
    void signal_onMessagePeerReceive(QString peerId, QString msg);

public slots:
    void slot_onMessageSendError(QString msgId, int ecode);
    void slot_onMessageSendSuccess(QString msgId);
    void slot_onMessageChannelReceive(QString channelId, QString uid, QString msg);
    void slot_onMessagePeerReceive(QString peerId, QString msg);

private:
    AgoraMsgRecord newRecord(const QString &peerId, const QString &msg);

    QMap<QString, AgoraMsgRecord> m_msgMap;
};

#endif // AGORAMSGMGR_H
