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
    const int space = line.indexOf(QLatin1Char(' '));
    const auto plain = m_commands.constFind(line);
    const auto withArguments = space > 0 ? m_commandsWithArguments.constFind(line.left(space))
                                         : m_commandsWithArguments.constEnd();
    if (line == QLatin1String("quit"))
        quit();
    else if (plain != m_commands.constEnd())
        (*plain)();
    else if (withArguments != m_commandsWithArguments.constEnd())
        (*withArguments)(line.mid(space + 1));
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
