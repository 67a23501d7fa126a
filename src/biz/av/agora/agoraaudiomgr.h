#ifndef AGORAAUDIOMGR_H
#define AGORAAUDIOMGR_H

#include "mgr/singletonmgrbase.h"

// Mixes lesson audio files into the outgoing RTC audio. Created with the
// RTC engine wrapper at start-up; the mixing itself comes with the lesson
// materials.
class AgoraAudioMgr : public SingletonMgrBase
{
    Q_OBJECT

public:
    explicit AgoraAudioMgr(QObject *parent = nullptr);
    ~AgoraAudioMgr() override;

    static AgoraAudioMgr *instance();

signals:
    void signal_onStartAudioMixing();
};

#endif // AGORAAUDIOMGR_H
