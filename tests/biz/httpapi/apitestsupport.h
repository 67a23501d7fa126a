#ifndef APITESTSUPPORT_H
#define APITESTSUPPORT_H

// Helpers shared by the API facade tests of both roles: reading what the
// stand-in service recorded and waiting for a call to end.

#include "mgr/http/entitynetworkreplyholder.h"

#include <QCryptographicHash>
#include <QJsonArray>
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

} // namespace ApiTest

#endif // APITESTSUPPORT_H
