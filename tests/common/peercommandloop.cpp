#include "peercommandloop.h"

#include <QCoreApplication>

#include <cstdio>

PeerCommandLoop::PeerCommandLoop(std::function<void()> onQuit, QObject *parent)
    : QObject(parent)
    , m_onQuit(std::move(onQuit))
    , m_input([this](const QString &line) { run(line); }, [this] { quit(); })
{
}

void PeerCommandLoop::add(const QString &command, std::function<void()> handler)
{
    m_commands.insert(command, std::move(handler));
}

void PeerCommandLoop::addWithArguments(const QString &command, std::function<void(const QString &)> handler)
{
    m_commandsWithArguments.insert(command, std::move(handler));
}

void PeerCommandLoop::setAfterEach(std::function<void()> afterEach)
{
    m_afterEach = std::move(afterEach);
}

void PeerCommandLoop::writeLine(const QString &line)
{
    const QByteArray bytes = line.toUtf8() + '\n';
    fwrite(bytes.constData(), 1, size_t(bytes.size()), stdout);
    fflush(stdout);
}

void PeerCommandLoop::run(const QString &line)
{
    // Lines come trimmed: a space parts the command from its arguments.
    const auto plain = m_commands.constFind(line);
    auto withArguments = m_commandsWithArguments.constEnd();
    for (auto it = m_commandsWithArguments.constBegin(); it != m_commandsWithArguments.constEnd(); ++it) {
        const QString &command = it.key();
        const bool fits = line.size() > command.size() && line.startsWith(command) && line.at(command.size()) == QLatin1Char(' ');
        if (fits && (withArguments == m_commandsWithArguments.constEnd() || command.size() > withArguments.key().size()))
            withArguments = it;
    }
    if (line == QLatin1String("quit"))
        quit();
    else if (plain != m_commands.constEnd())
        (*plain)();
    else if (withArguments != m_commandsWithArguments.constEnd())
        (*withArguments)(line.mid(withArguments.key().size() + 1));
    else
        writeLine(QStringLiteral("error unknown command: ") + line);
    if (m_afterEach)
        m_afterEach();
}

void PeerCommandLoop::quit()
{
    m_onQuit();
    QCoreApplication::quit();
}
