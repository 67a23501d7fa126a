#ifndef MOCKENTITYNETWORKREPLYHOLDER_H
#define MOCKENTITYNETWORKREPLYHOLDER_H

#include "biz/httpapi/mockhttpresponse.h"
#include "mgr/http/entitynetworkreplyholder.h"

// Delivers one canned answer as if the server had sent it: after the delay
// it emits signal_onSuccess with the body, and nothing else (no start, no
// envelope check, no finish).
class MockEntityNetworkReplyHolder : public EntityNetworkReplyHolder
{
    Q_OBJECT

public:
    MockEntityNetworkReplyHolder(QObject *parent, const MockHttpResponse &response);

private slots:
    void slot_onMockHttpResponse();

private:
    int m_delay = 0;
    QString m_body;
};

#endif // MOCKENTITYNETWORKREPLYHOLDER_H
