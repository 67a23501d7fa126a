#include "audiooutput.h"

#include "playerbackend.h"

namespace QtAV {

AudioOutput::AudioOutput(PlayerBackend *backend, QObject *parent)
    : QObject(parent)
    , m_backend(backend)
{
}

void AudioOutput::setMute(bool mute)
{
    m_mute = mute;
    m_backend->setMuted(mute);
}

} // namespace QtAV
