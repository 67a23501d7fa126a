#ifndef MOCKHTTPRESPONSEMGR_H
#define MOCKHTTPRESPONSEMGR_H

#include "biz/httpapi/mockhttpresponse.h"
#include "mgr/singletonmgrbase.h"

#include <QMap>
#include <QString>

// Canned answers for work without a server, by call key ("teacher.login",
// "teacher.schedule", "teacher.getclassinfo", "teacher.classinfo"). Filled
// by init(), which start-up calls only when canned responses are switched on.
class MockHttpResponseMgr : public SingletonMgrBase
{
    Q_OBJECT

public:
    void init() override;

    // A copy of the answer stored under key; delay 0 and an empty body for
    // an unknown key.
    MockHttpResponse getResponse(const QString &key) const;

private:
    QMap<QString, MockHttpResponse> m_responses;
};

#endif // MOCKHTTPRESPONSEMGR_H
