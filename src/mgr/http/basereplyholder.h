#ifndef BASEREPLYHOLDER_H
#define BASEREPLYHOLDER_H

#include <QEvent>
#include <QObject>

class QNetworkReply;

// The life every reply holder of the HTTP layer shares:
// - the first signal comes from the event loop, so a caller connects right
//   after the call that made the holder;
// - signal_onStart comes at most once and before any outcome, also when a
//   fast answer was queued ahead of the start event;
// - a request refused before anything was sent reports start, failure and
//   finish from the event loop, like a transport failure;
// - an abort is reported from the event loop and silences every outcome
//   that would still follow (an abort from a failure slot also silences
//   the finish, unless the holder reports its finish regardless);
// - with auto-delete set, the holder deletes itself (deferred) once finish
//   or abort has been delivered.
// Each holder keeps its own failure and abort signals (their signatures
// differ) and emits them from emitFailure() and emitAbort(). Every emission
// may delete the holder; the helpers say so by returning false.
class BaseReplyHolder : public QObject
{
    Q_OBJECT

public:
    // The start event, the same value for every holder.
    static constexpr int kStartEventType = QEvent::User + 1;

    ~BaseReplyHolder() override;

    // For callers that keep no pointer: the holder deletes itself once the
    // request has ended (after finish or abort was delivered).
    void setAutoDelete(bool autoDelete);
    bool autoDelete() const { return m_autoDelete; }

signals:
    void signal_onStart();
    void signal_onFinish();

protected:
    // abortEventType and refusedEventType are the holder's own event
    // numbers (each holder keeps its published values); -1 when unused.
    explicit BaseReplyHolder(QObject *parent, int abortEventType = -1, int refusedEventType = -1);

    // Queues the start event; called by holders that watch a request of
    // their own, in their constructor.
    void postStartEvent();
    // Queues a refusal: start (unless sent), failure(code), finish.
    void postRefusal(int code);
    // Queues the abort report (emitAbort() from the event loop).
    void postAbortEvent();

    // Emits signal_onStart unless it was emitted already.
    bool emitStartOnce();
    // Start (unless sent), emitFailure(code), then finish, unless a slot
    // aborted the request in the meantime and finishesAfterAbort() is false.
    bool reportFailure(int code);
    // Emits signal_onFinish, then lets an auto-deleting holder go.
    bool emitFinish();
    // Emits the abort signal, then lets an auto-deleting holder go.
    bool emitAbortReport();

    bool startEmitted() const { return m_startEmitted; }

    virtual void emitFailure(int code) = 0;
    virtual void emitAbort() = 0;
    // Whether an outcome already being reported still ends with finish
    // when a slot aborts the request on the way (the request holder's
    // contract); false: the abort report takes the finish's place.
    virtual bool finishesAfterAbort() const;
    // Events of types the base does not handle.
    virtual void handleOwnEvent(int type);
    // "this:%p," for the holders whose log lines name themselves, else empty.
    virtual QByteArray logPrefix() const;

    // Aborts reply, cuts it off from this holder and deletes it later (the
    // holder may be deleted from a slot of the reply's own signal); null
    // afterwards.
    void releaseReply(QNetworkReply *&reply);

    void customEvent(QEvent *event) final;

    // Set by an abort or a time-out: no outcome is reported after it.
    bool m_shouldAbort = false;
    // Set once an outcome has been taken from the reply (or the refusal):
    // the reply's later notifications are ignored.
    bool m_errorHandled = false;

private:
    void deleteIfAutoDelete();

    const int m_abortEventType;
    const int m_refusedEventType;
    int m_refusedCode = 0;
    bool m_startEmitted = false;
    bool m_autoDelete = false;
    // An abort report is posted and not yet delivered: the holder stays
    // until it is, however the event loop orders its deferred deletes.
    bool m_abortPending = false;
};

#endif // BASEREPLYHOLDER_H
