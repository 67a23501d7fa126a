#include "gifwriter.h"

#include <QFile>
#include <QHash>

namespace {

// 128 palette entries, so indices fit the LZW minimum code size of 7 bits.
const int kPaletteSize = 128;
const int kMinCodeSize = 7;
const int kMaxCode = 4095;

void putWord(QByteArray &out, int value)
{
    out.append(char(value & 0xff));
    out.append(char((value >> 8) & 0xff));
}

// Packs variable-width codes least significant bit first.
class BitPacker
{
public:
    void put(int code, int width)
    {
        m_buffer |= quint32(code) << m_bits;
        m_bits += width;
        while (m_bits >= 8) {
            m_bytes.append(char(m_buffer & 0xff));
            m_buffer >>= 8;
            m_bits -= 8;
        }
    }
    QByteArray finish()
    {
        if (m_bits > 0)
            m_bytes.append(char(m_buffer & 0xff));
        m_buffer = 0;
        m_bits = 0;
        return m_bytes;
    }

private:
    QByteArray m_bytes;
    quint32 m_buffer = 0;
    int m_bits = 0;
};

// Plain GIF LZW: the table restarts with a clear code when it is full.
QByteArray lzwEncode(const QByteArray &indices)
{
    const int clearCode = 1 << kMinCodeSize;
    const int endCode = clearCode + 1;
    QHash<quint32, int> table; // (prefix code << 8 | index) -> code
    int nextCode = endCode + 1;
    int width = kMinCodeSize + 1;

    BitPacker packer;
    packer.put(clearCode, width);
    int prefix = -1;
    for (char c : indices) {
        const int index = quint8(c);
        if (prefix < 0) {
            prefix = index;
            continue;
        }
        const quint32 key = (quint32(prefix) << 8) | quint32(index);
        const auto found = table.constFind(key);
        if (found != table.constEnd()) {
            prefix = found.value();
            continue;
        }
        packer.put(prefix, width);
        if (nextCode <= kMaxCode) {
            table.insert(key, nextCode);
            // The decoder widens its codes once the table reaches the
            // current width, one code later than the encoder adds it.
            if (nextCode == (1 << width) && width < 12)
                ++width;
            ++nextCode;
        } else {
            packer.put(clearCode, width);
            table.clear();
            nextCode = endCode + 1;
            width = kMinCodeSize + 1;
        }
        prefix = index;
    }
    if (prefix >= 0)
        packer.put(prefix, width);
    packer.put(endCode, width);
    const QByteArray codes = packer.finish();

    QByteArray blocks;
    blocks.append(char(kMinCodeSize));
    for (int i = 0; i < codes.size(); i += 255) {
        const QByteArray chunk = codes.mid(i, 255);
        blocks.append(char(chunk.size()));
        blocks.append(chunk);
    }
    blocks.append(char(0));
    return blocks;
}

} // namespace

GifWriter::GifWriter(const QColor &from, const QColor &to, bool transparent)
    : m_from(from)
    , m_to(to)
    , m_transparent(transparent)
{
}

void GifWriter::addFrame(const QImage &frame)
{
    m_frames.append(frame.convertToFormat(QImage::Format_ARGB32));
}

QByteArray GifWriter::indexFrame(const QImage &frame) const
{
    // Entry 0 is transparent (or the "from" colour); 1..127 ramp from
    // "from" to "to". A pixel takes the shade nearest to it on the ramp.
    const int first = m_transparent ? 1 : 0;
    const int steps = kPaletteSize - 1 - first;
    const int dr = m_to.red() - m_from.red();
    const int dg = m_to.green() - m_from.green();
    const int db = m_to.blue() - m_from.blue();
    const double length2 = double(dr) * dr + double(dg) * dg + double(db) * db;

    QByteArray out;
    out.reserve(frame.width() * frame.height());
    for (int y = 0; y < frame.height(); ++y) {
        const QRgb *line = reinterpret_cast<const QRgb *>(frame.constScanLine(y));
        for (int x = 0; x < frame.width(); ++x) {
            const QRgb pixel = line[x];
            if (m_transparent && qAlpha(pixel) < 128) {
                out.append(char(0));
                continue;
            }
            double t = 0;
            if (length2 > 0) {
                t = ((qRed(pixel) - m_from.red()) * double(dr)
                     + (qGreen(pixel) - m_from.green()) * double(dg)
                     + (qBlue(pixel) - m_from.blue()) * double(db)) / length2;
            }
            t = qBound(0.0, t, 1.0);
            out.append(char(first + qRound(t * steps)));
        }
    }
    return out;
}

bool GifWriter::write(const QString &filePath, int delay) const
{
    if (m_frames.isEmpty())
        return false;
    const int width = m_frames.first().width();
    const int height = m_frames.first().height();

    QByteArray gif("GIF89a");
    putWord(gif, width);
    putWord(gif, height);
    // Global colour table of 2^(6+1) entries, 8 bits per primary.
    gif.append(char(0x80 | 0x70 | 6));
    gif.append(char(0)); // background colour index
    gif.append(char(0)); // pixel aspect ratio
    const int first = m_transparent ? 1 : 0;
    const int steps = kPaletteSize - 1 - first;
    for (int i = 0; i < kPaletteSize; ++i) {
        QColor c = m_from;
        if (i >= first) {
            const double t = double(i - first) / steps;
            c = QColor::fromRgbF(m_from.redF() + (m_to.redF() - m_from.redF()) * t,
                                 m_from.greenF() + (m_to.greenF() - m_from.greenF()) * t,
                                 m_from.blueF() + (m_to.blueF() - m_from.blueF()) * t);
        }
        gif.append(char(c.red()));
        gif.append(char(c.green()));
        gif.append(char(c.blue()));
    }

    // Loop for ever.
    gif.append("\x21\xff\x0b" "NETSCAPE2.0" "\x03\x01", 16);
    putWord(gif, 0);
    gif.append(char(0));

    for (const QImage &frame : m_frames) {
        if (frame.size() != m_frames.first().size())
            return false;
        // Graphic control: dispose to background so transparent frames do
        // not pile up on each other.
        gif.append("\x21\xf9\x04", 3);
        gif.append(char((2 << 2) | (m_transparent ? 1 : 0)));
        putWord(gif, delay);
        gif.append(char(0)); // transparent index
        gif.append(char(0));

        gif.append(char(0x2c));
        putWord(gif, 0);
        putWord(gif, 0);
        putWord(gif, width);
        putWord(gif, height);
        gif.append(char(0)); // no local colour table, not interlaced
        gif.append(lzwEncode(indexFrame(frame)));
    }
    gif.append(char(0x3b));

    QFile file(filePath);
    if (!file.open(QIODevice::WriteOnly))
        return false;
    return file.write(gif) == gif.size();
}
