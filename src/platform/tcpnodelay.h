#ifndef TCPNODELAY_H
#define TCPNODELAY_H

#include <string>
#include <vector>

// Small messages on a connection to a broker must leave at once, not wait
// for the peer's delayed acknowledgement (Nagle's algorithm, about 40 ms).
// The MQTT library opens its sockets itself and has no option for it, so
// after each connect the process looks for its own sockets to the broker,
// by their peer address, and sets TCP_NODELAY on them.
namespace TcpNoDelay {

// Sets TCP_NODELAY on every TCP socket of this process connected to
// host:port (a name is resolved first). Returns how many sockets match.
int setOnConnectionsTo(const std::string &host, int port);
// The same for a broker address "tcp://host:port" (or "host:port").
int setOnConnectionsToUri(const std::string &serverUri);

// The file descriptors of this process's TCP sockets connected to
// host:port, and whether TCP_NODELAY is on for one (for checks and tests).
std::vector<int> socketsConnectedTo(const std::string &host, int port);
bool isSet(int fd);

} // namespace TcpNoDelay

#endif // TCPNODELAY_H
