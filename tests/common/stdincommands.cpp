#include "stdincommands.h"

#include <QString>

#include <unistd.h>

StdinCommands::StdinCommands(std::function<void(const QString &)> onLine, std::function<void()> onClosed,
                             QObject *parent)
    : QObject(parent)
    , m_onLine(std::move(onLine))
    , m_onClosed(std::move(onClosed))
    , m_notifier(STDIN_FILENO, QSocketNotifier::Read)
{
    connect(&m_notifier, &QSocketNotifier::activated, this, [this] { read(); });
}

void StdinCommands::read()
{
    char buffer[65536];
    const ssize_t count = ::read(STDIN_FILENO, buffer, sizeof(buffer));
    if (count <= 0) {
        m_notifier.setEnabled(false);
        m_onClosed();
        return;
    }
    m_pending.append(buffer, int(count));
    int end;
    while ((end = m_pending.indexOf('\n')) >= 0) {
        const QString line = QString::fromUtf8(m_pending.left(end)).trimmed();
        m_pending.remove(0, end + 1);
        if (!line.isEmpty())
            m_onLine(line);
    }
}
