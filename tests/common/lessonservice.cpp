#include "lessonservice.h"

#include "testutil.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QFile>
#include <QHostAddress>
#include <QJsonDocument>
#include <QRegularExpression>
#include <QTcpSocket>
#include <QtGlobal>

namespace {

const int kStartTimeoutMs = 10000;
const int kStopTimeoutMs = 30000;
const int kControlTimeoutMs = 5000;
const char kServersIniVariable[] = "LESSONRY_SERVERS_INI";

} // namespace

LessonService::LessonService() = default;

LessonService::~LessonService()
{
    stop();
}

bool LessonService::start()
{
    if (isRunning())
        return true;

    const QString program = TestUtil::binDir() + QStringLiteral("/lessonry-lesson-service");
    m_process.reset(new QProcess);
    // The service's own complaints belong in the test output.
    m_process->setProcessChannelMode(QProcess::ForwardedErrorChannel);
    // It also serves the media files the build made for the player tests.
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("LESSONRY_LESSON_MEDIA_DIR"), QStringLiteral(LESSONRY_TEST_MEDIA_DIR));
    m_process->setProcessEnvironment(environment);
    // The service ends with this process, even when a test crashes.
    m_process->start(program, { QStringLiteral("--port"), QStringLiteral("0"), QStringLiteral("--parent-pid"),
                                QString::number(QCoreApplication::applicationPid()) });
    if (!m_process->waitForStarted(kStartTimeoutMs)) {
        qWarning("cannot start %s: %s", qPrintable(program), qPrintable(m_process->errorString()));
        m_process.reset();
        return false;
    }

    // Port 0 lets the service pick; it reports the port it got, which
    // leaves no window for another process to take it.
    static const QRegularExpression listening(QStringLiteral("^listening on 127\\.0\\.0\\.1:(\\d+)\\s*$"));
    QDeadlineTimer deadline(kStartTimeoutMs);
    while (!m_process->canReadLine()) {
        if (m_process->state() != QProcess::Running || deadline.hasExpired()
            || !m_process->waitForReadyRead(static_cast<int>(qMax<qint64>(1, deadline.remainingTime())))) {
            if (!m_process->canReadLine()) {
                qWarning("%s did not report that it listens", qPrintable(program));
                stop();
                return false;
            }
        }
    }
    const QString line = QString::fromUtf8(m_process->readLine());
    const QRegularExpressionMatch match = listening.match(line);
    if (!match.hasMatch()) {
        qWarning("unexpected first line of %s: %s", qPrintable(program), qPrintable(line));
        stop();
        return false;
    }
    m_port = static_cast<quint16>(match.captured(1).toUInt());

    if (!writeServersIni()) {
        stop();
        return false;
    }
    m_previousServersIni = qgetenv(kServersIniVariable);
    qputenv(kServersIniVariable, QFile::encodeName(serversIniPath()));
    m_ownsEnvironment = true;
    return true;
}

void LessonService::stop()
{
    if (m_ownsEnvironment) {
        // Only when no one pointed it elsewhere in the meantime.
        if (qgetenv(kServersIniVariable) == QFile::encodeName(serversIniPath())) {
            if (m_previousServersIni.isEmpty())
                qunsetenv(kServersIniVariable);
            else
                qputenv(kServersIniVariable, m_previousServersIni);
        }
        m_ownsEnvironment = false;
    }
    if (m_process) {
        // Killed after kStopTimeoutMs; anything but status 0 fails the test.
        TestUtil::stopHelper(*m_process, QStringLiteral("the lesson service"), kStopTimeoutMs);
        m_lastExitCode = m_process->exitStatus() == QProcess::NormalExit ? m_process->exitCode() : -1;
        m_process.reset();
    }
    m_iniDir.reset();
    m_port = 0;
}

bool LessonService::isRunning() const
{
    return m_process && m_process->state() == QProcess::Running && m_port != 0;
}

int LessonService::lastExitCode() const
{
    return m_lastExitCode;
}

quint16 LessonService::port() const
{
    return m_port;
}

QString LessonService::baseUrl() const
{
    return QStringLiteral("http://127.0.0.1:%1").arg(m_port);
}

QString LessonService::serversIniPath() const
{
    return m_iniDir ? m_iniDir->filePath(QStringLiteral("servers.ini")) : QString();
}

QString LessonService::fixtureUrl(const QString &fileName) const
{
    return baseUrl() + QStringLiteral("/files/") + fileName;
}

bool LessonService::reset()
{
    return control("POST", "/__control/reset").status == 200;
}

bool LessonService::setUpgradeAnswer(const QJsonObject &description)
{
    return control("POST", "/__control/upgrade", QJsonDocument(description).toJson(QJsonDocument::Compact)).status == 200;
}

bool LessonService::setFault(const QString &path, const QString &mode, const QJsonObject &extra)
{
    QJsonObject description = extra;
    description.insert(QStringLiteral("path"), path);
    description.insert(QStringLiteral("mode"), mode);
    const ControlReply reply = control("POST", "/__control/fault", QJsonDocument(description).toJson(QJsonDocument::Compact));
    if (reply.status != 200)
        qWarning("fault %s on %s refused: %s", qPrintable(mode), qPrintable(path), reply.body.constData());
    return reply.status == 200;
}

QJsonArray LessonService::requests()
{
    const ControlReply reply = control("GET", "/__control/requests");
    return QJsonDocument::fromJson(reply.body).array();
}

QJsonObject LessonService::lastRequest(const QString &path)
{
    const QJsonArray all = requests();
    for (int i = all.size() - 1; i >= 0; --i) {
        const QJsonObject entry = all.at(i).toObject();
        if (entry.value(QStringLiteral("path")).toString() == path)
            return entry;
    }
    return QJsonObject();
}

LessonService::ControlReply LessonService::control(const QByteArray &method, const QByteArray &path, const QByteArray &body)
{
    ControlReply reply;
    if (m_port == 0)
        return reply;
    QTcpSocket socket;
    socket.connectToHost(QHostAddress::LocalHost, m_port);
    if (!socket.waitForConnected(kControlTimeoutMs)) {
        qWarning("cannot reach the lesson service: %s", qPrintable(socket.errorString()));
        return reply;
    }
    QByteArray request = method + ' ' + path + " HTTP/1.1\r\n"
        + "Host: 127.0.0.1:" + QByteArray::number(m_port) + "\r\n"
        + "Connection: close\r\n";
    if (!body.isEmpty())
        request += "Content-Type: application/json\r\n";
    if (method == "POST")
        request += "Content-Length: " + QByteArray::number(body.size()) + "\r\n";
    request += "\r\n" + body;
    socket.write(request);

    // The service closes the connection after the answer (Connection: close).
    QByteArray response;
    QDeadlineTimer deadline(kControlTimeoutMs);
    while (!deadline.hasExpired()) {
        if (!socket.waitForReadyRead(static_cast<int>(qMax<qint64>(1, deadline.remainingTime()))))
            break;
        response += socket.readAll();
    }
    response += socket.readAll();

    const int headerEnd = response.indexOf("\r\n\r\n");
    const QList<QByteArray> statusLine = response.left(response.indexOf("\r\n")).split(' ');
    if (headerEnd < 0 || statusLine.size() < 2) {
        qWarning("no answer from the lesson service to %s %s", method.constData(), path.constData());
        return reply;
    }
    reply.status = statusLine.at(1).toInt();
    reply.body = response.mid(headerEnd + 4);
    return reply;
}

bool LessonService::writeServersIni()
{
    m_iniDir.reset(new QTemporaryDir);
    if (!m_iniDir->isValid()) {
        qWarning("cannot make a folder for servers.ini: %s", qPrintable(m_iniDir->errorString()));
        return false;
    }
    TestUtil::ServerAddresses addresses;
    addresses.main = baseUrl();
    return TestUtil::writeServersIni(serversIniPath(), addresses);
}
