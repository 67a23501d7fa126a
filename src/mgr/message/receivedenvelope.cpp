#include "mgr/message/receivedenvelope.h"

#include "mgr/globalcurrentuser.h"
#include "mgr/message/sendandreceivemsg.h"
#include "mgr/singleton.h"
#include "utility/jsonutil.h"

ReceivedEnvelope::Reading ReceivedEnvelope::read(const QString &text, ReceivedEnvelope &envelope)
{
    if (text.size() > SendAndReceiveMsg::kMaxMessageChars)
        return TooLong;
    QJsonObject object;
    if (!parseJsonObject(text, object))
        return Unreadable;
    BaseMessageEntity header;
    readJson(QJsonValue(object), header);
    if (header.sender == Singleton<GlobalCurrentUser>::instance()->getUid())
        return Own;
    envelope.m_text = text;
    envelope.m_object = std::move(object);
    envelope.m_header = std::move(header);
    return Read;
}
