#ifndef AUDIOOUTPUT_H
#define AUDIOOUTPUT_H

#include <QObject>

namespace QtAV {

class PlayerBackend;

// The player's own sound; muting it leaves the picture playing.
class AudioOutput : public QObject
{
    Q_OBJECT

public:
    explicit AudioOutput(PlayerBackend *backend, QObject *parent = nullptr);

    void setMute(bool mute);
    bool isMute() const { return m_mute; }

private:
    PlayerBackend *m_backend;
    bool m_mute = false;
};

} // namespace QtAV

#endif // AUDIOOUTPUT_H
