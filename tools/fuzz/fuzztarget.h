#ifndef FUZZTARGET_H
#define FUZZTARGET_H

#include "biz/im/mqtt/mqttimsdk.h"
#include "mgr/message/sendandreceivemsg.h"
#include "utility/userinfo.h"

#include <QByteArray>
#include <QString>
#include <QVector>

#include <memory>

class WidgetWhiteBoard;

// One fuzzing input is one thing another participant sends. Its first byte
// says what: byte % kindCount() picks a classroom message type (the rest of
// the input is the envelope's "data", inserted as it is), a whole envelope
// (the rest is the envelope) or a video picture (the rest is the picture);
// byte / kindCount() picks the sender among the teacher, a classmate and
// senders no client has. Messages arrive as the MQTT client hands them on
// and go through the message layer to the whiteboard (a student's, with
// the courseware open) and the lesson media order's checks. Needs a
// QApplication.
class FuzzTarget
{
public:
    FuzzTarget();
    ~FuzzTarget();

    void run(const QByteArray &input);
    // Units on the board now: shows that messages get through.
    int boardUnits() const;

    static int kindCount();
    static QString kindName(int kind);
    // One valid input of every kind.
    static QVector<QByteArray> seeds();

private:
    void receive(int type, const QString &sender, const QByteArray &data);

    MqttImSdk mqtt;
    SendAndReceiveMsg layer;
    UserList roster;
    std::unique_ptr<WidgetWhiteBoard> board;
    quint64 serial = 0;
};

#endif // FUZZTARGET_H
