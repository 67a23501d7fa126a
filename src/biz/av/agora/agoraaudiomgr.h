#ifndef AGORAAUDIOMGR_H
#define AGORAAUDIOMGR_H

#include "mgr/singletonmgrbase.h"

#include <QString>

// Mixes a lesson audio file into the outgoing RTC audio while it plays, so
// that the other side hears it: start, pause, resume and stop through the
// engine's options. Results are the engine's codes; -7 without the
// engine, -2 when the engine cannot use the path, -1 for a stop by another
// file and -3 for a path too long for the engine's option text.
class AgoraAudioMgr : public SingletonMgrBase
{
    Q_OBJECT

public:
    explicit AgoraAudioMgr(QObject *parent = nullptr);
    ~AgoraAudioMgr() override;

    static AgoraAudioMgr *instance();

    int startAudioMixing(const QString &filePath, bool loopback, bool keepMicrophone, int cycle);
    // Stops only when filePath is the file of the last start.
    int stopAudioMixing(const QString &filePath);
    // Stops whatever plays.
    int stopAudioMixing();
    int pauseAudioMixing();
    int resumeAudioMixing();

signals:
    void signal_onStartAudioMixing();

private:
    QString m_mixingFilePath;
};

#endif // AGORAAUDIOMGR_H
