#ifndef NETWORKREPLYTIMEOUT_H
#define NETWORKREPLYTIMEOUT_H

#include <QObject>

class QNetworkReply;

// Single-shot guard of one request: a child of the reply it watches, so it
// dies with it. Fires timeout() only when the reply is still running at
// the end of the interval.
class NetworkReplyTimeout : public QObject
{
    Q_OBJECT

public:
    NetworkReplyTimeout(QNetworkReply *reply, const int msec);

signals:
    void timeout();

public slots:
    void onTimeout();
};

#endif // NETWORKREPLYTIMEOUT_H
