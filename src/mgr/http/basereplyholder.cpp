#include "mgr/http/basereplyholder.h"

#include <QCoreApplication>
#include <QNetworkReply>
#include <QPointer>

BaseReplyHolder::BaseReplyHolder(QObject *parent, int abortEventType, int refusedEventType)
    : QObject(parent)
    , m_abortEventType(abortEventType)
    , m_refusedEventType(refusedEventType)
{
}

BaseReplyHolder::~BaseReplyHolder() = default;

void BaseReplyHolder::setAutoDelete(bool autoDelete)
{
    m_autoDelete = autoDelete;
}

void BaseReplyHolder::postStartEvent()
{
    QCoreApplication::postEvent(this, new QEvent(static_cast<QEvent::Type>(kStartEventType)));
}

void BaseReplyHolder::postRefusal(int code)
{
    m_refusedCode = code;
    // Posted after the start event, so the order stays start, failure.
    QCoreApplication::postEvent(this, new QEvent(static_cast<QEvent::Type>(m_refusedEventType)));
}

void BaseReplyHolder::postAbortEvent()
{
    m_abortPending = true;
    QCoreApplication::postEvent(this, new QEvent(static_cast<QEvent::Type>(m_abortEventType)));
}

QByteArray BaseReplyHolder::logPrefix() const
{
    return QByteArray();
}

bool BaseReplyHolder::emitStartOnce()
{
    if (m_startEmitted)
        return true;
    qInfo("emitOnStartSignal");
    m_startEmitted = true;
    const QPointer<BaseReplyHolder> alive(this);
    emit signal_onStart();
    return !alive.isNull();
}

bool BaseReplyHolder::reportFailure(int code)
{
    if (!emitStartOnce())
        return false;
    const QPointer<BaseReplyHolder> alive(this);
    emitFailure(code);
    if (!alive)
        return false;
    if (m_shouldAbort && !finishesAfterAbort()) {
        // A failure slot abandoned the request: its abort report follows.
        qInfo("%sshouldAbort is true, no need to emit signal", logPrefix().constData());
        return true;
    }
    return emitFinish();
}

bool BaseReplyHolder::finishesAfterAbort() const
{
    return false;
}

bool BaseReplyHolder::emitFinish()
{
    qInfo("%ssignal_onFinish", logPrefix().constData());
    const QPointer<BaseReplyHolder> alive(this);
    emit signal_onFinish();
    if (!alive)
        return false;
    deleteIfAutoDelete();
    return true;
}

bool BaseReplyHolder::emitAbortReport()
{
    const QPointer<BaseReplyHolder> alive(this);
    emitAbort();
    if (!alive)
        return false;
    deleteIfAutoDelete();
    return true;
}

void BaseReplyHolder::deleteIfAutoDelete()
{
    if (!m_autoDelete || m_abortPending)
        return;
    qInfo("autodeleted, this:%p", static_cast<const void *>(this));
    deleteLater();
}

void BaseReplyHolder::handleOwnEvent(int type)
{
    Q_UNUSED(type)
}

void BaseReplyHolder::releaseReply(QNetworkReply *&reply)
{
    if (!reply)
        return;
    reply->disconnect(this);
    reply->abort();
    reply->deleteLater();
    reply = nullptr;
}

void BaseReplyHolder::customEvent(QEvent *event)
{
    const int type = static_cast<int>(event->type());
    const QByteArray prefix = logPrefix();
    if (type == kStartEventType) {
        if (m_shouldAbort) {
            qInfo("%sshouldAbort is true, no need to emit signal", prefix.constData());
            return;
        }
        emitStartOnce();
    } else if (type == m_abortEventType) {
        qInfo("%srecv EVENT_TYPE_ON_ABORT", prefix.constData());
        m_abortPending = false;
        emitAbortReport();
    } else if (type == m_refusedEventType) {
        if (m_shouldAbort || m_errorHandled)
            return;
        m_errorHandled = true;
        qInfo("%srequest refused, code:%d", prefix.constData(), m_refusedCode);
        reportFailure(m_refusedCode);
    } else {
        handleOwnEvent(type);
    }
}
