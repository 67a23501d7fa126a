#ifndef RECEIVEDENVELOPE_H
#define RECEIVEDENVELOPE_H

#include "mgr/message/messageentity.h"

#include <QJsonObject>
#include <QMetaType>
#include <QString>

// One received classroom message, read once where it arrives: the text as
// it came (for the logs), its header and its whole JSON object. The
// transport reads it and drops the user's own messages; the message layer
// and the typed signal take their fields from here without parsing the
// text again.
class ReceivedEnvelope
{
public:
    enum Reading {
        Read,
        // Longer than a message may be: dropped before it is parsed.
        TooLong,
        // Not JSON (the parse error is logged).
        Unreadable,
        // Sent by the signed-in user: the broker hands one's own messages
        // back.
        Own,
    };

    // Reads text into envelope (left as it was unless Read).
    static Reading read(const QString &text, ReceivedEnvelope &envelope);

    const QString &text() const { return m_text; }
    const BaseMessageEntity &header() const { return m_header; }

    // Reads the "data" record into out; an absent key leaves out as it was.
    template<typename T>
    void payload(T &out) const
    {
        const QJsonValue data = m_object.value(QStringLiteral("data"));
        if (!data.isUndefined())
            readJson(data, out);
    }

private:
    QString m_text;
    QJsonObject m_object;
    BaseMessageEntity m_header;
};

Q_DECLARE_METATYPE(ReceivedEnvelope)

#endif // RECEIVEDENVELOPE_H
