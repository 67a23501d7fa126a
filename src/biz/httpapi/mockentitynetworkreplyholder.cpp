#include "mockentitynetworkreplyholder.h"

#include <QTimer>

MockEntityNetworkReplyHolder::MockEntityNetworkReplyHolder(QObject *parent, const MockHttpResponse &response)
    : EntityNetworkReplyHolder(parent, nullptr)
    , m_delay(response.delay)
    , m_body(response.body)
{
    // From the event loop, so the caller can connect after the call.
    QTimer::singleShot(m_delay, this, &MockEntityNetworkReplyHolder::slot_onMockHttpResponse);
}

void MockEntityNetworkReplyHolder::slot_onMockHttpResponse()
{
    emit signal_onSuccess(m_body);
}
