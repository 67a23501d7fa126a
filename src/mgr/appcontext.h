#ifndef APPCONTEXT_H
#define APPCONTEXT_H

#include "mgr/singletonmgrbase.h"

#include <QString>

// Server-supplied settings of the application configuration call.
struct AppConfigData
{
    QString materialStagnateTimeout = QStringLiteral("15"); // "material_stagnate_timeout"
    QString materialProxyServer;                            // "material_proxy_server"
    QString videoPlayAudiomixing = QStringLiteral("1");     // "video_play_audiomixing"
};

// Application-wide state: the server's configuration and the class in
// progress. Lives on the GUI thread.
class AppContext : public SingletonMgrBase
{
public:
    explicit AppContext(QObject *parent = nullptr);

    const AppConfigData &getAppConfig() const;
    void setAppConfig(const AppConfigData &config);

    // Seconds without progress after which a courseware download counts as
    // stalled: 15 when the server sent nothing, 0 when it sent no number.
    int getDownloadTimeout() const;
    QString getProxyServer() const;
    bool isAudioMixingEnabled() const;

    QString getClassId() const;
    void setClassId(const QString &classId);
    quint32 getClassBeginTime() const;
    void setClassBeginTime(quint32 beginTime);
    // Server clock minus local clock, in milliseconds.
    qint64 getServerTimeOffset() const;
    void setServerTimeOffset(qint64 offset);
    int getClassLength() const;
    void setClassLength(int seconds);
    bool isInClass() const;
    void setInClass(bool inClass);

    // Forgets the class; the configuration stays.
    void resetClassInfo();

private:
    AppConfigData m_config;
    QString m_classId;
    quint32 m_classBeginTime = 0;
    qint64 m_serverTimeOffset = 0;
    int m_classLength = 0;
    bool m_inClass = false;
};

#endif // APPCONTEXT_H
