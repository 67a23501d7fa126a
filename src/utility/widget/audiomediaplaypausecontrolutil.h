#ifndef AUDIOMEDIAPLAYPAUSECONTROLUTIL_H
#define AUDIOMEDIAPLAYPAUSECONTROLUTIL_H

#include "utility/widget/mediaplaypausecontrolutil.h"

// The play/pause state of one audio row behind its button. The state
// machine is the video players' own; the audio family only drives another
// player beneath it.
class AudioMediaPlayPauseControlUtil : public MediaPlayPauseControlUtil
{
    Q_OBJECT

public:
    explicit AudioMediaPlayPauseControlUtil(QObject *parent = nullptr);
    ~AudioMediaPlayPauseControlUtil() override;
};

#endif // AUDIOMEDIAPLAYPAUSECONTROLUTIL_H
