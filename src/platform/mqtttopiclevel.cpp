#include "mqtttopiclevel.h"

#include <cstdint>

namespace MqttTopicLevel {

namespace {

// The characters a broker refuses in any UTF-8 text of the protocol.
bool isRefusedCodePoint(uint32_t c)
{
    if (c <= 0x1f || (c >= 0x7f && c <= 0x9f))
        return true; // control characters
    if (c >= 0xd800 && c <= 0xdfff)
        return true; // surrogates
    if ((c >= 0xfdd0 && c <= 0xfdef) || (c & 0xfffe) == 0xfffe)
        return true; // non-characters
    return c > 0x10ffff;
}

} // namespace

bool isValid(const char *data, size_t size)
{
    if (!data || size == 0 || size > kMaxBytes)
        return false;
    const auto *bytes = reinterpret_cast<const unsigned char *>(data);
    size_t i = 0;
    while (i < size) {
        const unsigned char lead = bytes[i];
        uint32_t c = 0;
        size_t length = 0;
        if (lead < 0x80) {
            if (lead == '/' || lead == '+' || lead == '#')
                return false;
            c = lead;
            length = 1;
        } else if ((lead & 0xe0) == 0xc0) {
            c = lead & 0x1f;
            length = 2;
        } else if ((lead & 0xf0) == 0xe0) {
            c = lead & 0x0f;
            length = 3;
        } else if ((lead & 0xf8) == 0xf0) {
            c = lead & 0x07;
            length = 4;
        } else {
            return false;
        }
        if (length > size - i)
            return false;
        for (size_t k = 1; k < length; ++k) {
            if ((bytes[i + k] & 0xc0) != 0x80)
                return false;
            c = (c << 6) | (bytes[i + k] & 0x3f);
        }
        // Overlong forms hide a '/' or a NUL from a byte-wise check.
        static const uint32_t kSmallest[] = { 0, 0, 0x80, 0x800, 0x10000 };
        if (c < kSmallest[length] || isRefusedCodePoint(c))
            return false;
        i += length;
    }
    return true;
}

} // namespace MqttTopicLevel
