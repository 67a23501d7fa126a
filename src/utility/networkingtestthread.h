#ifndef NETWORKINGTESTTHREAD_H
#define NETWORKINGTESTTHREAD_H

#include "biz/httpapi/baseapis.h"
#include "mgr/http/entitynetworkreplyholder.h"

#include <QPointer>
#include <QThread>

// Measures the delay of one network line: sends the line's test request
// (from the constructor, before the thread starts) and reports the answer's
// delay band 0..2 once. A failed request is sent again up to three times.
// The thread itself only runs an idle event loop; the requests and every
// slot run on the thread that owns this object (the GUI thread).
class NetworkingTestThread : public QThread
{
    Q_OBJECT

public:
    NetworkingTestThread(NETLINK_TYPE netLink, QObject *parent);
    // Quits the thread and waits for it, so it is never destroyed running.
    ~NetworkingTestThread() override;

    // Ends the measurement: the request in flight is dropped, nothing more is
    // reported, and the thread is quit and waited for.
    void stopTest();

    NETLINK_TYPE netLink() const { return m_netLink; }
    int retryCount() const { return m_retryCount; }

    // Width of one delay band.
    static constexpr int kBandMilliseconds = 300;

    // Delay band of an answer: under 300 ms 0, under 600 ms 1, else 2. A
    // clock that went backwards counts as 0.
    static int signalLevel(qint64 sentTimestamp, qint64 receivedTimestamp);

signals:
    void signal_currentNetworkDelay(NETLINK_TYPE _netLink, int signalNum);

public slots:
    void slot_onNetworkingTestStart();
    void slot_onNetworkingTestFinish();
    void slot_onNetworkingTestSuccess(QString response);
    void slot_onNetworkingTestFailure(BaseEntity entity);

private:
    void sendTest();

    NETLINK_TYPE m_netLink;
    QPointer<EntityNetworkReplyHolder> m_holder;
    qint64 m_sentTimestamp = 0;
    qint64 m_receivedTimestamp = 0;
    int m_timeout = 2000;
    int m_retryCount = 0;
    bool m_stopped = false;
};

#endif // NETWORKINGTESTTHREAD_H
