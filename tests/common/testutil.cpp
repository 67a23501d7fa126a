#include "testutil.h"

#include <QProcess>
#include <QTest>

#include "testenvironment.h"

#include <QCoreApplication>
#include <QJsonDocument>
#include <QUuid>
#include <QFile>
#include <QHostAddress>
#include <QRandomGenerator>
#include <QTcpServer>

namespace TestUtil {

quint16 restartablePort()
{
    int firstEphemeral = 32768;
    QFile range(QStringLiteral("/proc/sys/net/ipv4/ip_local_port_range"));
    if (range.open(QIODevice::ReadOnly)) {
        const QList<QByteArray> bounds = range.readAll().simplified().split(' ');
        bool ok = false;
        const int first = bounds.value(0).toInt(&ok);
        if (ok && first > 2048)
            firstEphemeral = first;
    }
    const int highest = firstEphemeral - 1;
    const int lowest = qMax(1024, highest - 12000);
    const quint16 port = quint16(QRandomGenerator::global()->bounded(lowest, highest + 1));
    // Skip what is plainly in use; a clash after this check ends the
    // server at once, and the caller tries another.
    QTcpServer probe;
    return probe.listen(QHostAddress::LocalHost, port) ? port : 0;
}

bool startOnRestartablePort(quint16 &port, const std::function<bool(quint16)> &startOn, const char *name)
{
    const int restartAttempts = 5; // something may hold the port for a moment
    const int portAttempts = 20;
    if (port != 0) {
        for (int attempt = 0; attempt < restartAttempts; ++attempt) {
            if (startOn(port))
                return true;
        }
        qWarning("cannot start %s again on port %u", name, unsigned(port));
        return false;
    }
    for (int attempt = 0; attempt < portAttempts; ++attempt) {
        const quint16 candidate = restartablePort();
        if (candidate != 0 && startOn(candidate)) {
            port = candidate;
            return true;
        }
    }
    qWarning("cannot start %s on any free port", name);
    return false;
}

void stopProcess(QProcess &process, int timeoutMs)
{
    if (process.state() == QProcess::NotRunning)
        return;
    process.terminate();
    if (!process.waitForFinished(timeoutMs)) {
        process.kill();
        process.waitForFinished(timeoutMs);
    }
}

namespace {

// A failure of the running test function; past the last one (a fixture
// that outlives the run) the process ends with the message instead.
void failHelperCheck(const char *check, const QString &message, const char *file, int line)
{
    if (QTest::currentTestFunction()) {
        QTest::qVerify(false, check, qPrintable(message), file, line);
        return;
    }
    qFatal("%s", qPrintable(message));
}

QString howItEnded(const QProcess &process)
{
    return process.exitStatus() == QProcess::NormalExit
        ? QStringLiteral("with status %1").arg(process.exitCode())
        : QStringLiteral("by a crash (signal %1)").arg(process.exitCode());
}

} // namespace

void stopHelper(QProcess &process, const QString &name, int timeoutMs)
{
    if (process.state() == QProcess::NotRunning && process.error() == QProcess::FailedToStart)
        return; // never started: the test has said why already
    if (process.state() != QProcess::NotRunning) {
        process.terminate();
        if (!process.waitForFinished(timeoutMs)) {
            process.kill();
            process.waitForFinished(timeoutMs);
            failHelperCheck("helper ended well", name + QStringLiteral(" did not end within %1 ms of SIGTERM").arg(timeoutMs),
                            __FILE__, __LINE__);
            return;
        }
    }
    if (process.exitStatus() != QProcess::NormalExit || process.exitCode() != 0)
        failHelperCheck("helper ended well", name + QStringLiteral(" ended ") + howItEnded(process), __FILE__, __LINE__);
}

quint16 freeTcpPort()
{
    QTcpServer server;
    if (!server.listen(QHostAddress::LocalHost, 0))
        return 0;
    return server.serverPort();
}

QString classroomEnvelope(int type, const QString &sender, const QJsonObject &data)
{
    const QJsonObject envelope{ { "version", 2 },
                                { "sequence", 1 },
                                { "type", type },
                                { "src", 2 },
                                { "sender", sender },
                                { "uuid", QUuid::createUuid().toString(QUuid::WithoutBraces) },
                                { "data", data } };
    return QString::fromUtf8(QJsonDocument(envelope).toJson(QJsonDocument::Compact));
}

void drainEvents()
{
    QCoreApplication::sendPostedEvents();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QCoreApplication::processEvents();
}

QString binDir()
{
    return QStringLiteral(LESSONRY_BIN_DIR);
}

bool writeFile(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

bool writeServersIni(const QString &path, const ServerAddresses &addresses)
{
    const auto orMain = [&addresses](const QString &address) {
        return address.isEmpty() ? addresses.main : address;
    };
    const QString text = QStringLiteral("[api]\nmain=%1\nus=%2\neurope=%3\nsingapore=%4\ndevelopment=%5\n"
                                        "[web]\nsite=%6\n"
                                        "[mqtt]\nproduction_host=127.0.0.1\nproduction_port=%7\n"
                                        "development_host=127.0.0.1\ndevelopment_port=%7\n"
                                        "[signalling]\nhost=127.0.0.1\nport=%7\n"
                                        "[rtc]\nhost=127.0.0.1\nport=%7\njanus=http://127.0.0.1:%7/janus\n")
                             .arg(addresses.main, orMain(addresses.us), orMain(addresses.europe),
                                  orMain(addresses.singapore), orMain(addresses.development), orMain(addresses.site))
                             .arg(TestEnvironment::deadPort());
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) || file.write(text.toUtf8()) < 0 || !file.flush()) {
        qWarning("cannot write %s: %s", qPrintable(path), qPrintable(file.errorString()));
        return false;
    }
    return true;
}

bool useServersIni(const QString &path, const ServerAddresses &addresses)
{
    if (!writeServersIni(path, addresses))
        return false;
    qputenv("LESSONRY_SERVERS_INI", QFile::encodeName(path));
    return true;
}

void expectHelperEndedWell(QProcess &process, const QString &name, bool killedOnPurpose)
{
    if (process.state() == QProcess::NotRunning && process.error() == QProcess::FailedToStart)
        return; // never started: the test has said why already
    if (process.state() != QProcess::NotRunning) {
        process.closeWriteChannel();
        if (!process.waitForFinished(30000)) {
            process.kill();
            process.waitForFinished(5000);
            QTest::qVerify(false, "helper ended", qPrintable(name + QStringLiteral(" did not end within 30 s of its input closing")),
                           __FILE__, __LINE__);
            return;
        }
    }
    if (killedOnPurpose)
        return;
    if (process.exitStatus() != QProcess::NormalExit || process.exitCode() != 0)
        failHelperCheck("helper ended well", name + QStringLiteral(" ended ") + howItEnded(process), __FILE__, __LINE__);
}

} // namespace TestUtil
