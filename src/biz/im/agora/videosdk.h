#ifndef VIDEOSDK_H
#define VIDEOSDK_H

#include <QObject>

// Wrapper of the real-time audio/video engine.
class VideoSDK : public QObject
{
    Q_OBJECT

public:
    explicit VideoSDK(QObject *parent = nullptr);
    ~VideoSDK() override;

    static VideoSDK *instance();

    // Initialises the engine; safe to run again in a later pass.
    void init();

    // Sends a text on the channel's data stream; false when not sent.
    // Minimal until the engine is attached: always false.
    bool sendStreamMessage(const QString &message);

signals:
    // A text from another participant's data stream.
    void signal_receiveDataStreamMsg(QString uid, QString strMsg);

private:
    bool m_initialized = false;
};

#endif // VIDEOSDK_H
