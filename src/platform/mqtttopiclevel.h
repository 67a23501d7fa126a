#ifndef MQTTTOPICLEVEL_H
#define MQTTTOPICLEVEL_H

#include <cstddef>
#include <string>

// Whether a name may stand as one level of an MQTT topic. Names that
// come from other participants or from a server (uids, class ids,
// accounts, channel names) become topic levels; a wildcard or a slash in
// one would subscribe to, or publish on, other topics, and a name the
// broker refuses (bad UTF-8, control characters) ends the connection.
namespace MqttTopicLevel {

// Far above any id in use, far below the broker's 65535-byte topic limit.
const size_t kMaxBytes = 256;

// True for 1 to kMaxBytes bytes of valid UTF-8 without '/', '+', '#',
// control characters (NUL included), surrogates or non-characters.
bool isValid(const char *data, size_t size);

inline bool isValid(const std::string &text)
{
    return isValid(text.data(), text.size());
}

} // namespace MqttTopicLevel

#endif // MQTTTOPICLEVEL_H
