#include "fuzzmutator.h"

#include <cctype>

namespace {

// What a hostile sender puts where a number or a text is expected.
const char *const kPieces[] = {
    "-2147483648", "2147483647", "4294967296", "-1", "0", "1e309", "-1e309", "NaN", "1.5", "9007199254740993",
    "\"\"", "\"#\"", "\"a/+\"", "\"\\u0000\"", "\"\\ud800\"", "null", "true", "[]", "{}", "[[[[[[[[", "{\"a\":",
    "\"file:///etc/passwd\"", "\"data:text/plain,x\"", "\"http://127.0.0.1:1/x\"", "65535", "655360000", "10001",
    "\xff\xfe", "\xc3\x28", "%PDF-", "\xff\xd8\xff\xc0\x00\x11\x08\x3e\x80\x3e\x80",
};

} // namespace

FuzzMutator::FuzzMutator(quint32 seed, int maxLength)
    : random(seed)
    , maxLength(maxLength)
{
}

int FuzzMutator::position(const QByteArray &data, bool end)
{
    // Past the kind byte: that one changes on its own.
    const int first = data.isEmpty() ? 0 : 1;
    const int last = data.size() + (end ? 1 : 0);
    return last <= first ? first : int(random.bounded(quint32(first), quint32(last)));
}

void FuzzMutator::changeOnce(QByteArray &data, const QVector<QByteArray> &inputs)
{
    switch (random.bounded(9)) {
    case 0: // a bit
        if (data.size() > 1) {
            const int at = position(data, false);
            data[at] = char(data.at(at) ^ (1 << random.bounded(8)));
        }
        break;
    case 1: // a byte
        if (data.size() > 1)
            data[position(data, false)] = char(random.bounded(256));
        break;
    case 2: // a piece put in
        data.insert(position(data, true), kPieces[random.bounded(int(sizeof(kPieces) / sizeof(kPieces[0])))]);
        break;
    case 3: // a piece in place of a number
    {
        const int at = position(data, false);
        int end = at;
        while (end < data.size() && (std::isdigit(quint8(data.at(end))) || data.at(end) == '-'))
            ++end;
        data.replace(at, end - at, kPieces[random.bounded(int(sizeof(kPieces) / sizeof(kPieces[0])))]);
        break;
    }
    case 4: // a range removed
        if (data.size() > 1) {
            const int at = position(data, false);
            data.remove(at, int(random.bounded(quint32(data.size() - at)) + 1));
        }
        break;
    case 5: // a range repeated, up to very long
        if (data.size() > 1) {
            const int at = position(data, false);
            const int length = int(random.bounded(quint32(qMin(64, data.size() - at))) + 1);
            const QByteArray range = data.mid(at, length);
            const int times = 1 << random.bounded(17);
            data.insert(at, range.repeated(qMin(times, maxLength / length + 1)));
        }
        break;
    case 6: // a range of another input
        if (!inputs.isEmpty()) {
            const QByteArray &other = inputs.at(random.bounded(inputs.size()));
            if (other.size() > 1) {
                const int from = int(random.bounded(quint32(1), quint32(other.size())));
                const int length = int(random.bounded(quint32(other.size() - from)) + 1);
                data.insert(position(data, true), other.mid(from, length));
            }
        }
        break;
    case 7: // the kind of input, or the sender
        if (!data.isEmpty())
            data[0] = char(random.bounded(256));
        break;
    default: // cut short
        if (data.size() > 1)
            data.truncate(position(data, true));
        break;
    }
    if (data.size() > maxLength)
        data.truncate(maxLength);
}

QByteArray FuzzMutator::mutate(const QByteArray &input, const QVector<QByteArray> &inputs)
{
    QByteArray data = input;
    const int changes = int(random.bounded(8)) + 1;
    for (int i = 0; i < changes; ++i)
        changeOnce(data, inputs);
    return data;
}
