#include "xvfbdisplay.h"

#include "testutil.h"

#include <QDeadlineTimer>

XvfbDisplay::~XvfbDisplay()
{
    if (m_server.state() != QProcess::NotRunning)
        TestUtil::stopHelper(m_server, QStringLiteral("Xvfb"));
}

bool XvfbDisplay::start()
{
    // -displayfd: the server picks a free display and writes its number;
    // -noreset: it does not reset when its last client leaves.
    m_server.start(QStringLiteral("Xvfb"),
                   { QStringLiteral("-displayfd"), QStringLiteral("1"), QStringLiteral("-screen"), QStringLiteral("0"),
                     QStringLiteral("1280x800x24"), QStringLiteral("-nolisten"), QStringLiteral("tcp"),
                     QStringLiteral("-noreset") });
    // Generous: a loaded machine may take many seconds to start a server.
    QDeadlineTimer deadline(60000);
    QByteArray number;
    while (!number.contains('\n') && !deadline.hasExpired() && m_server.state() != QProcess::NotRunning) {
        m_server.waitForReadyRead(int(qMax<qint64>(1, qMin<qint64>(1000, deadline.remainingTime()))));
        number += m_server.readAllStandardOutput();
    }
    number = number.trimmed();
    if (number.isEmpty()) {
        qWarning("Xvfb did not start: %s", qPrintable(m_server.errorString()));
        return false;
    }
    m_display = QStringLiteral(":") + QString::fromLatin1(number);
    return true;
}
