#ifndef SERVERCONFIG_H
#define SERVERCONFIG_H

#include <QList>
#include <QString>
#include <QStringList>

// The addresses of every server the client talks to, read from the settings
// file "servers.ini" in the installation folder (or the file named by the
// environment variable LESSONRY_SERVERS_INI). Nothing else in the program
// holds a host name.
//
// A missing, unreadable or incomplete file is never taken as "no host": the
// object is then invalid, errorString() says what is wrong, and the entries
// that could not be read are empty.
class ServerConfig
{
public:
    enum ApiHost {
        MainApi,
        UnitedStatesApi,
        EuropeApi,
        SingaporeApi,
        DevelopmentApi
    };

    enum ProblemKind {
        None,
        FileMissing,
        FileUnreadable,
        FileInvalid,
        Missing,
        NotHttpAddress,
        NotHostOnly,
        NotHostName,
        NotPortNumber
    };

    struct MqttBroker
    {
        QString host;
        quint16 port = 0;
    };

    // The file in force: $LESSONRY_SERVERS_INI when set and not empty, else
    // servers.ini in the installation folder.
    static QString filePath();

    // Reads the file in force. Problems are logged at critical level, once
    // for each distinct problem, so callers on hot paths stay quiet.
    static ServerConfig current();

    // Reads one file; logs nothing.
    static ServerConfig load(const QString &path);

    bool isValid() const { return m_problems.isEmpty(); }
    // Every problem found, one sentence each, for the log; empty when the
    // file is complete.
    QString errorString() const;
    // The same sentences in the language of the user interface.
    QString translatedErrorString() const;
    // The entry of each problem as "section/key" ("api/main"); an empty
    // text for a problem with the file as a whole.
    QStringList problemKeys() const;
    QString path() const { return m_path; }

    // "scheme://host[:port]" (development: may carry a path), never with a
    // trailing slash; empty when the entry is missing or not an address.
    QString apiBaseUrl(ApiHost host) const;
    // Base address of the lesson web site (help and FAQ pages), no trailing
    // slash.
    QString webSite() const { return m_webSite; }
    MqttBroker productionMqttBroker() const { return m_productionBroker; }
    MqttBroker developmentMqttBroker() const { return m_developmentBroker; }
    // Where our signalling library and our RTC engine meet their peers
    // ([signalling] and [rtc]: host and port of the relay they ride on; the
    // production broker when the file has no such section).
    MqttBroker signallingServer() const { return m_signallingServer; }
    MqttBroker rtcServer() const { return m_rtcServer; }
    // The Janus media server of the RTC engine's sound and pictures
    // ([rtc] janus, "http://host:port/janus"); empty when missing or unusable.
    QString rtcMediaServer() const { return m_rtcMediaServer; }

private:
    struct Problem
    {
        ProblemKind kind;
        QString key;
        QString value;
    };
    static QString describe(const Problem &problem, bool translated);

    QString m_path;
    QList<Problem> m_problems;
    QString m_api[DevelopmentApi + 1];
    QString m_webSite;
    MqttBroker m_productionBroker;
    MqttBroker m_developmentBroker;
    MqttBroker m_signallingServer;
    MqttBroker m_rtcServer;
    QString m_rtcMediaServer;
};

#endif // SERVERCONFIG_H
