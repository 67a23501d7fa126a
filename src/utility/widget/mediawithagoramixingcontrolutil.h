#ifndef MEDIAWITHAGORAMIXINGCONTROLUTIL_H
#define MEDIAWITHAGORAMIXINGCONTROLUTIL_H

#include "utility/audiomixingtrack.h"
#include "utility/widget/mediacontrolutil.h"

// A video player's control that also plays the material's separate sound
// file through the RTC engine's audio mixing (heard here only, or by the
// class as well), and asks the media storage for the medium's duration.
class MediaWithAgoraMixingControlUtil : public MediaControlUtil
{
    Q_OBJECT

public:
    explicit MediaWithAgoraMixingControlUtil(QObject *parent = nullptr);
    ~MediaWithAgoraMixingControlUtil() override;

    void onFinished() override;
    void onPlay() override;
    void onPause() override;
    void onResume() override;

    void setAudioFile(const QString &audioUrl, const QString &audioFilePath);
    void setIsOnlyLocalhasVoice(bool value);
    bool getIsOnlyLocalhasVoice() const { return isOnlyLocalhasVoice; }
    QString getAudioFilePath() const { return m_track.filePath(); }
    bool isAudioMixingStarted() const { return m_track.isStarted(); }

    // While a lesson video plays the microphone is off, and the class page
    // is told so.
    static void setMicrophoneMutedForVideo(bool muted);

public slots:
    void slot_onSuccess_getAvInfoFromQiNiu(QString response);

private:
    AudioMixingTrack m_track;
    bool isOnlyLocalhasVoice = false;
};

#endif // MEDIAWITHAGORAMIXINGCONTROLUTIL_H
