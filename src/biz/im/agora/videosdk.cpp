#include "videosdk.h"

#include "mgr/singleton.h"

#include <QDebug>

VideoSDK::VideoSDK(QObject *parent)
    : QObject(parent)
{
}

VideoSDK::~VideoSDK() = default;

VideoSDK *VideoSDK::instance()
{
    return Singleton<VideoSDK>::instance();
}

void VideoSDK::init()
{
    if (m_initialized) {
        qInfo("VideoSDK already initialized");
        return;
    }
    qInfo("VideoSDK init");
    m_initialized = true;
}

bool VideoSDK::sendStreamMessage(const QString &)
{
    return false;
}
