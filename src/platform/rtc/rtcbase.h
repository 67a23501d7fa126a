#ifndef RTCBASE_H
#define RTCBASE_H

// Types shared by the interfaces of the real-time engine library.

#if defined(LESSONRY_RTC_LIBRARY)
#define LESSONRY_RTC_EXPORT __attribute__((visibility("default")))
#else
#define LESSONRY_RTC_EXPORT
#endif

namespace agora {
namespace rtc {

typedef unsigned int uid_t;
typedef void *view_t;

// Results of the engine's operations are 0 or one of these, negated.
enum ERROR_CODE_TYPE {
    ERR_OK = 0,
    ERR_FAILED = 1,
    ERR_INVALID_ARGUMENT = 2,
    ERR_NOT_READY = 3,
    ERR_NOT_SUPPORTED = 4,
    ERR_REFUSED = 5,
    ERR_NOT_INITIALIZED = 7,
    // The relay that carries the channel cannot be reached.
    ERR_RELAY_UNREACHABLE = 10,
    // Data-stream messages of a sender went missing (onStreamMessageError).
    ERR_STREAM_MESSAGE_MISSED = 11,
    // A join while the engine is already in a channel.
    ERR_ALREADY_IN_CHANNEL = 17,
};

// Warnings (onWarning): the engine goes on as said.
enum WARN_CODE_TYPE {
    // The chosen camera cannot be opened or stopped working: the
    // synthetic picture is sent in its place.
    WARN_CAMERA_FAILED = 1501,
};

// Why a remote user left (onUserOffline).
enum USER_OFFLINE_REASON_TYPE {
    USER_OFFLINE_QUIT = 0,
    USER_OFFLINE_DROPPED = 1,
};

// What queryInterface hands out.
enum INTERFACE_ID_TYPE {
    AGORA_IID_AUDIO_DEVICE_MANAGER = 1,
    AGORA_IID_VIDEO_DEVICE_MANAGER = 2,
    AGORA_IID_RTC_ENGINE_PARAMETER = 3,
    AGORA_IID_MEDIA_ENGINE = 4,
};

} // namespace rtc

namespace util {

// Owns one interface handed out by queryInterface and releases it when it
// goes out of scope. Empty when the query failed.
template<class T>
class AutoPtr
{
public:
    explicit AutoPtr(T *p = nullptr) : m_p(p) {}
    ~AutoPtr() { reset(); }
    AutoPtr(AutoPtr &&other) noexcept : m_p(other.m_p) { other.m_p = nullptr; }
    AutoPtr &operator=(AutoPtr &&other) noexcept
    {
        if (this != &other) {
            reset();
            m_p = other.m_p;
            other.m_p = nullptr;
        }
        return *this;
    }
    AutoPtr(const AutoPtr &) = delete;
    AutoPtr &operator=(const AutoPtr &) = delete;

    T *get() const { return m_p; }
    T *operator->() const { return m_p; }
    explicit operator bool() const { return m_p != nullptr; }

    void reset(T *p = nullptr)
    {
        if (m_p)
            m_p->release();
        m_p = p;
    }

private:
    T *m_p;
};

} // namespace util
} // namespace agora

#endif // RTCBASE_H
