#ifndef MEDIAWITHAGORAMIXINGCONTROLUTIL_H
#define MEDIAWITHAGORAMIXINGCONTROLUTIL_H

#include "utility/widget/mediacontrolutil.h"

#include <QPointer>

class NetWorkReplyHolder;

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

#endif // MEDIAWITHAGORAMIXINGCONTROLUTIL_H
