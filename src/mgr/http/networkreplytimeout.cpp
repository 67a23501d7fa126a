#include "mgr/http/networkreplytimeout.h"

#include <QNetworkReply>
#include <QTimer>

NetworkReplyTimeout::NetworkReplyTimeout(QNetworkReply *reply, const int msec)
    : QObject(reply)
{
    // The holder has logged the time-out already.
    if (reply && reply->isRunning())
        QTimer::singleShot(msec, this, &NetworkReplyTimeout::onTimeout);
}

void NetworkReplyTimeout::onTimeout()
{
    qInfo("timeout:onTimeout");
    auto *reply = qobject_cast<QNetworkReply *>(parent());
    if (reply && reply->isRunning()) {
        qInfo("timeout:reply is running, really timeout");
        emit timeout();
    }
}
