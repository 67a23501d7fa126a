#ifndef MEDIAWITHAGORAMIXINGCONTROLUTIL_H
#define MEDIAWITHAGORAMIXINGCONTROLUTIL_H

#include "mgr/http/networkreplyholder.h"
#include "utility/widget/mediacontrolutil.h"

#include <QPointer>


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

    // The engine steps shared with the audio rows' control. Each takes the
    // sound file; an empty one is only logged.
    static void startMixing(const QString &filePath, bool loopback);
    static void pauseMixing(const QString &filePath);
    static void resumeMixing(const QString &filePath);
    // Replaces reply with a request for the duration of url at the media
    // storage, whose answer goes to receiver's slot; none for an empty url.
    template<typename Receiver>
    static void requestAvInfo(QPointer<NetWorkReplyHolder> &reply, const QString &url, Receiver *receiver,
                              void (Receiver::*slot)(QString))
    {
        delete reply.data();
        reply = startAvInfoRequest(url);
        if (reply)
            QObject::connect(reply, &NetWorkReplyHolder::signal_onSuccess, receiver, slot);
    }
    static NetWorkReplyHolder *startAvInfoRequest(const QString &url);
    // While a lesson video plays the microphone is off, and the class page
    // is told so.
    static void setMicrophoneMutedForVideo(bool muted);

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
