#include "classroompeerprocess.h"

#include "testutil.h"

#include <QDateTime>
#include <QDeadlineTimer>
#include <QDir>
#include <QEventLoop>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTimer>

#include <cstdio>

ClassroomPeerProcess::ClassroomPeerProcess(QObject *parent)
    : QObject(parent)
{
    // The participant's own problems go to the test's log, and are kept.
    connect(&m_process, &QProcess::readyReadStandardOutput, this, &ClassroomPeerProcess::readOutput);
    connect(&m_process, &QProcess::readyReadStandardError, this, &ClassroomPeerProcess::readProblems);
}

ClassroomPeerProcess::~ClassroomPeerProcess()
{
    // Leaves as a closing client would, and must end with status 0.
    TestUtil::expectHelperEndedWell(m_process, QStringLiteral("classroom peer ") + m_process.arguments().join(QLatin1Char(' ')),
                                    m_killed);
}

bool ClassroomPeerProcess::start(Role role, const QString &uid, const QString &classId, double timeScale)
{
    const QString program = QDir(TestUtil::binDir())
                                .filePath(role == Student ? QStringLiteral("lessonry-classroom-peer-student")
                                                          : QStringLiteral("lessonry-classroom-peer-teacher"));
    return startProgram(program, { QStringLiteral("--uid"), uid, QStringLiteral("--class"), classId,
                                   QStringLiteral("--time-scale"), QString::number(timeScale) });
}

bool ClassroomPeerProcess::startProgram(const QString &program, const QStringList &arguments)
{
    m_process.start(program, arguments);
    if (!m_process.waitForStarted(5000)) {
        qWarning("cannot start %s: %s", qPrintable(program), qPrintable(m_process.errorString()));
        return false;
    }
    return waitForLine(QStringLiteral("inchannel"), 15000);
}

void ClassroomPeerProcess::command(const QString &line)
{
    m_process.write(line.toUtf8() + '\n');
}

void ClassroomPeerProcess::send(int type, const QJsonObject &payload, const QString &peerUid)
{
    command(QStringLiteral("send %1 %2 %3")
                .arg(type)
                .arg(peerUid.isEmpty() ? QStringLiteral("-") : peerUid)
                .arg(QString::fromUtf8(QJsonDocument(payload).toJson(QJsonDocument::Compact))));
}

QStringList ClassroomPeerProcess::linesStartingWith(const QString &prefix) const
{
    QStringList result;
    for (const QString &line : m_lines) {
        if (line.startsWith(prefix))
            result << line;
    }
    return result;
}

bool ClassroomPeerProcess::waitForLine(const std::function<bool(const QString &)> &match, int timeoutMs, int from)
{
    QDeadlineTimer deadline(timeoutMs);
    int checked = from;
    while (true) {
        for (; checked < m_lines.size(); ++checked) {
            if (match(m_lines.at(checked)))
                return true;
        }
        if (deadline.hasExpired() || m_process.state() == QProcess::NotRunning)
            return false;
        QEventLoop loop;
        QTimer::singleShot(qMax<qint64>(1, qMin<qint64>(50, deadline.remainingTime())), &loop, &QEventLoop::quit);
        connect(&m_process, &QProcess::readyReadStandardOutput, &loop, &QEventLoop::quit);
        loop.exec();
        readOutput();
    }
}

bool ClassroomPeerProcess::waitForLine(const QString &exact, int timeoutMs, int from)
{
    return waitForLine([&exact](const QString &line) { return line == exact; }, timeoutMs, from);
}

void ClassroomPeerProcess::kill()
{
    m_killed = true;
    m_process.kill();
    m_process.waitForFinished(3000);
}

bool ClassroomPeerProcess::quit()
{
    command(QStringLiteral("quit"));
    return finish();
}

bool ClassroomPeerProcess::waitForEachOther(ClassroomPeerProcess &first, const QString &firstUid,
                                            ClassroomPeerProcess &second, const QString &secondUid, int timeoutMs)
{
    if (!first.waitForLine(QStringLiteral("inchannel"), timeoutMs)
        || !second.waitForLine(QStringLiteral("inchannel"), timeoutMs))
        return false;
    for (const char *transport : { "sig", "mqtt", "rtc" }) {
        const QString joined = QLatin1String(transport) + QStringLiteral(" joined ");
        if (!first.waitForLine(joined + secondUid, timeoutMs) || !second.waitForLine(joined + firstUid, timeoutMs)) {
            qWarning("%s: not joined on %s", Q_FUNC_INFO, transport);
            return false;
        }
    }
    return true;
}

bool ClassroomPeerProcess::finish()
{
    if (m_process.error() == QProcess::FailedToStart)
        return false;
    // A second call (or one for a participant that has ended already) only
    // reads how it ended.
    if (m_process.state() != QProcess::NotRunning) {
        m_process.closeWriteChannel();
        // Generous: leaving the class and ending the media takes a while on
        // a loaded machine.
        if (!m_process.waitForFinished(30000)) {
            qWarning("%s did not end within 30 s", qPrintable(m_process.program()));
            return false;
        }
    }
    readOutput();
    readProblems();
    if (m_killed)
        return true; // ended by the test on purpose
    if (m_process.exitStatus() != QProcess::NormalExit || m_process.exitCode() != 0) {
        qWarning("%s ended %s %d", qPrintable(m_process.program()),
                 m_process.exitStatus() == QProcess::NormalExit ? "with status" : "by signal", m_process.exitCode());
        return false;
    }
    return true;
}

void ClassroomPeerProcess::readOutput()
{
    m_pending += m_process.readAllStandardOutput();
    int end;
    while ((end = m_pending.indexOf('\n')) >= 0) {
        m_lines << QString::fromUtf8(m_pending.left(end));
        m_pending.remove(0, end + 1);
    }
}

void ClassroomPeerProcess::readProblems()
{
    const QByteArray chunk = m_process.readAllStandardError();
    fwrite(chunk.constData(), 1, size_t(chunk.size()), stderr);
    fflush(stderr);
    m_pendingProblems += chunk;
    int end;
    while ((end = m_pendingProblems.indexOf('\n')) >= 0) {
        m_problems.append({ QDateTime::currentMSecsSinceEpoch(), QString::fromUtf8(m_pendingProblems.left(end)) });
        m_pendingProblems.remove(0, end + 1);
    }
}
