#ifndef AUDIOMEDIAWITHAGORAMIXINGCONTROLUTIL_H
#define AUDIOMEDIAWITHAGORAMIXINGCONTROLUTIL_H

#include "utility/widget/audiomediacontrolutil.h"

#include <QPointer>

class NetWorkReplyHolder;

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
    QString getAudioFilePath() const { return audioFilePath; }
    bool isAudioMixingStarted() const { return bStartAudioMixing; }

public slots:
    void slot_onSuccess_getAvInfoFromQiNiu(QString response);

private:
    QString audioFilePath;
    QString audioUrl;
    QPointer<NetWorkReplyHolder> avInfoReply;
    bool isOnlyLocalhasVoice = false;
    bool bStartAudioMixing = false;
};

#endif // AUDIOMEDIAWITHAGORAMIXINGCONTROLUTIL_H
