#include "signalframe.h"

#include "platform/mqtttopiclevel.h"

#include <cstring>

namespace agora_sdk_win {

namespace {

const char kMagic[] = { 'L', 'S', 'G', '1' };
const size_t kMagicSize = sizeof(kMagic);

void appendLength(std::string &out, size_t length)
{
    const uint32_t value = static_cast<uint32_t>(length);
    out.push_back(static_cast<char>((value >> 24) & 0xff));
    out.push_back(static_cast<char>((value >> 16) & 0xff));
    out.push_back(static_cast<char>((value >> 8) & 0xff));
    out.push_back(static_cast<char>(value & 0xff));
}

uint32_t readLength(const unsigned char *bytes)
{
    return (uint32_t(bytes[0]) << 24) | (uint32_t(bytes[1]) << 16) | (uint32_t(bytes[2]) << 8)
        | uint32_t(bytes[3]);
}

bool isKnownKind(char kind)
{
    switch (kind) {
    case SignalFrame::Present:
    case SignalFrame::Gone:
    case SignalFrame::ChannelText:
    case SignalFrame::PeerText:
    case SignalFrame::Login:
        return true;
    default:
        return false;
    }
}

} // namespace

std::string SignalFrame::encode() const
{
    std::string out(kMagic, kMagicSize);
    out.push_back(static_cast<char>(kind));
    for (const std::string &value : fields) {
        appendLength(out, value.size());
        out.append(value);
    }
    return out;
}

size_t SignalFrame::minimumFields(Kind kind)
{
    switch (kind) {
    case ChannelText:
    case PeerText:
        return 4;
    case Present:
    case Gone:
        return 3;
    case Login:
        return 2;
    }
    return 0;
}

bool SignalFrame::decode(const char *data, size_t size, SignalFrame *frame)
{
    if (!data || size < kMagicSize + 1 || std::memcmp(data, kMagic, kMagicSize) != 0)
        return false;
    const char kind = data[kMagicSize];
    if (!isKnownKind(kind))
        return false;
    SignalFrame result;
    result.kind = static_cast<Kind>(kind);
    const auto *bytes = reinterpret_cast<const unsigned char *>(data);
    size_t offset = kMagicSize + 1;
    while (offset < size) {
        if (size - offset < 4)
            return false;
        const uint32_t length = readLength(bytes + offset);
        offset += 4;
        if (length > size - offset)
            return false;
        result.fields.emplace_back(data + offset, length);
        offset += length;
    }
    if (result.fields.size() < minimumFields(result.kind))
        return false;
    *frame = std::move(result);
    return true;
}

namespace SignalTopics {

std::string root(const std::string &appId)
{
    return "lessonry-signal/" + appId;
}

std::string inbox(const std::string &appId, const std::string &account)
{
    return root(appId) + "/user/" + account + "/inbox";
}

std::string logins(const std::string &appId, const std::string &account)
{
    return root(appId) + "/user/" + account + "/login";
}

std::string channelText(const std::string &appId, const std::string &channel)
{
    return root(appId) + "/channel/" + channel + "/text";
}

std::string channelMembers(const std::string &appId, const std::string &channel)
{
    return root(appId) + "/channel/" + channel + "/member/+/+";
}

std::string channelMember(const std::string &appId, const std::string &channel,
                          const std::string &account, const std::string &session)
{
    return root(appId) + "/channel/" + channel + "/member/" + account + "/" + session;
}

bool parseChannelMember(const std::string &topic, std::string *account, std::string *session)
{
    const std::string marker = "/member/";
    const size_t at = topic.rfind(marker);
    if (at == std::string::npos)
        return false;
    const std::string rest = topic.substr(at + marker.size());
    const size_t slash = rest.find('/');
    if (slash == std::string::npos || rest.find('/', slash + 1) != std::string::npos)
        return false;
    *account = rest.substr(0, slash);
    *session = rest.substr(slash + 1);
    return !account->empty() && !session->empty();
}

bool isTopicLevel(const std::string &text)
{
    return MqttTopicLevel::isValid(text);
}

} // namespace SignalTopics

uint32_t accountUid(const std::string &account)
{
    if (!account.empty() && account.size() <= 10
        && account.find_first_not_of("0123456789") == std::string::npos) {
        const unsigned long long value = std::stoull(account);
        if (value <= 0xffffffffULL)
            return static_cast<uint32_t>(value);
    }
    // FNV-1a.
    uint32_t hash = 2166136261u;
    for (unsigned char byte : account) {
        hash ^= byte;
        hash *= 16777619u;
    }
    return hash;
}

} // namespace agora_sdk_win
