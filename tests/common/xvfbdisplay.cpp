#include "xvfbdisplay.h"

XvfbDisplay::~XvfbDisplay()
{
    if (m_server.state() != QProcess::NotRunning) {
        m_server.terminate();
        if (!m_server.waitForFinished(5000))
            m_server.kill();
        m_server.waitForFinished(5000);
    }
}

bool XvfbDisplay::start()
{
    // -displayfd: the server picks a free display and writes its number;
    // -noreset: it does not reset when its last client leaves.
    m_server.start(QStringLiteral("Xvfb"),
                   { QStringLiteral("-displayfd"), QStringLiteral("1"), QStringLiteral("-screen"), QStringLiteral("0"),
                     QStringLiteral("1280x800x24"), QStringLiteral("-nolisten"), QStringLiteral("tcp"),
                     QStringLiteral("-noreset") });
    QByteArray number;
    while (!number.contains('\n') && m_server.waitForReadyRead(10000))
        number += m_server.readAllStandardOutput();
    number = number.trimmed();
    if (number.isEmpty()) {
        qWarning("Xvfb did not start: %s", qPrintable(m_server.errorString()));
        return false;
    }
    m_display = QStringLiteral(":") + QString::fromLatin1(number);
    return true;
}
