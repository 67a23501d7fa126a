#include "testutil.h"

#include <QProcess>
#include <QTest>

// The command loop the participant programs share, in a program of its
// own: which lines run which command, the answer to any other line, and
// the end by "quit" or by the input closing.
class TestPeerCommandLoop : public QObject
{
    Q_OBJECT

private slots:
    void linesAndAnswers_data();
    void linesAndAnswers();
    void quitEndsWithoutTheInputClosing();
    void lineInTwoPiecesRunsOnce();

private:
    // Starts the program and waits for its "ready".
    static bool start(QProcess &program);
    static QStringList outputLines(QProcess &program);
};

bool TestPeerCommandLoop::start(QProcess &program)
{
    program.start(TestUtil::binDir() + QStringLiteral("/helper_commandloop"), QStringList());
    if (!program.waitForStarted(10000))
        return false;
    while (!program.canReadLine()) {
        if (!program.waitForReadyRead(10000))
            return false;
    }
    return program.readLine() == "ready\n";
}

QStringList TestPeerCommandLoop::outputLines(QProcess &program)
{
    return QString::fromUtf8(program.readAllStandardOutput()).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
}

void TestPeerCommandLoop::linesAndAnswers_data()
{
    QTest::addColumn<QByteArray>("input");
    QTest::addColumn<QStringList>("output"); // the input then closes: "bye" last

    const QString done = QStringLiteral("done");
    const QString bye = QStringLiteral("bye");
    QTest::newRow("a command alone") << QByteArray("ping\n") << QStringList { "pong", done, bye };
    QTest::newRow("spaces around it") << QByteArray("  ping \t\n") << QStringList { "pong", done, bye };
    QTest::newRow("arguments as written") << QByteArray("say hello  world\n")
                                          << QStringList { "said hello  world", done, bye };
    QTest::newRow("the longest command that fits") << QByteArray("say twice hi\n")
                                                   << QStringList { "said hi", "said hi", done, bye };
    QTest::newRow("a longer command's first words") << QByteArray("say twice\n") << QStringList { "said twice", done, bye };
    QTest::newRow("not ASCII") << QByteArray("say 页 2\n") << QStringList { QStringLiteral("said 页 2"), done, bye };
    QTest::newRow("several lines in one write") << QByteArray("ping\nsay a\n")
                                                << QStringList { "pong", done, "said a", done, bye };
    QTest::newRow("empty lines are skipped") << QByteArray("\n  \nping\n") << QStringList { "pong", done, bye };
    QTest::newRow("unknown command") << QByteArray("jump high\n")
                                     << QStringList { "error unknown command: jump high", done, bye };
    QTest::newRow("arguments where none are taken") << QByteArray("ping now\n")
                                                    << QStringList { "error unknown command: ping now", done, bye };
    QTest::newRow("no arguments where they are needed") << QByteArray("say\n")
                                                        << QStringList { "error unknown command: say", done, bye };
    QTest::newRow("a command's name inside a word") << QByteArray("pinger\n")
                                                    << QStringList { "error unknown command: pinger", done, bye };
    QTest::newRow("input closes at once") << QByteArray() << QStringList { bye };
    QTest::newRow("last line without its end") << QByteArray("ping\nsay cut") << QStringList { "pong", done, bye };
}

void TestPeerCommandLoop::linesAndAnswers()
{
    QFETCH(QByteArray, input);
    QFETCH(QStringList, output);
    QProcess program;
    QVERIFY(start(program));
    program.write(input);
    program.closeWriteChannel();
    QVERIFY(program.waitForFinished(10000));
    QCOMPARE(program.exitStatus(), QProcess::NormalExit);
    QCOMPARE(program.exitCode(), 0);
    QCOMPARE(outputLines(program), output);
}

void TestPeerCommandLoop::quitEndsWithoutTheInputClosing()
{
    QProcess program;
    QVERIFY(start(program));
    program.write("quit\n");
    QVERIFY(program.waitForFinished(10000));
    QCOMPARE(program.exitStatus(), QProcess::NormalExit);
    QCOMPARE(program.exitCode(), 0);
    // The quit handler, then what follows every line.
    QCOMPARE(outputLines(program), QStringList({ "bye", "done" }));
}

void TestPeerCommandLoop::lineInTwoPiecesRunsOnce()
{
    QProcess program;
    QVERIFY(start(program));
    // One write (read at once) ends in half a line; its answer says the
    // program has read it.
    program.write("ping\npi");
    while (!program.canReadLine() || !program.peek(1024).contains("done\n"))
        QVERIFY(program.waitForReadyRead(10000));
    program.write("ng\n");
    program.closeWriteChannel();
    QVERIFY(program.waitForFinished(10000));
    QCOMPARE(program.exitCode(), 0);
    QCOMPARE(outputLines(program), QStringList({ "pong", "done", "pong", "done", "bye" }));
}

QTEST_GUILESS_MAIN(TestPeerCommandLoop)
#include "tst_peercommandloop.moc"
