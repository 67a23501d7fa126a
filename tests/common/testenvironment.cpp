#include "testenvironment.h"

#include <QByteArray>
#include <QFile>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

namespace {

const char kServersIniVariable[] = "LESSONRY_SERVERS_INI";

// Set up by a static initialiser, so it is in force before main() and
// before any test or fixture reads the servers file. Plain POSIX calls:
// nothing of Qt is usable yet.
class Environment
{
public:
    Environment()
    {
        bindDeadPort();
        writeServersIni();
        setenv(kServersIniVariable, m_iniPath.c_str(), 1);
    }

    ~Environment()
    {
        if (!m_iniPath.empty()) {
            std::remove(m_iniPath.c_str());
            rmdir(m_folder.c_str());
        }
        // The socket goes with the process.
    }

    quint16 port() const { return m_port; }
    const std::string &iniPath() const { return m_iniPath; }

private:
    void bindDeadPort()
    {
        // Bound without SO_REUSEADDR and never listened on: connects are
        // refused, and no other socket can bind the port while we live.
        const int fd = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
        sockaddr_in address;
        std::memset(&address, 0, sizeof(address));
        address.sin_family = AF_INET;
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        address.sin_port = 0;
        socklen_t length = sizeof(address);
        if (fd < 0 || bind(fd, reinterpret_cast<sockaddr *>(&address), sizeof(address)) != 0
            || getsockname(fd, reinterpret_cast<sockaddr *>(&address), &length) != 0) {
            std::fprintf(stderr, "test environment: cannot hold a dead port: %s\n", std::strerror(errno));
            std::abort();
        }
        m_port = ntohs(address.sin_port);
    }

    void writeServersIni()
    {
        const char *tmp = std::getenv("TMPDIR");
        std::string folder = std::string(tmp && *tmp ? tmp : "/tmp") + "/lessonry-servers.XXXXXX";
        if (!mkdtemp(folder.data())) {
            std::fprintf(stderr, "test environment: cannot make %s: %s\n", folder.c_str(), std::strerror(errno));
            std::abort();
        }
        m_folder = folder;
        m_iniPath = folder + "/servers.ini";
        const std::string base = "http://127.0.0.1:" + std::to_string(m_port);
        const std::string port = std::to_string(m_port);
        const std::string text = "[api]\nmain=" + base + "\nus=" + base + "\neurope=" + base + "\nsingapore=" + base
            + "\ndevelopment=" + base + "\n[web]\nsite=" + base + "\n[mqtt]\nproduction_host=127.0.0.1\nproduction_port="
            + port + "\ndevelopment_host=127.0.0.1\ndevelopment_port=" + port + "\n[signalling]\nhost=127.0.0.1\nport="
            + port + "\n[rtc]\nhost=127.0.0.1\nport=" + port + "\njanus=" + base + "/janus\n";
        FILE *file = std::fopen(m_iniPath.c_str(), "w");
        if (!file || std::fwrite(text.data(), 1, text.size(), file) != text.size() || std::fclose(file) != 0) {
            std::fprintf(stderr, "test environment: cannot write %s\n", m_iniPath.c_str());
            std::abort();
        }
    }

    quint16 m_port = 0;
    std::string m_folder;
    std::string m_iniPath;
};

const Environment &environment()
{
    static const Environment instance;
    return instance;
}

// Runs before main().
[[maybe_unused]] const bool g_ready = (environment(), true);

} // namespace

namespace TestEnvironment {

quint16 deadPort()
{
    return environment().port();
}

QString deadBaseUrl()
{
    return QStringLiteral("http://127.0.0.1:%1").arg(deadPort());
}

QString defaultServersIni()
{
    return QFile::decodeName(QByteArray::fromStdString(environment().iniPath()));
}

void restoreDefaultServersIni()
{
    qputenv(kServersIniVariable, QFile::encodeName(defaultServersIni()));
}

} // namespace TestEnvironment
