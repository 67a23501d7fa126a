#ifndef APITESTSUPPORT_H
#define APITESTSUPPORT_H

// Helpers shared by the API facade tests of both roles: reading what the
// stand-in service recorded and waiting for a call to end.

#include "mgr/http/entitynetworkreplyholder.h"

#include <QCryptographicHash>
#include <QJsonArray>
#include <QRegularExpression>
#include <QSignalSpy>
#include <QStringList>

namespace ApiTest {

// The parameter names of a recorded request ("query_order" or
// "form_order"), in the order they arrived.
inline QStringList keysOf(const QJsonArray &order)
{
    QStringList keys;
    for (const QJsonValue &value : order)
        keys << value.toString();
    return keys;
}

// True once the call ended, successfully or not, within ten seconds.
inline bool waitForEnd(EntityNetworkReplyHolder *holder)
{
    QSignalSpy finished(holder, &EntityNetworkReplyHolder::signal_onFinish);
    return finished.wait(10000);
}

// Lowercase hexadecimal MD5, worked out here rather than by the code under
// test.
inline QString md5(const QByteArray &text)
{
    return QString::fromLatin1(QCryptographicHash::hash(text, QCryptographicHash::Md5).toHex());
}

namespace Detail {

inline int &armedTimeout()
{
    static int milliseconds = -1;
    return milliseconds;
}

inline QtMessageHandler &previousHandler()
{
    static QtMessageHandler handler = nullptr;
    return handler;
}

inline void noteTimeout(QtMsgType type, const QMessageLogContext &context, const QString &message)
{
    static const QRegularExpression line(QStringLiteral("^timeout:init timeoutMilliseconds:(-?\\d+)$"));
    const QRegularExpressionMatch match = line.match(message);
    if (match.hasMatch())
        armedTimeout() = match.captured(1).toInt();
    if (previousHandler())
        previousHandler()(type, context, message);
}

} // namespace Detail

// Makes the call and tells the time-out its request armed, read from the
// request holder's "timeout:init timeoutMilliseconds:%d" line; -1 when it
// armed none.
template<typename Call>
EntityNetworkReplyHolder *callNotingTimeout(Call call, int *timeout)
{
    Detail::armedTimeout() = -1;
    Detail::previousHandler() = qInstallMessageHandler(Detail::noteTimeout);
    EntityNetworkReplyHolder *holder = call();
    qInstallMessageHandler(Detail::previousHandler());
    *timeout = Detail::armedTimeout();
    return holder;
}

} // namespace ApiTest

#endif // APITESTSUPPORT_H
