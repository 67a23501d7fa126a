#include "singleinstanceguard.h"

#include <QCoreApplication>
#include <QCryptographicHash>
#include <QDataStream>
#include <QDeadlineTimer>
#include <QDir>
#include <QLocalServer>
#include <QLocalSocket>
#include <QLockFile>
#include <QMutex>
#include <QMutexLocker>
#include <QStandardPaths>
#include <QTimer>

#include <map>
#include <memory>

namespace {

// A request is the three window titles; a longer list is not one, and its
// count must not size an allocation.
const quint32 kMaxRequestTitles = 16;

QMutex s_locksMutex;
// Locks created by this process, kept until it ends; released (and their
// files removed) by the static destructor at exit.
std::map<QString, std::unique_ptr<QLockFile>> &ownedLocks()
{
    static std::map<QString, std::unique_ptr<QLockFile>> locks;
    return locks;
}

SingleInstanceGuard::LocalWindowRaiser s_localWindowRaiser = nullptr;

// The client's data folder: the first application data location, else the
// installation folder.
QString dataRoot()
{
    const QStringList locations = QStandardPaths::standardLocations(QStandardPaths::AppDataLocation);
    const QString folder = locations.isEmpty() ? QCoreApplication::applicationDirPath() : locations.first();
    return QDir::cleanPath(QDir(folder).absolutePath());
}

} // namespace

QString SingleInstanceGuard::lockFilePath(const QString &name)
{
    // The lock file is written with a sync to disk; in the runtime folder
    // (memory-backed) that costs nothing. Without one, the data folder.
    const QString runtime = QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
    if (runtime.isEmpty())
        return dataRoot() + QLatin1Char('/') + name + QStringLiteral(".lock");
    return QDir::cleanPath(runtime) + QLatin1Char('/') + serverName(name) + QStringLiteral(".lock");
}

QString SingleInstanceGuard::serverName(const QString &name)
{
    // Short and unique per user and data folder: local socket paths are
    // limited in length.
    const QByteArray hash = QCryptographicHash::hash(dataRoot().toUtf8(), QCryptographicHash::Sha1).toHex();
    return name + QLatin1Char('-') + QString::fromLatin1(hash.left(16));
}

bool SingleInstanceGuard::createNamedLock(const QString &name)
{
    QMutexLocker locker(&s_locksMutex);
    const QString path = lockFilePath(name);
    auto &locks = ownedLocks();
    if (locks.count(path))
        return false;
    QDir().mkpath(QFileInfo(path).absolutePath());
    auto lock = std::make_unique<QLockFile>(path);
    // Only a dead owner makes a lock stale, never its age.
    lock->setStaleLockTime(0);
    if (!lock->tryLock(0))
        return false;
    locks.emplace(path, std::move(lock));
    return true;
}

bool SingleInstanceGuard::ownsNamedLock(const QString &name)
{
    QMutexLocker locker(&s_locksMutex);
    return ownedLocks().count(lockFilePath(name)) > 0;
}

void SingleInstanceGuard::setLocalWindowRaiser(LocalWindowRaiser raiser)
{
    s_localWindowRaiser = raiser;
}

QString SingleInstanceGuard::raiseLocalWindow(const QStringList &titles)
{
    QStringList wanted;
    for (const QString &title : titles) {
        if (!title.isEmpty())
            wanted << title;
    }
    if (wanted.isEmpty() || !s_localWindowRaiser)
        return QString();
    return s_localWindowRaiser(wanted);
}

QString SingleInstanceGuard::raiseWindow(const QString &name, const QStringList &titles, int timeoutMs)
{
    QStringList wanted;
    for (const QString &title : titles) {
        if (!title.isEmpty())
            wanted << title;
    }
    if (wanted.isEmpty())
        return QString();
    if (ownsNamedLock(name))
        return raiseLocalWindow(wanted);

    QDeadlineTimer deadline(timeoutMs);
    QLocalSocket socket;
    socket.connectToServer(serverName(name));
    if (!socket.waitForConnected(int(deadline.remainingTime())))
        return QString();

    QByteArray request;
    QDataStream out(&request, QIODevice::WriteOnly);
    out.setVersion(QDataStream::Qt_5_15);
    out << wanted;
    socket.write(request);
    if (!socket.waitForBytesWritten(int(deadline.remainingTime())))
        return QString();

    QDataStream in(&socket);
    in.setVersion(QDataStream::Qt_5_15);
    while (!deadline.hasExpired()) {
        if (!socket.waitForReadyRead(int(deadline.remainingTime())))
            break;
        in.startTransaction();
        QString found;
        in >> found;
        if (in.commitTransaction()) {
            // Only a title we asked for counts as an answer.
            return wanted.contains(found) ? found : QString();
        }
    }
    return QString();
}

WindowRaiseServer::WindowRaiseServer(QObject *parent)
    : QObject(parent)
{
}

WindowRaiseServer::~WindowRaiseServer()
{
    if (m_server)
        m_server->close();
}

bool WindowRaiseServer::listen(const QString &name)
{
    if (!m_server) {
        m_server = new QLocalServer(this);
        m_server->setSocketOptions(QLocalServer::UserAccessOption);
        connect(m_server, &QLocalServer::newConnection, this, &WindowRaiseServer::slot_newConnection);
    }
    if (m_server->isListening())
        return true;
    const QString server = SingleInstanceGuard::serverName(name);
    // Only the lock's owner listens, so a socket left here by a crashed
    // owner is stale.
    QLocalServer::removeServer(server);
    if (!m_server->listen(server)) {
        qWarning("single instance server not listening: %s", qUtf8Printable(m_server->errorString()));
        return false;
    }
    return true;
}

bool WindowRaiseServer::isListening() const
{
    return m_server && m_server->isListening();
}

void WindowRaiseServer::slot_newConnection()
{
    while (QLocalSocket *socket = m_server->nextPendingConnection()) {
        if (m_connections >= m_maxConnections) {
            qWarning("single instance server: %d connections open, one more refused", m_connections);
            socket->abort();
            socket->deleteLater();
            continue;
        }
        ++m_connections;
        connect(socket, &QObject::destroyed, this, [this]() { --m_connections; });
        connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
        connect(socket, &QLocalSocket::readyRead, this, [this, socket]() { answer(socket); });
        // A copy asking to raise a window sends its request at once; one
        // that keeps the connection without a whole request is dropped.
        auto *deadline = new QTimer(socket);
        deadline->setSingleShot(true);
        connect(deadline, &QTimer::timeout, socket, [socket]() {
            qWarning("single instance server: no whole request in time, connection dropped");
            socket->abort();
            socket->deleteLater();
        });
        deadline->start(m_requestTimeoutMs);
        if (socket->bytesAvailable() > 0)
            answer(socket);
    }
}

void WindowRaiseServer::answer(QLocalSocket *socket)
{
    // A request is a few short titles; anything larger is not one.
    if (socket->bytesAvailable() > 64 * 1024) {
        socket->abort();
        socket->deleteLater();
        return;
    }
    if (socket->bytesAvailable() >= qint64(sizeof(quint32))) {
        quint32 count = 0;
        QDataStream(socket->peek(sizeof(quint32))) >> count;
        if (count > kMaxRequestTitles) {
            socket->abort();
            socket->deleteLater();
            return;
        }
    }
    QDataStream in(socket);
    in.setVersion(QDataStream::Qt_5_15);
    in.startTransaction();
    QStringList titles;
    in >> titles;
    if (!in.commitTransaction())
        return; // wait for the rest of the request

    const QString found = SingleInstanceGuard::raiseLocalWindow(titles);
    qInfo("another copy asked to raise a window, found:%s", qUtf8Printable(found));
    QByteArray reply;
    QDataStream out(&reply, QIODevice::WriteOnly);
    out.setVersion(QDataStream::Qt_5_15);
    out << found;
    socket->write(reply);
    socket->flush();
    socket->disconnectFromServer();
}
