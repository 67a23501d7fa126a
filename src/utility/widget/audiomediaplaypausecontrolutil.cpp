#include "audiomediaplaypausecontrolutil.h"

AudioMediaPlayPauseControlUtil::AudioMediaPlayPauseControlUtil(QObject *parent)
    : MediaPlayPauseControlUtil(parent)
{
}

AudioMediaPlayPauseControlUtil::~AudioMediaPlayPauseControlUtil() = default;
