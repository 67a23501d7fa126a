#ifndef TESTUTIL_H
#define TESTUTIL_H

#include <QByteArray>
#include <QJsonObject>
#include <QString>

#include <functional>

class QProcess;

namespace TestUtil {

// A TCP port on 127.0.0.1 that was free a moment ago, for a server the
// test starts itself and that cannot pick its own port. Never an address
// for "nobody answers": someone may have taken it since; that is
// TestEnvironment::deadBaseUrl().
quint16 freeTcpPort();
// A free port for a server that must start again on it (a broker, a media
// server): below the range the system hands out to outgoing connections,
// which may take a port from that range while the server is stopped (and a
// connect to it may even reach itself). 0 when the one tried is in use.
quint16 restartablePort();
// Starts a server through startOn: again on port when it has one (a
// restart), else on restartable ports until one works, which port then
// keeps. False (with a warning naming the server) when none did.
bool startOnRestartablePort(quint16 &port, const std::function<bool(quint16)> &startOn, const char *name);
// Ends a process the test started: SIGTERM, then SIGKILL.
void stopProcess(QProcess &process, int timeoutMs = 30000);
// Ends a helper the test started (a broker, a server) as above and records
// a failure of the running test unless it ended by its SIGTERM handler
// with status 0: a helper that crashes or fails on the way out is a fault
// the test would otherwise miss.
void stopHelper(QProcess &process, const QString &name, int timeoutMs = 30000);

// Delivers what is already queued (posted events, deferred deletions,
// pending notifications) without waiting for time to pass: for checking
// that nothing more follows once everything that could speak is gone.
void drainEvents();

// A classroom message's envelope text of type from sender around data, with
// a fresh uuid, as another participant or the service's back end sends it.
QString classroomEnvelope(int type, const QString &sender, const QJsonObject &data);

// Folder of the built binaries (the client's installation folder).
QString binDir();

// Writes bytes to path, replacing what was there; false when it cannot.
bool writeFile(const QString &path, const QByteArray &bytes);

// The addresses of a servers file; an entry left empty takes main's.
struct ServerAddresses
{
    QString main;
    QString us;
    QString europe;
    QString singapore;
    QString development;
    QString site;
};

// Writes a complete servers file at path, the brokers and relays at the
// test's dead address (TestEnvironment::deadPort()); false, with a warning
// saying why, when it cannot be written.
bool writeServersIni(const QString &path, const ServerAddresses &addresses);
// Writes the file as above and points LESSONRY_SERVERS_INI at it.
bool useServersIni(const QString &path, const ServerAddresses &addresses);

// Ends a helper process the test started (closing its standard input, as
// the test's end, and waiting) unless it has ended already, and records a
// failure of the running test function when it did not end by itself
// with status 0. killedOnPurpose: the test ended it with SIGKILL, which
// is then the expected end. Called by the helpers' wrappers as they go.
void expectHelperEndedWell(QProcess &process, const QString &name, bool killedOnPurpose);

} // namespace TestUtil

#endif // TESTUTIL_H
