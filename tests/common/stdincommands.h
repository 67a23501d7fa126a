#ifndef STDINCOMMANDS_H
#define STDINCOMMANDS_H

#include <QByteArray>
#include <QObject>
#include <QSocketNotifier>

#include <functional>

// The command lines a helper process gets from the test that drives it:
// each non-empty line of standard input, trimmed, goes to onLine; onClosed
// runs once when the input ends (the test closed it or went away).
class StdinCommands : public QObject
{
public:
    StdinCommands(std::function<void(const QString &)> onLine, std::function<void()> onClosed,
                  QObject *parent = nullptr);

private:
    void read();

    std::function<void(const QString &)> m_onLine;
    std::function<void()> m_onClosed;
    QSocketNotifier m_notifier;
    QByteArray m_pending;
};

#endif // STDINCOMMANDS_H
