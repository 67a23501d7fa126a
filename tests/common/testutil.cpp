#include "testutil.h"

#include <QTcpServer>

namespace TestUtil {

quint16 freeTcpPort()
{
    QTcpServer server;
    if (!server.listen(QHostAddress::LocalHost, 0))
        return 0;
    return server.serverPort();
}

QString binDir()
{
    return QStringLiteral(LESSONRY_BIN_DIR);
}

} // namespace TestUtil
