#include "networkingtestthread.h"

#include "biz/httpapi/studentapis.h"
#include "mgr/http/apireply.h"
#include "mgr/singleton.h"
#include "utility/durations.h"
#include "utility/actionlog.h"

#include <QDateTime>
#include <QDebug>

namespace {

constexpr int kMaxRetries = 3;
constexpr int kWorstLevel = 2;

} // namespace

NetworkingTestThread::NetworkingTestThread(NETLINK_TYPE netLink, QObject *parent)
    : QThread(parent)
    , m_netLink(netLink)
{
    sendTest();
}

NetworkingTestThread::~NetworkingTestThread()
{
    quit();
    wait();
}

int NetworkingTestThread::signalLevel(qint64 sentTimestamp, qint64 receivedTimestamp)
{
    const qint64 elapsed = receivedTimestamp - sentTimestamp;
    if (elapsed < 0)
        return 0;
    return static_cast<int>(qMin<qint64>(elapsed / Durations::ms(kBandMilliseconds), kWorstLevel));
}

void NetworkingTestThread::stopTest()
{
    m_stopped = true;
    // Deleting the holder ends its request without any further signal.
    delete m_holder.data();
    quit();
    wait();
}

void NetworkingTestThread::sendTest()
{
    Singleton<StudentApis>::instance();
    m_holder = bindApiReply<void>(StudentApis::test(this, m_netLink, Durations::ms(m_timeout)), this)
                   .onStart(&NetworkingTestThread::slot_onNetworkingTestStart)
                   .onFinish(&NetworkingTestThread::slot_onNetworkingTestFinish)
                   .onSuccess(&NetworkingTestThread::slot_onNetworkingTestSuccess)
                   .onFailure(&NetworkingTestThread::slot_onNetworkingTestFailure);
    m_sentTimestamp = QDateTime::currentMSecsSinceEpoch();
}

void NetworkingTestThread::slot_onNetworkingTestStart()
{
    qInfo() << "slot_onNetworkingTestStart...";
}

void NetworkingTestThread::slot_onNetworkingTestFinish()
{
    qInfo() << "slot_onNetworkingTestFinish...";
}

void NetworkingTestThread::slot_onNetworkingTestSuccess(QString response)
{
    Q_UNUSED(response)
    if (m_stopped)
        return;
    m_receivedTimestamp = QDateTime::currentMSecsSinceEpoch();
    const int level = signalLevel(m_sentTimestamp, m_receivedTimestamp);
    emit signal_currentNetworkDelay(m_netLink, level);
    qInfo() << "currentNetLik:" << static_cast<int>(m_netLink) << "reciveTimestamp:" << m_receivedTimestamp
            << "sentTimestamp:" << m_sentTimestamp;
    quit();
}

void NetworkingTestThread::slot_onNetworkingTestFailure(BaseEntity entity)
{
    Q_UNUSED(entity)
    if (m_stopped)
        return;
    qWarning() << "slot_onNetworkingTestFailure...";
    ActionLog::instance()->ErrorInfo(QStringLiteral("networking_test_failure"),
                                     QStringLiteral("{currentNetLink:%1, URL:%2}")
                                         .arg(static_cast<int>(m_netLink))
                                         .arg(BaseApis::getServerBaseUrl(m_netLink)));
    if (m_retryCount < kMaxRetries) {
        sendTest();
        ++m_retryCount;
    } else {
        quit();
    }
}
