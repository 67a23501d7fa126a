#include "serverconfig.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QDebug>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QMutex>
#include <QMutexLocker>
#include <QSet>
#include <QSettings>
#include <QUrl>

namespace {

const char *const kApiKeys[] = { "api/main", "api/us", "api/europe", "api/singapore", "api/development" };

QString readText(const QSettings &settings, const QString &key)
{
    const QVariant value = settings.value(key);
    // An unquoted comma makes the ini reader return a list.
    if (value.type() == QVariant::StringList)
        return value.toStringList().join(QLatin1Char(',')).trimmed();
    return value.toString().trimmed();
}

QString withoutTrailingSlash(QString text)
{
    while (text.endsWith(QLatin1Char('/')))
        text.chop(1);
    return text;
}

// Checks one web address; returns the kind of problem, or None when "text"
// is usable. A host-only address may end in one slash.
ServerConfig::ProblemKind addressProblem(const QString &text, bool hostOnly)
{
    if (text.isEmpty())
        return ServerConfig::Missing;
    const QUrl url(text, QUrl::StrictMode);
    const QString scheme = url.scheme().toLower();
    if (!url.isValid() || (scheme != QLatin1String("http") && scheme != QLatin1String("https")) || url.host().isEmpty()
        || !url.userInfo().isEmpty() || url.hasQuery() || url.hasFragment())
        return ServerConfig::NotHttpAddress;
    if (hostOnly && !url.path().isEmpty() && url.path() != QLatin1String("/"))
        return ServerConfig::NotHostOnly;
    return ServerConfig::None;
}

} // namespace

QString ServerConfig::filePath()
{
    const QString fromEnvironment = qEnvironmentVariable("LESSONRY_SERVERS_INI");
    if (!fromEnvironment.isEmpty())
        return fromEnvironment;
    return QDir(QCoreApplication::applicationDirPath()).filePath(QStringLiteral("servers.ini"));
}

ServerConfig ServerConfig::current()
{
    // Every request asks for the settings: parse the file again only when
    // it is another file, or the same file changed on disk.
    const QString path = filePath();
    const QFileInfo info(path);
    const QString stamp = QStringLiteral("%1|%2|%3|%4")
                              .arg(path)
                              .arg(info.exists() ? info.lastModified().toMSecsSinceEpoch() : -1)
                              .arg(info.size())
                              .arg(info.isReadable() ? 1 : 0);

    static QMutex mutex;
    static QString cachedStamp;
    static ServerConfig cached;
    static QSet<QString> reported;
    QMutexLocker locker(&mutex);
    if (stamp == cachedStamp)
        return cached;
    ServerConfig config = load(path);
    cachedStamp = stamp;
    cached = config;

    // Log each distinct outcome once.
    if (config.isValid()) {
        const QString note = QStringLiteral("ok:") + config.path();
        if (!reported.contains(note)) {
            reported.insert(note);
            qInfo().noquote() << "server settings read from" << config.path();
        }
    } else {
        for (const Problem &problem : qAsConst(config.m_problems)) {
            const QString error = describe(problem, false);
            if (reported.contains(error))
                continue;
            reported.insert(error);
            qCritical().noquote() << "server settings:" << error;
        }
    }
    return config;
}

ServerConfig ServerConfig::load(const QString &path)
{
    ServerConfig config;
    config.m_path = path;

    const QFileInfo info(path);
    if (path.isEmpty() || !info.exists()) {
        config.m_problems.append({ FileMissing, QString(), path });
        return config;
    }
    QFile probe(path);
    if (!info.isFile() || !probe.open(QIODevice::ReadOnly)) {
        config.m_problems.append({ FileUnreadable, QString(), path });
        return config;
    }
    probe.close();

    const QSettings settings(path, QSettings::IniFormat);
    if (settings.status() != QSettings::NoError) {
        config.m_problems.append({ FileInvalid, QString(), path });
        return config;
    }

    for (int host = MainApi; host <= DevelopmentApi; ++host) {
        const QString key = QLatin1String(kApiKeys[host]);
        const QString text = readText(settings, key);
        const ProblemKind problem = addressProblem(text, host != DevelopmentApi);
        if (problem == None)
            config.m_api[host] = withoutTrailingSlash(text);
        else
            config.m_problems.append({ problem, key, text });
    }

    const QString siteKey = QStringLiteral("web/site");
    const QString site = readText(settings, siteKey);
    const ProblemKind siteProblem = addressProblem(site, false);
    if (siteProblem == None)
        config.m_webSite = withoutTrailingSlash(site);
    else
        config.m_problems.append({ siteProblem, siteKey, site });

    // A host and port pair, "<section>/<prefix>host" and "<section>/<prefix>port".
    const auto readEndpoint = [&](const QString &section, const QString &prefix, MqttBroker &endpoint) {
        const QString hostKey = section + QLatin1Char('/') + prefix + QStringLiteral("host");
        const QString portKey = section + QLatin1Char('/') + prefix + QStringLiteral("port");
        const QString host = readText(settings, hostKey);
        if (host.isEmpty())
            config.m_problems.append({ Missing, hostKey, host });
        else if (host.contains(QLatin1Char(' ')) || host.contains(QLatin1Char('/')))
            config.m_problems.append({ NotHostName, hostKey, host });
        else
            endpoint.host = host;

        const QString portText = readText(settings, portKey);
        bool ok = false;
        const int port = portText.toInt(&ok);
        if (portText.isEmpty())
            config.m_problems.append({ Missing, portKey, portText });
        else if (!ok || port < 1 || port > 65535)
            config.m_problems.append({ NotPortNumber, portKey, portText });
        else
            endpoint.port = static_cast<quint16>(port);
    };
    readEndpoint(QStringLiteral("mqtt"), QStringLiteral("production_"), config.m_productionBroker);
    readEndpoint(QStringLiteral("mqtt"), QStringLiteral("development_"), config.m_developmentBroker);
    // The signalling and RTC relays default to the production broker: a
    // file without their sections still names every host the client uses.
    const auto readRelay = [&](const QString &section, MqttBroker &endpoint) {
        if (settings.childGroups().contains(section))
            readEndpoint(section, QString(), endpoint);
        else
            endpoint = config.m_productionBroker;
    };
    readRelay(QStringLiteral("signalling"), config.m_signallingServer);
    readRelay(QStringLiteral("rtc"), config.m_rtcServer);
    // The media server of the class's sound and pictures (Janus's HTTP
    // API). Without one the classes run without them (said at the join);
    // a wrong one is named as any other entry.
    const QString janusKey = QStringLiteral("rtc/janus");
    const QString janus = readText(settings, janusKey);
    const ProblemKind janusProblem = janus.isEmpty() ? None : addressProblem(janus, false);
    if (janusProblem == None)
        config.m_rtcMediaServer = withoutTrailingSlash(janus);
    else
        config.m_problems.append({ janusProblem, janusKey, janus });

    return config;
}

QString ServerConfig::describe(const Problem &problem, bool translated)
{
    // The English texts are also the keys of the translation.
    const auto text = [translated](const char *source) {
        return translated ? QCoreApplication::translate("ServerConfig", source) : QString::fromLatin1(source);
    };
    // "api/main" is shown as "[api] main", the way the file spells it.
    const QString shown = QStringLiteral("[%1] %2").arg(problem.key.section(QLatin1Char('/'), 0, 0),
                                                        problem.key.section(QLatin1Char('/'), 1));
    switch (problem.kind) {
    case FileMissing:
        return text("The server settings file \"%1\" does not exist.").arg(problem.value);
    case FileUnreadable:
        return text("The server settings file \"%1\" cannot be read.").arg(problem.value);
    case FileInvalid:
        return text("The server settings file \"%1\" is not a valid settings file.").arg(problem.value);
    case Missing:
        return text("%1 is missing").arg(shown);
    case NotHttpAddress:
        return text("%1 is not an http address: \"%2\"").arg(shown, problem.value);
    case NotHostOnly:
        return text("%1 must be a scheme and host only, without a path: \"%2\"").arg(shown, problem.value);
    case NotHostName:
        return text("%1 is not a host name: \"%2\"").arg(shown, problem.value);
    case NotPortNumber:
        return text("%1 is not a port number: \"%2\"").arg(shown, problem.value);
    case None:
        break;
    }
    return QString();
}

QString ServerConfig::errorString() const
{
    QStringList lines;
    for (const Problem &problem : m_problems)
        lines << describe(problem, false);
    return lines.join(QLatin1Char('\n'));
}

QString ServerConfig::translatedErrorString() const
{
    QStringList lines;
    for (const Problem &problem : m_problems)
        lines << describe(problem, true);
    return lines.join(QLatin1Char('\n'));
}

QStringList ServerConfig::problemKeys() const
{
    QStringList keys;
    for (const Problem &problem : m_problems)
        keys << problem.key;
    return keys;
}

QString ServerConfig::apiBaseUrl(ApiHost host) const
{
    if (host < MainApi || host > DevelopmentApi)
        return QString();
    return m_api[host];
}
