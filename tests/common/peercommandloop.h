#ifndef PEERCOMMANDLOOP_H
#define PEERCOMMANDLOOP_H

#include "stdincommands.h"

#include <QHash>
#include <QObject>
#include <QString>

#include <functional>

// The command loop of a participant program driven by a test: each command
// line runs the handler of its command; "quit" and the end of the input run
// the quit handler and end the event loop; any other line is answered
// "error unknown command: <line>". Events go out one line each on standard
// output (writeLine), in the order they happen.
class PeerCommandLoop : public QObject
{
public:
    explicit PeerCommandLoop(std::function<void()> onQuit, QObject *parent = nullptr);

    // A line that is command alone (one word or more).
    void add(const QString &command, std::function<void()> handler);
    // A line of command (one word or more) and at least one word more;
    // handler gets what follows the space after command. Where commands
    // begin alike, the longest that fits the line runs.
    void addWithArguments(const QString &command, std::function<void(const QString &arguments)> handler);
    // Runs after each command line, whatever it was (not when the input ends).
    void setAfterEach(std::function<void()> afterEach);

    static void writeLine(const QString &line);

private:
    void run(const QString &line);
    void quit();

    std::function<void()> m_onQuit;
    std::function<void()> m_afterEach;
    QHash<QString, std::function<void()>> m_commands;
    QHash<QString, std::function<void(const QString &)>> m_commandsWithArguments;
    StdinCommands m_input;
};

#endif // PEERCOMMANDLOOP_H
