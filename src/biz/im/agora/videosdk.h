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

private:
    bool m_initialized = false;
};

#endif // VIDEOSDK_H
