#ifndef SINGLEINSTANCEGUARD_H
#define SINGLEINSTANCEGUARD_H

#include <QObject>
#include <QString>
#include <QStringList>

class QLocalServer;
class QLocalSocket;

// Our stand-in for a named mutex and for finding and raising a top-level
// window of another running copy. The "mutex" is a lock file per user and
// data folder, kept in the user's runtime folder (a memory file system, so
// taking it costs no disk sync); a crashed owner leaves a stale lock that
// does not count;
// the owner answers window requests over a local socket of the same name.
class SingleInstanceGuard
{
public:
    // Like creating a named mutex: true when this call created it, false when
    // it already existed (another live copy, or this process, holds it). A
    // created lock is kept for the life of the process.
    static bool createNamedLock(const QString &name);
    static bool ownsNamedLock(const QString &name);

    // Restores and raises the first top-level window of the copy holding
    // the lock whose title is one of titles, tried in order; empty titles are
    // skipped. Returns the title found, or an empty text when there is none,
    // nobody listens, or no answer comes within timeoutMs.
    static QString raiseWindow(const QString &name, const QStringList &titles, int timeoutMs = 1500);

    // The same search among this process's own top-level windows, done by
    // the raiser the program set (windows are not this layer's business):
    // it gets the non-empty titles and returns the one it raised, or "".
    // Without a raiser nothing is found.
    static QString raiseLocalWindow(const QStringList &titles);
    using LocalWindowRaiser = QString (*)(const QStringList &titles);
    static void setLocalWindowRaiser(LocalWindowRaiser raiser);

    static QString lockFilePath(const QString &name);
    static QString serverName(const QString &name);
};

// Answers raiseWindow() requests of later copies while this copy runs. Lives
// for one pass of the main loop, on the GUI thread; only the copy that holds
// the lock listens. Anyone of the same user can connect: at most
// maxConnections() are served at once (later ones are closed at once), and
// one that has not sent a whole request within requestTimeoutMs() is
// dropped.
class WindowRaiseServer : public QObject
{
    Q_OBJECT

public:
    static const int kDefaultMaxConnections = 8;
    static const int kDefaultRequestTimeoutMs = 3000;

    explicit WindowRaiseServer(QObject *parent = nullptr);
    ~WindowRaiseServer() override;

    bool listen(const QString &name);
    bool isListening() const;

    int maxConnections() const { return m_maxConnections; }
    void setMaxConnections(int count) { m_maxConnections = count; }
    int requestTimeoutMs() const { return m_requestTimeoutMs; }
    void setRequestTimeoutMs(int ms) { m_requestTimeoutMs = ms; }
    // Connections open now.
    int connectionCount() const { return m_connections; }

private slots:
    void slot_newConnection();

private:
    void answer(QLocalSocket *socket);

    QLocalServer *m_server = nullptr;
    int m_maxConnections = kDefaultMaxConnections;
    int m_requestTimeoutMs = kDefaultRequestTimeoutMs;
    int m_connections = 0;
};

#endif // SINGLEINSTANCEGUARD_H
