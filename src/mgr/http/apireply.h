#ifndef APIREPLY_H
#define APIREPLY_H

#include <QJsonObject>
#include <QJsonValue>
#include <QObject>
#include <QString>

#include <type_traits>
#include <utility>

#include "mgr/http/baseentity.h"
#include "mgr/http/entitynetworkreplyholder.h"
#include "mgr/http/httpentity.h"

// Binds the outcome of one API call to a receiver in one statement:
//
//     m_reply = bindApiReply<ClassInfoEntity>(StudentApis::classInfo(this, id), this)
//                   .onStart(&CourseWidget::showLoading)
//                   .onSuccess([this](const ClassInfoEntity &info) { enterClass(info); })
//                   .onFailure([this](const BaseEntity &error) { showError(error); });
//
// Each handler is a member function of the receiver or any callable; it
// runs only while the receiver lives (the receiver is the connection's
// context), in the holder's order: start, success or failure, finish; or
// abort alone. The success handler gets the answer's "data" read into a
// T once, from the answer the holder has already checked; with T = void it
// gets the answer's text instead. A failure handler gets the refusal's
// envelope, a transport failure as {code, "failed"}, or an answer that
// could not be read as {-333, ""}.
template<typename T, typename Receiver>
class ApiReply
{
public:
    ApiReply(EntityNetworkReplyHolder *holder, Receiver *receiver)
        : m_holder(holder)
        , m_receiver(receiver)
    {
    }

    template<typename F>
    ApiReply &onStart(F handler)
    {
        return bind(&EntityNetworkReplyHolder::signal_onStart, std::move(handler));
    }

    template<typename F>
    ApiReply &onSuccess(F handler)
    {
        if (!m_holder)
            return *this;
        EntityNetworkReplyHolder *holder = m_holder;
        Receiver *receiver = m_receiver;
        QObject::connect(m_holder, &EntityNetworkReplyHolder::signal_onSuccess, m_receiver,
                         [holder, receiver, handler](const QString &body) {
                             if constexpr (std::is_void_v<T>) {
                                 call(handler, receiver, body);
                             } else {
                                 HttpEntity<T> answer;
                                 if (const QJsonObject *checked = holder->checkedAnswer()) {
                                     readJson(QJsonValue(*checked), answer);
                                 } else if (!fromJson(body, answer)) {
                                     // Only a canned answer reaches here unchecked.
                                     emit holder->signal_onFailure(
                                         BaseEntity(BaseEntity::UNREAD_ERROR_CODE, QString()));
                                     return;
                                 }
                                 call(handler, receiver, answer.data);
                             }
                         });
        return *this;
    }

    template<typename F>
    ApiReply &onFailure(F handler)
    {
        return bind(&EntityNetworkReplyHolder::signal_onFailure, std::move(handler));
    }

    template<typename F>
    ApiReply &onFinish(F handler)
    {
        return bind(&EntityNetworkReplyHolder::signal_onFinish, std::move(handler));
    }

    template<typename F>
    ApiReply &onAbort(F handler)
    {
        return bind(&EntityNetworkReplyHolder::signal_onAbort, std::move(handler));
    }

    EntityNetworkReplyHolder *holder() const { return m_holder; }
    operator EntityNetworkReplyHolder *() const { return m_holder; }

private:
    template<typename Signal, typename F>
    ApiReply &bind(Signal signal, F handler)
    {
        if (m_holder)
            QObject::connect(m_holder, signal, m_receiver, std::move(handler));
        return *this;
    }

    template<typename F, typename Argument>
    static void call(const F &handler, Receiver *receiver, const Argument &argument)
    {
        if constexpr (std::is_member_function_pointer_v<F>)
            (receiver->*handler)(argument);
        else
            handler(argument);
    }

    EntityNetworkReplyHolder *m_holder;
    Receiver *m_receiver;
};

// The usual way to start an ApiReply: T is the payload type ("data") of
// the call, or void for the answer's text; Receiver is deduced.
template<typename T, typename Receiver>
ApiReply<T, Receiver> bindApiReply(EntityNetworkReplyHolder *holder, Receiver *receiver)
{
    return ApiReply<T, Receiver>(holder, receiver);
}

#endif // APIREPLY_H
