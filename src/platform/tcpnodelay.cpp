#include "tcpnodelay.h"

#include <arpa/inet.h>
#include <dirent.h>
#include <netdb.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cstdlib>
#include <cstring>

namespace TcpNoDelay {

namespace {

// The addresses host:port stands for.
std::vector<sockaddr_storage> resolve(const std::string &host, int port)
{
    std::vector<sockaddr_storage> result;
    if (host.empty() || port <= 0 || port > 65535)
        return result;
    addrinfo hints {};
    hints.ai_family = AF_UNSPEC;
    hints.ai_socktype = SOCK_STREAM;
    hints.ai_flags = AI_NUMERICSERV;
    addrinfo *found = nullptr;
    if (getaddrinfo(host.c_str(), std::to_string(port).c_str(), &hints, &found) != 0)
        return result;
    for (addrinfo *entry = found; entry; entry = entry->ai_next) {
        sockaddr_storage address {};
        if (entry->ai_addrlen <= sizeof(address)) {
            std::memcpy(&address, entry->ai_addr, entry->ai_addrlen);
            result.push_back(address);
        }
    }
    freeaddrinfo(found);
    return result;
}

// The same address and port; an IPv4 peer seen through an IPv6 socket
// (::ffff:a.b.c.d) counts as that IPv4 address.
bool sameEndpoint(const sockaddr_storage &peer, const sockaddr_storage &wanted)
{
    const auto v4 = [](const sockaddr_storage &a, in_addr *address, in_port_t *port) {
        if (a.ss_family == AF_INET) {
            const auto *in = reinterpret_cast<const sockaddr_in *>(&a);
            *address = in->sin_addr;
            *port = in->sin_port;
            return true;
        }
        if (a.ss_family == AF_INET6) {
            const auto *in6 = reinterpret_cast<const sockaddr_in6 *>(&a);
            if (IN6_IS_ADDR_V4MAPPED(&in6->sin6_addr)) {
                std::memcpy(address, in6->sin6_addr.s6_addr + 12, 4);
                *port = in6->sin6_port;
                return true;
            }
        }
        return false;
    };
    in_addr a4 {}, b4 {};
    in_port_t aPort = 0, bPort = 0;
    if (v4(peer, &a4, &aPort) && v4(wanted, &b4, &bPort))
        return a4.s_addr == b4.s_addr && aPort == bPort;
    if (peer.ss_family == AF_INET6 && wanted.ss_family == AF_INET6) {
        const auto *a = reinterpret_cast<const sockaddr_in6 *>(&peer);
        const auto *b = reinterpret_cast<const sockaddr_in6 *>(&wanted);
        return a->sin6_port == b->sin6_port && std::memcmp(&a->sin6_addr, &b->sin6_addr, sizeof(in6_addr)) == 0;
    }
    return false;
}

bool isTcpStream(int fd)
{
    int type = 0;
    socklen_t length = sizeof(type);
    if (getsockopt(fd, SOL_SOCKET, SO_TYPE, &type, &length) != 0 || type != SOCK_STREAM)
        return false;
    sockaddr_storage own {};
    length = sizeof(own);
    if (getsockname(fd, reinterpret_cast<sockaddr *>(&own), &length) != 0)
        return false;
    return own.ss_family == AF_INET || own.ss_family == AF_INET6;
}

} // namespace

std::vector<int> socketsConnectedTo(const std::string &host, int port)
{
    std::vector<int> result;
    const std::vector<sockaddr_storage> wanted = resolve(host, port);
    if (wanted.empty())
        return result;
    DIR *folder = opendir("/proc/self/fd");
    if (!folder)
        return result;
    const int own = dirfd(folder);
    while (dirent *entry = readdir(folder)) {
        char *end = nullptr;
        const long fd = std::strtol(entry->d_name, &end, 10);
        if (end == entry->d_name || *end != '\0' || fd == own || fd < 0)
            continue;
        sockaddr_storage peer {};
        socklen_t length = sizeof(peer);
        // Fails at once for anything but a connected socket.
        if (getpeername(int(fd), reinterpret_cast<sockaddr *>(&peer), &length) != 0 || !isTcpStream(int(fd)))
            continue;
        for (const sockaddr_storage &address : wanted) {
            if (sameEndpoint(peer, address)) {
                result.push_back(int(fd));
                break;
            }
        }
    }
    closedir(folder);
    return result;
}

int setOnConnectionsTo(const std::string &host, int port)
{
    const std::vector<int> sockets = socketsConnectedTo(host, port);
    const int on = 1;
    for (int fd : sockets)
        setsockopt(fd, IPPROTO_TCP, TCP_NODELAY, &on, sizeof(on));
    return int(sockets.size());
}

int setOnConnectionsToUri(const std::string &serverUri)
{
    std::string rest = serverUri;
    const size_t scheme = rest.find("://");
    if (scheme != std::string::npos)
        rest = rest.substr(scheme + 3);
    const size_t colon = rest.rfind(':');
    if (colon == std::string::npos)
        return 0;
    std::string host = rest.substr(0, colon);
    if (host.size() >= 2 && host.front() == '[' && host.back() == ']')
        host = host.substr(1, host.size() - 2);
    const int port = std::atoi(rest.c_str() + colon + 1);
    return setOnConnectionsTo(host, port);
}

bool isSet(int fd)
{
    int value = 0;
    socklen_t length = sizeof(value);
    return getsockopt(fd, IPPROTO_TCP, TCP_NODELAY, &value, &length) == 0 && value != 0;
}

} // namespace TcpNoDelay
