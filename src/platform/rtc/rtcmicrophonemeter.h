#ifndef RTCMICROPHONEMETER_H
#define RTCMICROPHONEMETER_H

#include <QByteArray>
#include <QElapsedTimer>
#include <QObject>

class QAudioInput;
class QIODevice;

// The level of a machine microphone for the recording device test, from
// its samples, on the engine's 0-255 volume scale. A microphone that is
// not the machine's, cannot be opened or stays silent past the grace
// period has no level, and the caller falls back to the synthetic one.
class RtcMicrophoneMeter : public QObject
{
    Q_OBJECT

public:
    static const int kGraceMs = 1000;

    explicit RtcMicrophoneMeter(QObject *parent = nullptr);
    ~RtcMicrophoneMeter() override;

    // deviceId: QAudioDeviceInfo::deviceName of a microphone.
    void start(const QByteArray &deviceId);
    void stop();
    // The loudest sample since the last call, 0-255; -1 while the
    // microphone has delivered no sound.
    int takeLevel();

    // The peak of 16-bit signed samples, scaled to 0-255.
    static int levelOf(const QByteArray &samples);

private:
    void readSamples();

    QAudioInput *m_input = nullptr;
    QIODevice *m_stream = nullptr;
    QElapsedTimer m_since;
    bool m_delivered = false;
    int m_peak = 0;
};

#endif // RTCMICROPHONEMETER_H
