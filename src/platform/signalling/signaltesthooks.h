#ifndef SIGNALTESTHOOKS_H
#define SIGNALTESTHOOKS_H

// For tests only: make a library object do what the service does on its
// own, so that every callback can be brought about on purpose. Each hook
// queues its work like an operation; false when api is not one of ours.

#include "platform/signalling/signalapi.h"

namespace agora_sdk_win {

class LESSONRY_SIGNALLING_EXPORT SignalTestHooks
{
public:
    // The service ends the session: onLogout(LOGOUT_E_KICKED).
    static bool kick(SignalApi *api);
    // The network drops every connection. With canReconnect the library
    // restores them (onReconnecting, onReconnected); without, every attempt
    // is refused and the session ends after the first (onReconnecting(1),
    // onLogout(LOGOUT_E_NET)).
    static bool loseConnection(SignalApi *api, bool canReconnect);
    // The next count sends report onMessageSendError(id, ecode) instead of
    // going out.
    static bool failNextSends(SignalApi *api, int ecode, int count);
    // While held, a login waits unanswered (the service is slow to take
    // it); releasing goes on with the login that waited, if any.
    static bool holdLogins(SignalApi *api, bool hold);
};

} // namespace agora_sdk_win

#endif // SIGNALTESTHOOKS_H
