#ifndef FUZZJANUSRECEIVER_H
#define FUZZJANUSRECEIVER_H

#include "fuzzjanusserver.h"

#include "platform/rtc/rtcenginelog.h"
#include "platform/rtc/rtcjanusclient.h"

#include <QByteArray>

// The Janus client's receive path with the bytes of its answers chosen by
// the fuzzer: the client talks HTTP to FuzzJanusServer and takes up every
// feed it is told about, as the media session does. Each run waits until
// the client has handled what it was given: it has asked for more (the
// next request or long poll), or it has given up (failed()).
class FuzzJanusReceiver
{
public:
    FuzzJanusReceiver();

    // A fresh session whose step-th request (0 create, 1 attach, 2 the
    // room) gets body for its answer.
    bool answer(int step, const QByteArray &body);
    // body as the answer to the long poll of a session that is up.
    bool events(const QByteArray &body);

private:
    // Starts a session unless one is up with its long poll held.
    bool ensureSession();
    // Runs the event loop until done() or the client has failed; false
    // when neither came in time (a hang).
    template<typename Done>
    bool waitFor(Done done);

    RtcEngineLog m_log;
    FuzzJanusServer m_server;
    RtcJanusClient m_client;
    bool m_failed = false;
    bool m_joined = false;
};

#endif // FUZZJANUSRECEIVER_H
