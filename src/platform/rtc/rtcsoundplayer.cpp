#include "rtcsoundplayer.h"

#include "rtcdevicelist.h"

#include <QAudioOutput>
#include <QBuffer>
#include <QFile>
#include <QTimer>
#include <QtEndian>

namespace {

quint32 le32(const char *p)
{
    return qFromLittleEndian<quint32>(reinterpret_cast<const uchar *>(p));
}

quint16 le16(const char *p)
{
    return qFromLittleEndian<quint16>(reinterpret_cast<const uchar *>(p));
}

bool fail(QString *error, const QString &text)
{
    if (error)
        *error = text;
    return false;
}

} // namespace

RtcSoundPlayer::RtcSoundPlayer(QObject *parent)
    : QObject(parent)
    , m_silentTimer(new QTimer(this))
{
    m_silentTimer->setSingleShot(true);
    connect(m_silentTimer, &QTimer::timeout, this, &RtcSoundPlayer::passFinished);
}

RtcSoundPlayer::~RtcSoundPlayer()
{
    stop();
}

bool RtcSoundPlayer::readWav(const QString &filePath, Sound *sound, QString *error)
{
    QFile file(filePath);
    if (filePath.isEmpty() || !file.open(QIODevice::ReadOnly))
        return fail(error, QStringLiteral("cannot open %1").arg(filePath));
    // Test sounds are short; a file far beyond one is not one.
    if (file.size() > 64 * 1024 * 1024)
        return fail(error, QStringLiteral("%1 is too large").arg(filePath));
    const QByteArray data = file.readAll();
    if (data.size() < 12 || !data.startsWith("RIFF") || data.mid(8, 4) != "WAVE")
        return fail(error, QStringLiteral("%1 is not a WAV file").arg(filePath));

    QAudioFormat format;
    bool haveFormat = false;
    QByteArray samples;
    bool haveSamples = false;
    int pos = 12;
    while (pos + 8 <= data.size()) {
        const QByteArray id = data.mid(pos, 4);
        const quint32 size = le32(data.constData() + pos + 4);
        const int body = pos + 8;
        if (size > quint32(data.size() - body)) {
            // A data chunk cut short still plays what is there.
            if (id != "data")
                break;
        }
        const int available = int(qMin<quint32>(size, quint32(data.size() - body)));
        if (id == "fmt " && available >= 16) {
            const char *f = data.constData() + body;
            const quint16 tag = le16(f);
            const int channels = le16(f + 2);
            const int rate = int(le32(f + 4));
            const int bits = le16(f + 14);
            if (tag != 1 || channels < 1 || channels > 8 || rate < 1000 || rate > 384000
                || (bits != 8 && bits != 16 && bits != 32))
                return fail(error, QStringLiteral("%1 is not a PCM WAV file we play").arg(filePath));
            format.setSampleRate(rate);
            format.setChannelCount(channels);
            format.setSampleSize(bits);
            format.setCodec(QStringLiteral("audio/pcm"));
            format.setByteOrder(QAudioFormat::LittleEndian);
            format.setSampleType(bits == 8 ? QAudioFormat::UnSignedInt : QAudioFormat::SignedInt);
            haveFormat = true;
        } else if (id == "data") {
            samples = data.mid(body, available);
            haveSamples = true;
        }
        pos = body + available + (available & 1);
    }
    if (!haveFormat || !haveSamples)
        return fail(error, QStringLiteral("%1 has no PCM sound").arg(filePath));
    const int frame = format.bytesPerFrame();
    samples.truncate(samples.size() - samples.size() % frame);
    if (samples.isEmpty())
        return fail(error, QStringLiteral("%1 has no PCM sound").arg(filePath));
    if (sound) {
        sound->format = format;
        sound->samples = samples;
    }
    return true;
}

void RtcSoundPlayer::start(const Sound &sound, const QByteArray &deviceId)
{
    stop();
    m_sound = sound;
    m_passes = 0;
    m_playing = true;
    m_silent = !startDevice(deviceId);
    if (m_silent)
        startPass();
}

bool RtcSoundPlayer::startDevice(const QByteArray &deviceId)
{
    const QAudioDeviceInfo device = RtcDeviceList::machineAudioDevice(QAudio::AudioOutput, deviceId);
    if (device.isNull() || !device.isFormatSupported(m_sound.format))
        return false;
    m_output = new QAudioOutput(device, m_sound.format, this);
    m_buffer = new QBuffer(this);
    m_buffer->setData(m_sound.samples);
    connect(m_output, &QAudioOutput::stateChanged, this, [this](QAudio::State state) {
        // Idle: the sound ran out (or the device stalled); either way the
        // pass is over.
        if (state == QAudio::IdleState && m_playing)
            passFinished();
    });
    startPass();
    if (m_output->error() != QAudio::NoError || m_output->state() == QAudio::StoppedState) {
        // The device refused: play on without it.
        delete m_output;
        m_output = nullptr;
        delete m_buffer;
        m_buffer = nullptr;
        return false;
    }
    return true;
}

void RtcSoundPlayer::startPass()
{
    if (!m_playing)
        return;
    if (m_output) {
        m_buffer->close();
        m_buffer->open(QIODevice::ReadOnly);
        m_output->start(m_buffer);
        return;
    }
    const qint64 ms = m_sound.format.durationForBytes(m_sound.samples.size()) / 1000;
    m_silentTimer->start(int(qBound<qint64>(1, ms, 3600 * 1000)));
}

void RtcSoundPlayer::passFinished()
{
    if (!m_playing)
        return;
    ++m_passes;
    // Restarting from the state report itself is not safe for every
    // backend: begin the next pass from the event loop.
    const int generation = m_generation;
    QTimer::singleShot(0, this, [this, generation] {
        if (generation == m_generation)
            startPass();
    });
}

void RtcSoundPlayer::stop()
{
    ++m_generation;
    m_playing = false;
    m_silentTimer->stop();
    if (m_output) {
        m_output->disconnect(this);
        m_output->stop();
        delete m_output;
        m_output = nullptr;
    }
    delete m_buffer;
    m_buffer = nullptr;
}
