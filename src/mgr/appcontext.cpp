#include "appcontext.h"

AppContext::AppContext(QObject *parent)
    : SingletonMgrBase(parent)
{
}

const AppConfigData &AppContext::getAppConfig() const
{
    return m_config;
}

void AppContext::setAppConfig(const AppConfigData &config)
{
    m_config = config;
}

int AppContext::getDownloadTimeout() const
{
    if (m_config.materialStagnateTimeout.isEmpty())
        return 15;
    return m_config.materialStagnateTimeout.toInt(nullptr, 10);
}

QString AppContext::getProxyServer() const
{
    return m_config.materialProxyServer;
}

bool AppContext::isAudioMixingEnabled() const
{
    return m_config.videoPlayAudiomixing.isEmpty() || m_config.videoPlayAudiomixing.toInt(nullptr, 10) != 0;
}

QString AppContext::getClassId() const
{
    return m_classId;
}

void AppContext::setClassId(const QString &classId)
{
    m_classId = classId;
}

quint32 AppContext::getClassBeginTime() const
{
    return m_classBeginTime;
}

void AppContext::setClassBeginTime(quint32 beginTime)
{
    m_classBeginTime = beginTime;
}

qint64 AppContext::getServerTimeOffset() const
{
    return m_serverTimeOffset;
}

void AppContext::setServerTimeOffset(qint64 offset)
{
    m_serverTimeOffset = offset;
}

int AppContext::getClassLength() const
{
    return m_classLength;
}

void AppContext::setClassLength(int seconds)
{
    m_classLength = seconds;
}

bool AppContext::isInClass() const
{
    return m_inClass;
}

void AppContext::setInClass(bool inClass)
{
    m_inClass = inClass;
}

void AppContext::resetClassInfo()
{
    m_inClass = false;
    m_classId.clear();
    m_classBeginTime = 0;
    m_serverTimeOffset = 0;
    m_classLength = 0;
}
