#ifndef RTCSOUNDPLAYER_H
#define RTCSOUNDPLAYER_H

#include <QAudioFormat>
#include <QByteArray>
#include <QObject>
#include <QString>

#include <atomic>

class QAudioOutput;
class QBuffer;
class QTimer;

// The playback device test: plays a PCM WAV file over and over on a
// speaker until stopped. A machine speaker plays through Qt Multimedia;
// the synthetic speaker, and a machine speaker that cannot play the
// sound, play into nothing for the sound's length, so the test runs the
// same on machines without sound.
class RtcSoundPlayer : public QObject
{
    Q_OBJECT

public:
    struct Sound
    {
        QAudioFormat format;
        QByteArray samples;
    };

    explicit RtcSoundPlayer(QObject *parent = nullptr);
    ~RtcSoundPlayer() override;

    // Reads a PCM WAV file; false (and nothing in sound) when the file is
    // missing, unreadable or not a PCM WAV file.
    static bool readWav(const QString &filePath, Sound *sound, QString *error = nullptr);

    // On this object's thread. deviceId names a machine speaker
    // (QAudioDeviceInfo::deviceName); any other id plays silently.
    void start(const Sound &sound, const QByteArray &deviceId);
    void stop();

    // Thread-safe: the passes played to the end since the last start,
    // and whether the last start plays silently.
    int finishedPasses() const { return m_passes; }
    bool isSilent() const { return m_silent; }

private:
    void startPass();
    void passFinished();
    bool startDevice(const QByteArray &deviceId);

    Sound m_sound;
    QAudioOutput *m_output = nullptr;
    QBuffer *m_buffer = nullptr;
    QTimer *m_silentTimer;
    std::atomic<int> m_passes { 0 };
    std::atomic<bool> m_silent { false };
    bool m_playing = false;
    int m_generation = 0; // passes queued by an earlier start do not begin
};

#endif // RTCSOUNDPLAYER_H
