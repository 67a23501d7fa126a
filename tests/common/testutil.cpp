#include "testutil.h"

#include "testenvironment.h"

#include <QCoreApplication>
#include <QFile>
#include <QTcpServer>

namespace TestUtil {

quint16 freeTcpPort()
{
    QTcpServer server;
    if (!server.listen(QHostAddress::LocalHost, 0))
        return 0;
    return server.serverPort();
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
                                        "[rtc]\nhost=127.0.0.1\nport=%7\n")
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

} // namespace TestUtil
