#ifndef AUDIOMEDIAWITHAGORAMIXINGCONTROLUTIL_H
#define AUDIOMEDIAWITHAGORAMIXINGCONTROLUTIL_H

#include "utility/audiomixingtrack.h"
#include "utility/widget/audiomediacontrolutil.h"

// An audio row's control that sends the same file into the class's RTC
// channel as mixed audio, so that the students hear it, while the row's own
// (muted) player only moves the slider and the time labels. The whole time
// comes from the media storage.
class AudioMediaWithAgoraMixingControlUtil : public AudioMediaControlUtil
{
    Q_OBJECT

public:
    explicit AudioMediaWithAgoraMixingControlUtil(QObject *parent = nullptr);
    ~AudioMediaWithAgoraMixingControlUtil() override;

    void onFinished() override;
    void onPlay() override;
    void onPause() override;
    void onResume() override;

    void setAudioFile(const QString &audioUrl, const QString &audioFilePath);
    QString getAudioFilePath() const { return m_track.filePath(); }
    bool isAudioMixingStarted() const { return m_track.isStarted(); }

public slots:
    void slot_onSuccess_getAvInfoFromQiNiu(QString response);

private:
    AudioMixingTrack m_track;
    bool isOnlyLocalhasVoice = false;
};

#endif // AUDIOMEDIAWITHAGORAMIXINGCONTROLUTIL_H
