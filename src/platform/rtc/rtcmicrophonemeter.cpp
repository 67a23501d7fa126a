#include "rtcmicrophonemeter.h"

#include "rtcdevicelist.h"

#include <QAudioInput>
#include <QtEndian>

#include <cstdlib>

RtcMicrophoneMeter::RtcMicrophoneMeter(QObject *parent)
    : QObject(parent)
{
}

RtcMicrophoneMeter::~RtcMicrophoneMeter()
{
    stop();
}

void RtcMicrophoneMeter::start(const QByteArray &deviceId)
{
    stop();
    const QAudioDeviceInfo device = RtcDeviceList::machineAudioDevice(QAudio::AudioInput, deviceId);
    if (device.isNull())
        return;
    QAudioFormat format;
    format.setSampleRate(16000);
    format.setChannelCount(1);
    format.setSampleSize(16);
    format.setCodec(QStringLiteral("audio/pcm"));
    format.setByteOrder(QAudioFormat::LittleEndian);
    format.setSampleType(QAudioFormat::SignedInt);
    if (!device.isFormatSupported(format))
        return;
    m_input = new QAudioInput(device, format, this);
    m_stream = m_input->start();
    if (!m_stream || m_input->error() != QAudio::NoError) {
        stop();
        return;
    }
    connect(m_stream, &QIODevice::readyRead, this, &RtcMicrophoneMeter::readSamples);
    m_since.start();
}

void RtcMicrophoneMeter::stop()
{
    if (m_input) {
        m_input->disconnect(this);
        m_input->stop();
        delete m_input;
    }
    m_input = nullptr;
    m_stream = nullptr;
    m_delivered = false;
    m_peak = 0;
}

void RtcMicrophoneMeter::readSamples()
{
    if (!m_stream)
        return;
    const QByteArray samples = m_stream->readAll();
    if (samples.size() < 2)
        return;
    m_delivered = true;
    m_peak = qMax(m_peak, levelOf(samples));
}

int RtcMicrophoneMeter::takeLevel()
{
    if (!m_input)
        return -1;
    if (!m_delivered) {
        // A microphone that gives nothing within the grace period is
        // closed; the synthetic level stands in for the rest of the test.
        if (m_since.elapsed() > kGraceMs)
            stop();
        return -1;
    }
    const int level = m_peak;
    m_peak = 0;
    return level;
}

int RtcMicrophoneMeter::levelOf(const QByteArray &samples)
{
    int peak = 0;
    const uchar *p = reinterpret_cast<const uchar *>(samples.constData());
    for (int i = 0; i + 1 < samples.size(); i += 2)
        peak = qMax(peak, std::abs(int(qFromLittleEndian<qint16>(p + i))));
    return qMin(255, peak * 255 / 32767);
}
