#ifndef SIGNALFRAME_H
#define SIGNALFRAME_H

#include <cstdint>
#include <string>
#include <vector>

namespace agora_sdk_win {

// One payload on the broker: a magic, a kind byte and a list of byte
// strings, each preceded by its length (4 bytes, big-endian). Any bytes may
// travel in a field, NUL included.
struct SignalFrame
{
    enum Kind : char {
        Present = 'P',     // account, uid, session: a channel member
        Gone = 'G',        // account, uid, session: the member's connection died
        ChannelText = 'C', // account, uid, session, message
        PeerText = 'I',    // account, uid, session, message
        Login = 'K',       // session, login time in ms: newest login of an account
    };

    Kind kind = Present;
    std::vector<std::string> fields;

    std::string field(size_t index) const { return index < fields.size() ? fields[index] : std::string(); }

    std::string encode() const;
    // False for anything that is not a whole frame of a known kind with at
    // least minimumFields(kind) fields.
    static bool decode(const char *data, size_t size, SignalFrame *frame);
    static size_t minimumFields(Kind kind);
};

// Names of the library's topics under its own root for one application.
namespace SignalTopics {
std::string root(const std::string &appId);
std::string inbox(const std::string &appId, const std::string &account);
std::string logins(const std::string &appId, const std::string &account);
std::string channelText(const std::string &appId, const std::string &channel);
std::string channelMembers(const std::string &appId, const std::string &channel); // with wildcards
std::string channelMember(const std::string &appId, const std::string &channel,
                          const std::string &account, const std::string &session);
// Account and session of a member topic; false for any other topic.
bool parseChannelMember(const std::string &topic, std::string *account, std::string *session);
// Usable as one topic level (MqttTopicLevel): not empty, not too long, no
// '/', '+', '#', NUL or anything else the broker refuses.
bool isTopicLevel(const std::string &text);
}

// The numeric uid of an account: the account itself when it is a decimal
// number that fits 32 bits, else a hash of its bytes.
uint32_t accountUid(const std::string &account);

} // namespace agora_sdk_win

#endif // SIGNALFRAME_H
