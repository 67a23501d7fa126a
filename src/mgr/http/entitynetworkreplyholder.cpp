#include "mgr/http/entitynetworkreplyholder.h"

#include "mgr/http/httpmgr.h"
#include "mgr/http/jsonentity.h"
#include "mgr/http/networkreplyholder.h"
#include "utility/actionlog.h"

#include <QPointer>

EntityNetworkReplyHolder::EntityNetworkReplyHolder(QObject *parent, NetWorkReplyHolder *holder)
    : BaseReplyHolder(parent)
    , m_inner(holder)
{
    if (!m_inner)
        return;
    connect(m_inner, &NetWorkReplyHolder::signal_onStart, this,
            &EntityNetworkReplyHolder::slot_onStart);
    connect(m_inner, &NetWorkReplyHolder::signal_onFinish, this,
            &EntityNetworkReplyHolder::slot_onFinish);
    connect(m_inner, &NetWorkReplyHolder::signal_onSuccess, this,
            &EntityNetworkReplyHolder::slot_onSuccess);
    connect(m_inner, &NetWorkReplyHolder::signal_onFailure, this,
            &EntityNetworkReplyHolder::slot_onFailure);
    connect(m_inner, &NetWorkReplyHolder::signal_onAbort, this,
            &EntityNetworkReplyHolder::slot_onAbort);
}

EntityNetworkReplyHolder::~EntityNetworkReplyHolder()
{
    qInfo("network reply:EntityNetworkReplyHolder dies");
    if (m_inner) {
        m_inner->disconnect(this);
        delete m_inner;
        m_inner = nullptr;
    }
}

void EntityNetworkReplyHolder::abort()
{
    if (m_inner)
        m_inner->setShouldAbort(true);
}

void EntityNetworkReplyHolder::slot_onStart()
{
    emitStartOnce();
}

void EntityNetworkReplyHolder::slot_onFinish()
{
    emitFinish();
}

void EntityNetworkReplyHolder::slot_onAbort()
{
    emitAbortReport();
}

void EntityNetworkReplyHolder::emitAbort()
{
    emit signal_onAbort();
}

void EntityNetworkReplyHolder::slot_onSuccess(QString response)
{
    const QPointer<EntityNetworkReplyHolder> alive(this);
    emit signal_onRawSuccess(response);
    if (!alive)
        return;

    // The answer is parsed once here; a success slot reads its payload from
    // checkedAnswer().
    QJsonObject answer;
    BaseEntity entity;
    if (parseJsonObject(response, answer))
        readJson(QJsonValue(answer), entity);
    if (entity.errorCode == 200) {
        m_checkedAnswer = &answer;
        emit signal_onSuccess(response);
        if (alive)
            m_checkedAnswer = nullptr;
        return;
    }
    if (m_inner)
        ActionLog::instance()->ErrorInfo(failureActionName(m_inner->getUrl()), response);
    emit signal_onFailure(entity);
}

void EntityNetworkReplyHolder::slot_onFailure(int errorCode)
{
    emitFailure(errorCode);
}

void EntityNetworkReplyHolder::emitFailure(int errorCode)
{
    emit signal_onFailure(BaseEntity(errorCode, QStringLiteral("failed")));
}
