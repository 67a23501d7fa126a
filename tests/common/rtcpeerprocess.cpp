#include "rtcpeerprocess.h"

#include "testutil.h"

#include <QDeadlineTimer>
#include <QDir>

RtcPeerProcess::RtcPeerProcess(quint16 relayPort, uint uid, int connectionLostTimeoutMs, const QString &appId)
    : m_port(relayPort)
    , m_uid(uid)
    , m_lostTimeoutMs(connectionLostTimeoutMs)
    , m_appId(appId)
{
    m_process.setProcessChannelMode(QProcess::ForwardedErrorChannel);
}

RtcPeerProcess::~RtcPeerProcess()
{
    // Leaves as a closing participant would, and must end with status 0.
    TestUtil::expectHelperEndedWell(m_process, QStringLiteral("RTC peer %1").arg(m_uid), m_killed);
}

void RtcPeerProcess::setMedia(const QString &janusUrl, int toneHz, const QString &speaker)
{
    m_mediaArguments = QStringList { QStringLiteral("--janus"), janusUrl };
    if (toneHz > 0)
        m_mediaArguments << QStringLiteral("--tone") << QString::number(toneHz);
    if (!speaker.isEmpty())
        m_mediaArguments << QStringLiteral("--speaker") << speaker;
}

bool RtcPeerProcess::start()
{
    QStringList arguments { QStringLiteral("--port"), QString::number(m_port), QStringLiteral("--uid"), QString::number(m_uid) };
    if (m_lostTimeoutMs > 0)
        arguments << QStringLiteral("--lost-timeout") << QString::number(m_lostTimeoutMs);
    if (!m_appId.isEmpty())
        arguments << QStringLiteral("--app-id") << m_appId;
    arguments << m_mediaArguments;
    if (m_cameras)
        arguments << QStringLiteral("--cameras");
    if (!m_logPath.isEmpty())
        arguments << QStringLiteral("--log") << m_logPath;
    m_process.start(QDir(TestUtil::binDir()).filePath(QStringLiteral("helper_rtcpeer")), arguments);
    if (!m_process.waitForStarted(5000))
        return false;
    return !take(QStringLiteral("ready")).isEmpty();
}

void RtcPeerProcess::command(const QString &line)
{
    m_process.write(line.toUtf8() + '\n');
    m_process.waitForBytesWritten(5000);
}

void RtcPeerProcess::readLines()
{
    m_pending.append(m_process.readAllStandardOutput());
    int end;
    while ((end = m_pending.indexOf('\n')) >= 0) {
        m_lines.append(QString::fromUtf8(m_pending.left(end)));
        m_taken.append(false);
        m_pending.remove(0, end + 1);
    }
}

QString RtcPeerProcess::take(const QString &prefix, int timeoutMs)
{
    QDeadlineTimer deadline(timeoutMs);
    for (;;) {
        readLines();
        for (int i = 0; i < m_lines.size(); ++i) {
            if (!m_taken.at(i) && m_lines.at(i).startsWith(prefix)) {
                m_taken[i] = true;
                return m_lines.at(i);
            }
        }
        if (deadline.hasExpired() || m_process.state() == QProcess::NotRunning)
            return QString();
        m_process.waitForReadyRead(int(qMin<qint64>(50, qMax<qint64>(1, deadline.remainingTime()))));
    }
}

QStringList RtcPeerProcess::takeMany(const QString &prefix, int count, int timeoutMs)
{
    QDeadlineTimer deadline(timeoutMs);
    QStringList taken;
    while (taken.size() < count) {
        const QString line = take(prefix, int(qMax<qint64>(1, deadline.remainingTime())));
        if (line.isEmpty())
            break;
        taken.append(line);
    }
    return taken;
}

QStringList RtcPeerProcess::lines()
{
    readLines();
    return m_lines;
}

int RtcPeerProcess::joinWithStream(const QString &channel)
{
    command(QStringLiteral("join ") + channel);
    if (take(QStringLiteral("join-result ")) != QLatin1String("join-result 0"))
        return 0;
    if (take(QStringLiteral("joined ")).isEmpty())
        return 0;
    command(QStringLiteral("stream"));
    const QStringList parts = take(QStringLiteral("stream-result ")).split(QLatin1Char(' '));
    if (parts.size() != 3 || parts.at(1) != QLatin1String("0"))
        return 0;
    return parts.at(2).toInt();
}

void RtcPeerProcess::kill()
{
    m_killed = true;
    m_process.kill();
    m_process.waitForFinished(5000);
}

int RtcPeerProcess::finish(int timeoutMs)
{
    m_process.closeWriteChannel();
    if (!m_process.waitForFinished(timeoutMs))
        return -1;
    readLines();
    return m_process.exitStatus() == QProcess::NormalExit ? m_process.exitCode() : -1;
}
