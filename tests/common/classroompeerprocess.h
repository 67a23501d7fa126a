#ifndef CLASSROOMPEERPROCESS_H
#define CLASSROOMPEERPROCESS_H

#include <QObject>
#include <QProcess>
#include <QStringList>
#include <QVector>

#include <functional>

// Drives one lessonry-classroom-peer process: a participant of a class in
// a process of its own, over the transports of the servers file in force.
class ClassroomPeerProcess : public QObject
{
    Q_OBJECT

public:
    enum Role { Student, Teacher };

    explicit ClassroomPeerProcess(QObject *parent = nullptr);
    ~ClassroomPeerProcess() override;

    // Starts the participant and waits until it is in the class. Its own
    // durations (the 2000 ms re-login pause) run at timeScale.
    bool start(Role role, const QString &uid, const QString &classId, double timeScale = 1.0);
    // Starts another participant program of the same protocol (events on
    // standard output, "inchannel" once in the class) and waits for it.
    bool startProgram(const QString &program, const QStringList &arguments);
    void command(const QString &line);
    // Sends one classroom message; peerUid empty for the channel form.
    void send(int type, const QJsonObject &payload, const QString &peerUid = QString());

    // Every event line so far.
    QStringList lines() const { return m_lines; }
    QStringList linesStartingWith(const QString &prefix) const;
    // Runs the event loop until a line (from index from on) matches.
    bool waitForLine(const std::function<bool(const QString &)> &match, int timeoutMs = 10000, int from = 0);
    bool waitForLine(const QString &exact, int timeoutMs = 10000, int from = 0);
    int lineCount() const { return m_lines.size(); }
    // Waits until both participants are in the class on every transport
    // and each has seen the other join there (a message sent earlier could
    // fail on a transport still being joined, whichever process was slower).
    static bool waitForEachOther(ClassroomPeerProcess &first, const QString &firstUid, ClassroomPeerProcess &second,
                                 const QString &secondUid, int timeoutMs = 20000);
    // What the participant wrote to standard error (its warnings and
    // errors), each line with the time it was read (ms since the epoch).
    // The lines are passed on to this process's standard error too.
    struct ProblemLine
    {
        qint64 atMs = 0;
        QString text;
    };
    QVector<ProblemLine> problemLines() const { return m_problems; }

    // Ends the process at once, without any goodbye (SIGKILL).
    void kill();
    // Closes standard input and waits for the process to end; true when
    // it ended with status 0 (or was killed by the test, or never started).
    // Called again, it only says how the process ended. A test calls it
    // for its participants (members in cleanupTestCase): the check this
    // object makes when it goes comes too late to fail a member's test.
    bool finish();
    // Asks the participant to leave and end ("quit"), then finish().
    bool quit();
    qint64 pid() const { return m_process.processId(); }

private:
    void readOutput();
    void readProblems();

    QProcess m_process;
    QByteArray m_pending;
    QStringList m_lines;
    QByteArray m_pendingProblems;
    QVector<ProblemLine> m_problems;
    bool m_killed = false;
};

#endif // CLASSROOMPEERPROCESS_H
