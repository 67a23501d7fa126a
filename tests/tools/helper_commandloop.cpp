// A participant program's command loop with nothing behind it, for the
// loop's own test. Commands: "ping" (answers "pong"), "say <words>"
// (answers "said <words>"), "say twice <words>" (answers it twice). After
// every command line: "done". The quit handler says "bye". "ready" once it
// reads its input.

#include "peercommandloop.h"

#include <QCoreApplication>

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    PeerCommandLoop loop([] { PeerCommandLoop::writeLine(QStringLiteral("bye")); });
    loop.add(QStringLiteral("ping"), [] { PeerCommandLoop::writeLine(QStringLiteral("pong")); });
    loop.addWithArguments(QStringLiteral("say"),
                          [](const QString &words) { PeerCommandLoop::writeLine(QStringLiteral("said ") + words); });
    loop.addWithArguments(QStringLiteral("say twice"), [](const QString &words) {
        PeerCommandLoop::writeLine(QStringLiteral("said ") + words);
        PeerCommandLoop::writeLine(QStringLiteral("said ") + words);
    });
    loop.setAfterEach([] { PeerCommandLoop::writeLine(QStringLiteral("done")); });
    PeerCommandLoop::writeLine(QStringLiteral("ready"));
    return app.exec();
}
