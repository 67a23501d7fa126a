// A second participant for the signalling tests, in a process of its own.
//
//     helper_signallingpeer <host> <port>
//
// Prints "ready", then one line per library callback (SignallingClient's
// event lines), and obeys one command per line on standard input:
//     login <account> | logout | enter <channel> | exit <channel>
//     channel <channel> <messageId> <text> | peer <account> <messageId> <text>
//     quit
// It ends on "quit" or at the end of its input.

#include "signallingclient.h"

#include <QString>
#include <QStringList>

#include <cstdio>
#include <iostream>
#include <mutex>
#include <string>

namespace {

std::mutex s_outputMutex;

void printLine(const QString &line)
{
    std::lock_guard<std::mutex> lock(s_outputMutex);
    std::fputs(line.toUtf8().constData(), stdout);
    std::fputc('\n', stdout);
    std::fflush(stdout);
}

// The rest of line after its first `count` words.
QString restAfter(const QString &line, int count)
{
    int at = 0;
    for (int i = 0; i < count; ++i) {
        at = line.indexOf(QLatin1Char(' '), at);
        if (at < 0)
            return QString();
        ++at;
    }
    return line.mid(at);
}

} // namespace

int main(int argc, char *argv[])
{
    if (argc < 3) {
        std::fprintf(stderr, "usage: %s <host> <port>\n", argv[0]);
        return 2;
    }
    SignallingClient client(QString::fromLocal8Bit(argv[1]), quint16(QString::fromLocal8Bit(argv[2]).toUInt()));
    client.setEventSink(printLine);
    printLine(QStringLiteral("ready"));

    std::string input;
    while (std::getline(std::cin, input)) {
        const QString line = QString::fromUtf8(input.c_str()).trimmed();
        const QStringList words = line.split(QLatin1Char(' '));
        const QString command = words.value(0);
        if (command == QLatin1String("quit"))
            break;
        if (command == QLatin1String("login"))
            client.login(words.value(1));
        else if (command == QLatin1String("logout"))
            client.logout();
        else if (command == QLatin1String("enter"))
            client.enterChannel(words.value(1));
        else if (command == QLatin1String("exit"))
            client.exitChannel(words.value(1));
        else if (command == QLatin1String("channel"))
            client.sendChannelText(words.value(1), restAfter(line, 3), words.value(2));
        else if (command == QLatin1String("peer"))
            client.sendPeerText(words.value(1), restAfter(line, 3), words.value(2));
        else if (!command.isEmpty())
            printLine(QStringLiteral("unknown command ") + command);
    }
    return 0;
}
