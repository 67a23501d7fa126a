#ifndef SIGNALAPI_H
#define SIGNALAPI_H

// The signalling library: account login, channel membership and text
// messages to a channel or to one peer account. It rides an MQTT broker
// with connections and a topic space of its own, so that clients on one
// machine (or one network) really talk to each other.
//
// Texts cross this interface as UTF-8 bytes plus their length in bytes.
// Texts handed to the callbacks are also NUL-terminated, but a receiver
// must never read past the given length.
//
// Threads: operations may be called from any thread; they only queue work.
// The work and every callback run on the thread that sits in runLoop().

#include <cstddef>
#include <cstdint>

#if defined(LESSONRY_SIGNALLING_LIBRARY)
#define LESSONRY_SIGNALLING_EXPORT __attribute__((visibility("default")))
#else
#define LESSONRY_SIGNALLING_EXPORT
#endif

namespace agora_sdk_win {

// onLogout codes.
enum LogoutCode {
    LOGOUT_E_USER = 101,       // logoutUser() was called
    LOGOUT_E_NET = 102,        // the connection was lost and could not be restored
    LOGOUT_E_KICKED = 103,     // the same account logged in elsewhere
};

// onLoginFailed codes.
enum LoginErrorCode {
    LOGIN_E_NET = 201,         // the server cannot be reached
    LOGIN_E_REJECTED = 202,    // the server refused the account or token
    LOGIN_E_ACCOUNT = 203,     // empty account, or one with '/', '+', '#'
    LOGIN_E_APPID = 204,       // not the application id of this instance
    LOGIN_E_NO_SERVER = 205,   // no server address was set
};

// onChannelJoinFailed and onChannelLeaved codes (0 is a normal leave).
enum ChannelErrorCode {
    CHANNEL_E_NOT_LOGGED_IN = 301,
    CHANNEL_E_NAME = 302,      // empty name, or one with '/', '+', '#'
    CHANNEL_E_NET = 303,       // the server did not take the membership
    CHANNEL_E_NOT_IN_CHANNEL = 304,
};

// onMessageSendError codes.
enum SendErrorCode {
    SEND_E_NOT_LOGGED_IN = 401,
    SEND_E_NOT_IN_CHANNEL = 402,
    SEND_E_PEER = 403,         // empty peer account, or one with '/', '+', '#'
    SEND_E_NET = 404,          // the server did not take the message
};

// Implemented by the user of the library.
class ICallBack
{
public:
    virtual ~ICallBack() = default;

    // A lost connection is being restored: attempt nretry, from 1.
    virtual void onReconnecting(uint32_t nretry) { (void)nretry; }
    // Restored; fd numbers the connections of this library object.
    virtual void onReconnected(int fd) { (void)fd; }
    virtual void onLoginSuccess(uint32_t uid, int fd) { (void)uid; (void)fd; }
    virtual void onLogout(int ecode) { (void)ecode; }
    virtual void onLoginFailed(int ecode) { (void)ecode; }
    virtual void onChannelJoined(const char *channelId, size_t channelIdSize)
    {
        (void)channelId; (void)channelIdSize;
    }
    virtual void onChannelJoinFailed(const char *channelId, size_t channelIdSize, int ecode)
    {
        (void)channelId; (void)channelIdSize; (void)ecode;
    }
    virtual void onChannelLeaved(const char *channelId, size_t channelIdSize, int ecode)
    {
        (void)channelId; (void)channelIdSize; (void)ecode;
    }
    virtual void onChannelUserJoined(const char *account, size_t accountSize, uint32_t uid)
    {
        (void)account; (void)accountSize; (void)uid;
    }
    virtual void onChannelUserLeaved(const char *account, size_t accountSize, uint32_t uid)
    {
        (void)account; (void)accountSize; (void)uid;
    }
    virtual void onMessageSendError(const char *messageId, size_t messageIdSize, int ecode)
    {
        (void)messageId; (void)messageIdSize; (void)ecode;
    }
    virtual void onMessageSendSuccess(const char *messageId, size_t messageIdSize)
    {
        (void)messageId; (void)messageIdSize;
    }
    virtual void onMessageInstantReceive(const char *account, size_t accountSize, uint32_t uid,
                                         const char *msg, size_t msgSize)
    {
        (void)account; (void)accountSize; (void)uid; (void)msg; (void)msgSize;
    }
    virtual void onMessageChannelReceive(const char *channelId, size_t channelIdSize,
                                         const char *account, size_t accountSize, uint32_t uid,
                                         const char *msg, size_t msgSize)
    {
        (void)channelId; (void)channelIdSize; (void)account; (void)accountSize; (void)uid;
        (void)msg; (void)msgSize;
    }
    virtual void onLog(const char *txt, size_t txtSize) { (void)txt; (void)txtSize; }
    virtual void onError(const char *name, size_t nameSize, int ecode, const char *desc, size_t descSize)
    {
        (void)name; (void)nameSize; (void)ecode; (void)desc; (void)descSize;
    }
};

// One library object: at most one logged-in account at a time.
class SignalApi
{
public:
    // The receiver of every callback; null stops them.
    virtual void registerCallback(ICallBack *callback) = 0;

    // Where the library meets its peers: an MQTT broker. Used by the next
    // loginUser().
    virtual void setServerAddress(const char *host, size_t hostSize, int port) = 0;

    // Logs account in with token (the broker password). uid and deviceId
    // are not used. A lost connection is restored with at most retryCount
    // attempts within reconnectWindowSeconds, the pause between two
    // attempts growing from half a second to at most five seconds; when
    // they fail the session ends with onLogout(LOGOUT_E_NET), and logging
    // in again is the caller's business. Outcome: onLoginSuccess or
    // onLoginFailed. Logging in again with the logged-in account reports
    // success again; another account ends the current session first.
    virtual void loginUser(const char *appId, size_t appIdSize, const char *account, size_t accountSize,
                           const char *token, size_t tokenSize, uint32_t uid,
                           const char *deviceId, size_t deviceIdSize,
                           int reconnectWindowSeconds, int retryCount) = 0;
    // Leaves every channel and ends the session: onLogout(LOGOUT_E_USER).
    virtual void logoutUser() = 0;

    // Outcome: onChannelJoined, then onChannelUserJoined for every member
    // already there; or onChannelJoinFailed.
    virtual void enterChannel(const char *channelId, size_t channelIdSize) = 0;
    // Outcome: onChannelLeaved with 0, or CHANNEL_E_NOT_IN_CHANNEL.
    virtual void exitChannel(const char *channelId, size_t channelIdSize) = 0;

    // Outcome: onMessageSendSuccess once the server took the message, or
    // onMessageSendError, each with messageId. uid is not used.
    virtual void sendPeerText(const char *account, size_t accountSize, uint32_t uid,
                              const char *msg, size_t msgSize,
                              const char *messageId, size_t messageIdSize) = 0;
    // As sendPeerText, to every other member of a joined channel.
    virtual void sendChannelText(const char *channelId, size_t channelIdSize,
                                 const char *msg, size_t msgSize,
                                 const char *messageId, size_t messageIdSize) = 0;

    // Does the library's network work and calls back, on the calling
    // thread, until stopLoop(). Returns at once when called again while it
    // runs elsewhere, or after stopLoop().
    virtual void runLoop() = 0;
    // Ends runLoop(): channels are left and the session closed as at
    // logout, but without callbacks. Callable from any thread; the loop may
    // not have started yet. Afterwards the object only accepts release().
    virtual void stopLoop() = 0;
    // Stops the loop, waits until runLoop() has returned and deletes the
    // object. No callback arrives once it returns.
    virtual void release() = 0;

protected:
    virtual ~SignalApi() = default;
};

} // namespace agora_sdk_win

// A new library object for the application id (32 lowercase hexadecimal
// characters; vendorKeyLength of them are read). Null when the id is not one.
LESSONRY_SIGNALLING_EXPORT agora_sdk_win::SignalApi *
getAgoraSDKInstanceWin(const char *vendorKey, int vendorKeyLength);

#endif // SIGNALAPI_H
