// Writes the praise chime: a rising C major arpeggio of bell-like notes
// with a soft sparkle, 16-bit mono PCM at 22050 Hz, about 1.4 s long.

#include <QByteArray>
#include <QDataStream>
#include <QDir>
#include <QFile>
#include <QString>
#include <QtMath>

#include <cstdio>

namespace {

const int kRate = 22050;

QByteArray wav(const QVector<qint16> &samples)
{
    QByteArray out;
    QDataStream s(&out, QIODevice::WriteOnly);
    s.setByteOrder(QDataStream::LittleEndian);
    const quint32 dataBytes = quint32(samples.size()) * 2;
    s.writeRawData("RIFF", 4);
    s << quint32(36 + dataBytes);
    s.writeRawData("WAVE", 4);
    s.writeRawData("fmt ", 4);
    s << quint32(16) << quint16(1) << quint16(1) << quint32(kRate) << quint32(kRate * 2) << quint16(2)
      << quint16(16);
    s.writeRawData("data", 4);
    s << dataBytes;
    for (qint16 v : samples)
        s << v;
    return out;
}

QVector<qint16> chime()
{
    struct Note
    {
        double startSecs;
        double frequency;
    };
    const Note notes[] = { { 0.00, 523.25 }, { 0.12, 659.25 }, { 0.24, 783.99 }, { 0.36, 1046.50 },
                           { 0.52, 1318.51 } };
    const int length = int(kRate * 1.4);
    QVector<double> mix(length, 0.0);
    for (const Note &note : notes) {
        const int first = int(note.startSecs * kRate);
        for (int i = first; i < length; ++i) {
            const double t = double(i - first) / kRate;
            const double envelope = qExp(-t * 4.0) * qMin(1.0, t * 200.0);
            // A bell: the note and a quieter, faster-fading overtone.
            mix[i] += envelope * (qSin(2 * M_PI * note.frequency * t)
                                  + 0.35 * qExp(-t * 6.0) * qSin(2 * M_PI * note.frequency * 2.76 * t));
        }
    }
    QVector<qint16> samples(length);
    for (int i = 0; i < length; ++i) {
        const double fadeOut = qMin(1.0, double(length - i) / (kRate * 0.05));
        samples[i] = qint16(qBound(-1.0, mix[i] * 0.22 * fadeOut, 1.0) * 32767);
    }
    return samples;
}

} // namespace

int main(int argc, char *argv[])
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s <sound folder>\n", argv[0]);
        return 2;
    }
    const QString path = QDir(QString::fromLocal8Bit(argv[1])).filePath(QStringLiteral("praiseSoundEffect.wav"));
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(wav(chime())) < 0) {
        std::fprintf(stderr, "cannot write %s\n", qPrintable(path));
        return 1;
    }
    std::printf("%s\n", qPrintable(path));
    return 0;
}
