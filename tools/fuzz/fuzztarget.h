#ifndef FUZZTARGET_H
#define FUZZTARGET_H

#include "fuzzjanusreceiver.h"

#include "utility/userinfo.h"

#include <QByteArray>
#include <QPointer>
#include <QString>
#include <QVector>

#include <memory>

class WidgetClassRoom;
class WidgetWhiteBoard;

// One fuzzing input is one thing another participant (or a server) sends.
// Its first byte says what: byte % kindCount() picks the kind, byte /
// kindCount() the sender among the other role's participant, a classmate
// and senders no client has. The rest of the input is, by kind:
//
//   a classroom message type  the envelope's "data", inserted as it is into
//                             an envelope arriving over MQTT
//   mqtt envelope             a whole envelope over MQTT
//   signalling channel text,  a whole envelope, carried in a frame of the
//   signalling peer text      signalling layer
//   signalling frame          a whole frame of the signalling layer
//   data stream message       a whole envelope, in an RTC data-stream packet
//   data stream packet        a whole data-stream packet
//   janus answer              the answer to a new session's request (the
//                             sender picks which: create, attach, room)
//   janus events              the answer to the Janus client's long poll
//   video picture             a picture of a remote video feed
//
// Each arrives where the transport's receive callback hands it on, as the
// bytes came off the wire: the MQTT client's arrival (envelope read and
// checked), the signalling layer's frame decode and the callbacks it makes,
// the relay's stream packet decode and the engine's stream callback, the
// Janus client's HTTP answers. Behind them is the role's classroom window
// (every receiver of the class: orders, mode, video control, back-end
// orders, chat, the pages) and a whiteboard with the courseware open.
// Needs a QApplication; the role is the one the program is linked with.
class FuzzTarget
{
public:
    FuzzTarget();
    ~FuzzTarget();

    // False when the input hung a receiver.
    bool run(const QByteArray &input);
    // Units on the board now: shows that messages get through.
    int boardUnits() const;

    static int kindCount();
    static QString kindName(int kind);
    // The kinds of a receiver group ("classroom", "signalling",
    // "datastream", "janus", "picture"); empty for an unknown group.
    static QVector<int> groupKinds(const QString &group);
    static QStringList groups();
    // Valid inputs to start from: at least one of every kind.
    static QVector<QByteArray> seeds();

private:
    void openClassroom();
    void receiveMqtt(const QByteArray &text);
    void receiveSignalling(const QByteArray &frame);
    void receiveDataStream(const QString &sender, const QByteArray &packet);

    UserList roster;
    std::unique_ptr<WidgetWhiteBoard> board;
    QPointer<WidgetClassRoom> classroom;
    FuzzJanusReceiver janus;
    quint64 serial = 0;
};

#endif // FUZZTARGET_H
