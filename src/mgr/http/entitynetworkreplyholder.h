#ifndef ENTITYNETWORKREPLYHOLDER_H
#define ENTITYNETWORKREPLYHOLDER_H

#include <QObject>
#include <QString>

#include "mgr/http/baseentity.h"

class NetWorkReplyHolder;

// What every API call returns, a child of the caller's object. It watches
// one NetWorkReplyHolder and checks the envelope of the answer:
//   errorCode 200:        start, rawSuccess(body), success(body), finish
//   other / unreadable:   start, rawSuccess(body), failure(envelope), finish
//   transport failure:    start, failure({-networkError, "failed"}), finish
//   time-out:             start, failure({4, "failed"}), later abort
//   abort():              later abort; nothing else
// Nothing is emitted before control returns to the event loop, so callers
// connect right after the call. Deleting it ends the request silently.
class EntityNetworkReplyHolder : public QObject
{
    Q_OBJECT

public:
    // holder may be null: such a holder never emits by itself.
    EntityNetworkReplyHolder(QObject *parent, NetWorkReplyHolder *holder);
    ~EntityNetworkReplyHolder() override;

    void abort();
    // For callers that keep no pointer: the holder deletes itself once the
    // request has ended (after finish or abort was delivered).
    void setAutoDelete(bool autoDelete);

signals:
    void signal_onStart();
    void signal_onFinish();
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

private:
    NetWorkReplyHolder *m_inner = nullptr;
    bool m_autoDelete = false;
};

#endif // ENTITYNETWORKREPLYHOLDER_H
