#ifndef ENTITYNETWORKREPLYHOLDER_H
#define ENTITYNETWORKREPLYHOLDER_H

#include <QJsonObject>
#include <QString>

#include "mgr/http/basereplyholder.h"
#include "mgr/http/baseentity.h"

class NetWorkReplyHolder;

// What every API call returns, a child of the caller's object. It watches
// one NetWorkReplyHolder and checks the envelope of the answer:
//   errorCode 200:        start, rawSuccess(body), success(body), finish
//   other / unreadable:   start, rawSuccess(body), failure(envelope), finish
//   transport failure:    start, failure({-networkError, "failed"}), finish
//   refused request:      start, failure({code, "failed"}), finish
//   time-out:             start, failure({4, "failed"}), later abort
//   abort():              later abort; nothing else
// Nothing is emitted before control returns to the event loop, so callers
// connect right after the call. Deleting it ends the request silently.
// Callers usually bind to it through ApiReply (apireply.h) rather than
// connecting these signals by hand.
class EntityNetworkReplyHolder : public BaseReplyHolder
{
    Q_OBJECT

public:
    // holder may be null: such a holder never emits by itself.
    EntityNetworkReplyHolder(QObject *parent, NetWorkReplyHolder *holder);
    ~EntityNetworkReplyHolder() override;

    void abort();

    // The answer object whose envelope said 200, while signal_onSuccess is
    // being delivered; null at any other time (and for answers that did not
    // pass the envelope check), so a slot reads its payload without parsing
    // the text again.
    const QJsonObject *checkedAnswer() const { return m_checkedAnswer; }

signals:
    // signal_onStart and signal_onFinish come from BaseReplyHolder.
    void signal_onRawSuccess(QString response);
    void signal_onSuccess(QString response);
    void signal_onFailure(BaseEntity baseEntity);
    void signal_onAbort();

public slots:
    void slot_onStart();
    void slot_onFinish();
    void slot_onSuccess(QString response);
    void slot_onFailure(int errorCode);
    void slot_onAbort();

protected:
    void emitFailure(int errorCode) override;
    void emitAbort() override;

private:
    NetWorkReplyHolder *m_inner = nullptr;
    const QJsonObject *m_checkedAnswer = nullptr;
};

#endif // ENTITYNETWORKREPLYHOLDER_H
