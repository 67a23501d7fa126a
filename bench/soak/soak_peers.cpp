// A lesson-long soak at real speed: one teacher and three students (by
// default), each a classroom participant in a process of its own
// (lessonry-classroom-peer-*) on all three transports over one mosquitto,
// sending the synthetic camera at the engine's default profile. The teacher
// draws a 50-point stroke every 3 s and turns the page every 10 s; every
// participant chats once a minute; the teacher mutes and unmutes a student
// every 2 minutes, praises one every 5 minutes and gives one award. At 40 %
// of the lesson the broker stops for 10 s; at 70 % the last student is
// killed and started again 5 s later.
//
//   bench_soak_peers [--minutes 45] [--students 3] [--strokes on|off]
//
// (--strokes off: no strokes, to tell the memory the board's growing
// content takes from the rest.)
//
// Printed at the end: every message sent while its receivers were in the
// class, checked at each receiver (delivered, and handed to its typed
// signal exactly once), the messages sent while the broker was away
// (counted apart: the transports decide their fate), each participant's
// resident memory at the end against its value after the first five
// minutes (a ninth of a shorter run), its GUI thread's longest stall and
// whether it ended with status 0. Beside the resident figure, each
// participant's allocator tells its live blocks from its free ones (at
// five minutes, every ninth of the lesson and at the end), and the
// resident figure once malloc_trim handed the free pages back: live blocks
// that grow are something kept, free ones that grow are fragmentation.
// The participants' problems go to standard error as they happen.

#include "classroompeerprocess.h"
#include "mosquittobroker.h"

#include "mgr/message/classroompayloads.h"
#include "mgr/message/immsgtype.h"
#include "mgr/message/whiteboardpayloads.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
#include <QHash>
#include <QJsonArray>
#include <QJsonDocument>
#include <QRegularExpression>
#include <QSet>
#include <QTemporaryDir>
#include <QTimer>
#include <QVector>

#include <cstdio>
#include <memory>
#include <vector>

namespace {

const QString kClassId = QStringLiteral("10001");
const QString kTeacher = QStringLiteral("30001");

// One message as sent: who sent it, of what type, to whom (empty: the
// class), when, and whether the broker was away then.
struct Sent
{
    QString sender;
    int type = 0;
    QString uuid;
    QString peer;
    qint64 atMs = 0;
    bool duringOutage = false;
};

// One participant: its process (a new one after a restart) and the times
// (ms since the start) it was in the class.
struct Participant
{
    QString uid;
    ClassroomPeerProcess::Role role = ClassroomPeerProcess::Student;
    std::unique_ptr<ClassroomPeerProcess> process;
    // Lines of earlier processes of this participant.
    QStringList pastLines;
    QVector<ClassroomPeerProcess::ProblemLine> pastProblems;
    qint64 inFromMs = 0;
    qint64 inUntilMs = -1;
    qint64 rssEarlyKb = 0;
    qint64 rssEndKb = 0;
    // The participant's own "memory" lines: early, at the end, and at the
    // end once the allocator handed its free pages back.
    QString memoryEarly;
    QString memoryEnd;
    QString memoryTrimmed;
    qint64 longestStallMs = -1;
    bool endedWell = false;
    QString endedHow;

    QStringList allLines() const { return pastLines + (process ? process->lines() : QStringList()); }
    QVector<ClassroomPeerProcess::ProblemLine> allProblems() const
    {
        return pastProblems + (process ? process->problemLines() : QVector<ClassroomPeerProcess::ProblemLine>());
    }
    bool presentAt(qint64 ms) const { return ms >= inFromMs && (inUntilMs < 0 || ms <= inUntilMs); }
};

qint64 residentKb(qint64 pid)
{
    QFile status(QStringLiteral("/proc/%1/status").arg(pid));
    if (!status.open(QIODevice::ReadOnly))
        return 0;
    const QList<QByteArray> lines = status.readAll().split('\n');
    for (const QByteArray &line : lines) {
        if (line.startsWith("VmRSS:"))
            return line.mid(6).trimmed().split(' ').value(0).toLongLong();
    }
    return 0;
}

void waitMs(int ms)
{
    QEventLoop loop;
    QTimer::singleShot(ms, &loop, &QEventLoop::quit);
    loop.exec();
}

QJsonObject stroke(int page)
{
    DrawUnitData draw;
    draw.objecttype = 1;
    draw.atPage = page;
    draw.classid = kClassId;
    draw.mtlid = QStringLiteral("soak");
    QJsonArray points;
    for (int i = 0; i < 50; ++i)
        points.append((1000 + i * 150) * 65536 + 2000 + (i * 37) % 5000);
    draw.objectdetail = QString::fromUtf8(QJsonDocument(QJsonObject{ { QStringLiteral("points"), points } }).toJson(QJsonDocument::Compact));
    return toJson(draw);
}

class Soak
{
public:
    Soak(int minutes, int students, bool strokes)
        : m_totalMs(qint64(minutes) * 60 * 1000)
        , m_strokes(strokes)
    {
        m_people.resize(size_t(students) + 1);
        m_people[0].uid = kTeacher;
        m_people[0].role = ClassroomPeerProcess::Teacher;
        for (int i = 1; i <= students; ++i)
            m_people[size_t(i)].uid = QString::number(20000 + i);
    }

    bool run(MosquittoBroker &broker)
    {
        m_clock.start();
        for (Participant &person : m_people) {
            if (!startParticipant(person))
                return false;
        }
        const qint64 earlyMs = qMin<qint64>(5 * 60 * 1000, m_totalMs / 9);
        const qint64 outageAtMs = m_totalMs * 4 / 10;
        const qint64 killAtMs = m_totalMs * 7 / 10;
        const qint64 awardAtMs = m_totalMs / 2;
        bool early = false, award = false;
        // The restarted student's early figure is taken as long after its
        // second start as everyone's was after the first.
        qint64 restartedEarlyAtMs = -1;
        // The allocator's figures of everyone, nine times a lesson.
        const qint64 sampleEvery = qMax<qint64>(60, m_totalMs / 9000);
        int chatRound = 0;
        // The broker's outage and the student's restart run beside the
        // lesson: messages keep going out meanwhile.
        enum class Step { Before, Away, Returning, Done } outage = Step::Before, restart = Step::Before;
        QVector<int> outageFrom;

        for (qint64 second = 1; second * 1000 <= m_totalMs; ++second) {
            waitUntil(second * 1000);
            const qint64 now = m_clock.elapsed();
            if (!early && now >= earlyMs) {
                early = true;
                for (Participant &person : m_people) {
                    person.rssEarlyKb = residentKb(person.process->pid());
                    person.memoryEarly = ask(person, QStringLiteral("memory"));
                }
            }
            if (restartedEarlyAtMs >= 0 && now >= restartedEarlyAtMs) {
                restartedEarlyAtMs = -1;
                Participant &student = m_people.back();
                student.rssEarlyKb = residentKb(student.process->pid());
                student.memoryEarly = ask(student, QStringLiteral("memory"));
            }
            if (second % sampleEvery == 0)
                noteMemory();
            if (outage == Step::Before && now >= outageAtMs) {
                note(QStringLiteral("stopping the broker"));
                outageFrom.clear();
                for (const Participant &person : m_people)
                    outageFrom.append(person.process->lineCount());
                m_brokerAway = true;
                beginFault();
                broker.stop();
                outage = Step::Away;
            } else if (outage == Step::Away && now >= outageAtMs + 10000) {
                note(QStringLiteral("starting the broker again"));
                broker.start();
                outage = Step::Returning;
            } else if (outage == Step::Returning && everyoneBack(outageFrom)) {
                note(QStringLiteral("everyone is in the class again"));
                m_brokerAway = false;
                endFault();
                outage = Step::Done;
            }
            if (restart == Step::Before && now >= killAtMs) {
                Participant &student = m_people.back();
                note(QStringLiteral("killing %1").arg(student.uid));
                beginFault();
                student.inUntilMs = now;
                student.process->kill();
                restart = Step::Away;
            } else if (restart == Step::Away && now >= killAtMs + 5000) {
                note(QStringLiteral("starting %1 again").arg(m_people.back().uid));
                if (!startParticipant(m_people.back()))
                    return false;
                m_people.back().rssEarlyKb = 0;
                m_people.back().memoryEarly.clear();
                restartedEarlyAtMs = now + earlyMs;
                endFault();
                restart = Step::Done;
            }
            if (!award && now >= awardAtMs) {
                award = true;
                PrizeModelAwardControl prize;
                prize.classid = kClassId;
                prize.tid = kTeacher;
                for (size_t i = 1; i < m_people.size(); ++i)
                    prize.sids.append(m_people[i].uid);
                prize.awardid = 1;
                send(m_people[0], IM_Prize, toJson(prize));
            }
            if (m_strokes && second % 3 == 0)
                send(m_people[0], IM_WBDraw, stroke(m_page));
            if (second % 10 == 0) {
                TurnToPageData turn;
                turn.classid = kClassId;
                turn.mtlid = QStringLiteral("soak");
                turn.prePage = m_page;
                m_page = m_page % 20 + 1;
                turn.toPage = m_page;
                send(m_people[0], IM_WBPage, toJson(turn));
            }
            // Chat: one participant a second in turn, so each once a minute.
            if (second % 60 < qint64(m_people.size())) {
                Participant &person = m_people[size_t(second % 60)];
                TextMessage text;
                text.nickname = person.uid;
                text.classid = kClassId;
                text.content = QStringLiteral("soak %1 %2").arg(person.uid).arg(++chatRound);
                send(person, IM_Text, toJson(text));
            }
            if (second % 120 == 0 || second % 120 == 30) {
                const Participant &student = m_people[size_t(1 + (second / 120) % (m_people.size() - 1))];
                FunctionControl mute;
                mute.classid = kClassId;
                mute.type = 1;
                mute.uid = student.uid;
                mute.enabled = second % 120 == 0 ? 0 : 1;
                send(m_people[0], IM_FunctionControl, toJson(mute), student.uid);
            }
            if (second % 300 == 150) {
                const Participant &student = m_people[size_t(1 + (second / 300) % (m_people.size() - 1))];
                EncourageMessage praise;
                praise.classid = kClassId;
                praise.type = 1;
                praise.uid = student.uid;
                praise.name = student.uid;
                praise.score = 1;
                send(m_people[0], IM_Encourage, toJson(praise));
            }
        }
        // Let the last messages arrive, then read each participant.
        waitMs(5000);
        for (Participant &person : m_people) {
            person.rssEndKb = residentKb(person.process->pid());
            person.memoryEnd = ask(person, QStringLiteral("memory"));
            person.memoryTrimmed = ask(person, QStringLiteral("trim"));
            const int from = person.process->lineCount();
            person.process->command(QStringLiteral("stall"));
            if (person.process->waitForLine([](const QString &line) { return line.startsWith(QLatin1String("stall ")); }, 10000, from)) {
                const QStringList stalls = person.process->linesStartingWith(QStringLiteral("stall "));
                person.longestStallMs = stalls.last().section(QLatin1Char(' '), 1, 1).toLongLong();
            }
        }
        note(QStringLiteral("ending the participants"));
        // Those who stay see the others leave: not a fault's finding.
        beginFault();
        for (Participant &person : m_people) {
            person.endedWell = person.process->finish();
            person.endedHow = person.endedWell ? QStringLiteral("status 0")
                            : person.process->pid() ? QStringLiteral("still running 10 s after its input closed")
                                                   : QStringLiteral("NOT status 0");
        }
        return true;
    }

    void report() const
    {
        std::printf("== soak: %lld minutes, 1 teacher and %d students, %d messages sent\n",
                    m_totalMs / 60000, int(m_people.size()) - 1, int(m_sent.size()));
        int checked = 0, missing = 0, duplicated = 0, outageSent = 0, outageMissing = 0;
        for (const Participant &receiver : m_people) {
            // Copies that arrived, by uuid; typed signals, by sender and type.
            QSet<QString> arrived;
            QHash<QString, int> signalsBySenderType;
            QHash<QString, QSet<QString>> uuidsBySenderType;
            for (const QString &line : receiver.allLines()) {
                if (line.startsWith(QLatin1String("via "))) {
                    const QStringList parts = line.split(QLatin1Char(' '));
                    arrived.insert(parts.value(4));
                    uuidsBySenderType[parts.value(2) + QLatin1Char('/') + parts.value(3)].insert(parts.value(4));
                } else if (line.startsWith(QLatin1String("recv "))) {
                    const QStringList parts = line.split(QLatin1Char(' '));
                    signalsBySenderType[parts.value(2) + QLatin1Char('/') + signalType(parts.value(1))] += 1;
                }
            }
            for (const Sent &sent : m_sent) {
                if (sent.sender == receiver.uid || (!sent.peer.isEmpty() && sent.peer != receiver.uid)
                    || !receiver.presentAt(sent.atMs)) {
                    continue;
                }
                if (sent.duringOutage) {
                    ++outageSent;
                    outageMissing += arrived.contains(sent.uuid) ? 0 : 1;
                    continue;
                }
                ++checked;
                missing += arrived.contains(sent.uuid) ? 0 : 1;
            }
            for (auto it = uuidsBySenderType.constBegin(); it != uuidsBySenderType.constEnd(); ++it) {
                const int handed = signalsBySenderType.value(it.key());
                if (handed > it.value().size())
                    duplicated += handed - it.value().size();
            }
        }
        std::printf("deliveries checked %d, missing %d, handed twice %d  (%s)\n", checked, missing, duplicated,
                    missing == 0 && duplicated == 0 ? "every message exactly once" : "NOT exactly once");
        std::printf("sent while the broker was away: %d deliveries due, %d missing\n", outageSent, outageMissing);
        std::printf("%-8s %12s %12s %7s %14s  %s\n", "uid", "RSS early kB", "RSS end kB", "ratio", "longest stall",
                    "ended");
        for (const Participant &person : m_people) {
            const QString ratio = person.rssEarlyKb
                                      ? QString::number(double(person.rssEndKb) / double(person.rssEarlyKb), 'f', 3)
                                      : QStringLiteral("-");
            std::printf("%-8s %12lld %12lld %7s %11lld ms  %s\n", qPrintable(person.uid), person.rssEarlyKb,
                        person.rssEndKb, qPrintable(ratio), person.longestStallMs, qPrintable(person.endedHow));
        }
        std::printf("(the last student was restarted at 70 %%: its early figure is of its second process, as long after "
                    "its start; none when the lesson ended before)\n");
        std::printf("the allocator, kB: live blocks early -> end, free blocks early -> end, resident after malloc_trim\n");
        for (const Participant &person : m_people) {
            const QStringList early = person.memoryEarly.split(QLatin1Char(' '));
            const QStringList end = person.memoryEnd.split(QLatin1Char(' '));
            const QStringList trimmed = person.memoryTrimmed.split(QLatin1Char(' '));
            std::printf("%-8s live %8s -> %8s  free %8s -> %8s  resident after trim %8s\n", qPrintable(person.uid),
                        qPrintable(early.value(2, QStringLiteral("-"))), qPrintable(end.value(2, QStringLiteral("-"))),
                        qPrintable(early.value(3, QStringLiteral("-"))), qPrintable(end.value(3, QStringLiteral("-"))),
                        qPrintable(trimmed.value(1, QStringLiteral("-"))));
        }

        // The error records of the participants' action logs: those while
        // the broker was away or a student was killed (up to 5 s after
        // each fault ended) and at the end are the faults' own; any other
        // is a finding.
        int duringFaults = 0;
        QStringList outside;
        for (const Participant &person : m_people) {
            for (const ClassroomPeerProcess::ProblemLine &line : person.allProblems()) {
                if (!line.text.contains(QLatin1String("actionError")))
                    continue;
                if (duringFault(line.atMs))
                    ++duringFaults;
                else
                    outside << person.uid + QLatin1String(": ") + line.text.left(200);
            }
        }
        std::printf("error records: %d while the faults ran, %d outside them  (%s)\n", duringFaults,
                    int(outside.size()), outside.isEmpty() ? "none the faults did not cause" : "FOUND");
        for (const QString &line : outside.mid(0, 10))
            std::printf("  %s\n", qPrintable(line));
    }

private:
    // A fault's window, in ms since the epoch (the problem lines' clock).
    void beginFault() { m_faults.append({ QDateTime::currentMSecsSinceEpoch(), -1 }); }
    void endFault() { m_faults.last().second = QDateTime::currentMSecsSinceEpoch() + 5000; }
    bool duringFault(qint64 atMs) const
    {
        for (const auto &fault : m_faults) {
            if (atMs >= fault.first && (fault.second < 0 || atMs <= fault.second))
                return true;
        }
        return false;
    }

    bool startParticipant(Participant &person)
    {
        if (person.process) {
            person.pastLines += person.process->lines();
            person.pastProblems += person.process->problemLines();
        }
        person.process = std::make_unique<ClassroomPeerProcess>();
        if (!person.process->start(person.role, person.uid, kClassId)) {
            std::printf("participant %s did not enter the class\n", qPrintable(person.uid));
            return false;
        }
        person.inFromMs = m_clock.elapsed();
        person.inUntilMs = -1;
        person.process->command(QStringLiteral("video on"));
        return true;
    }

    void send(Participant &sender, int type, const QJsonObject &payload, const QString &peer = QString())
    {
        // A participant out of the class (killed, not back yet) sends nothing.
        if (!sender.presentAt(m_clock.elapsed()))
            return;
        const int from = sender.process->lineCount();
        Sent sent;
        sent.sender = sender.uid;
        sent.type = type;
        sent.peer = peer;
        sent.atMs = m_clock.elapsed();
        sent.duringOutage = m_brokerAway;
        sender.process->send(type, payload, peer);
        const QString prefix = QStringLiteral("sent %1 ").arg(type);
        if (sender.process->waitForLine([&](const QString &line) { return line.startsWith(prefix); }, 10000, from)) {
            sent.uuid = sender.process->lines().mid(from).filter(QRegularExpression(QStringLiteral("^sent %1 ").arg(type))).value(0).section(QLatin1Char(' '), 2, 2);
            m_sent.push_back(sent);
        } else {
            std::printf("%s could not send type %d\n", qPrintable(sender.uid), type);
        }
    }

    // Sends a command answered by a "memory" line and returns that line
    // (empty when none came).
    static QString ask(Participant &person, const QString &command)
    {
        const int from = person.process->lineCount();
        person.process->command(command);
        const auto isMemory = [](const QString &line) { return line.startsWith(QLatin1String("memory ")); };
        if (!person.process->waitForLine(isMemory, 10000, from))
            return QString();
        return person.process->lines().mid(from).filter(QRegularExpression(QStringLiteral("^memory "))).value(0);
    }

    // One line of everyone's resident and live kB, to see the growth's shape.
    void noteMemory()
    {
        QStringList figures;
        for (Participant &person : m_people) {
            if (!person.presentAt(m_clock.elapsed()))
                continue;
            const QStringList memory = ask(person, QStringLiteral("memory")).split(QLatin1Char(' '));
            figures << QStringLiteral("%1 %2/%3").arg(person.uid, memory.value(1), memory.value(2));
        }
        note(QStringLiteral("resident/live kB: ") + figures.join(QLatin1String(", ")));
    }

    // True once every participant has said it is in the class again
    // since the given line of its output.
    bool everyoneBack(const QVector<int> &from) const
    {
        for (size_t i = 0; i < m_people.size(); ++i) {
            if (!m_people[i].process->lines().mid(from.value(int(i))).contains(QStringLiteral("inchannel")))
                return false;
        }
        return true;
    }

    void note(const QString &what) const
    {
        std::printf("%4lld s: %s\n", m_clock.elapsed() / 1000, qPrintable(what));
        std::fflush(stdout);
    }

    void waitUntil(qint64 ms)
    {
        const qint64 left = ms - m_clock.elapsed();
        if (left > 0)
            waitMs(int(left));
    }

    static QString signalType(const QString &signal)
    {
        static const QHash<QString, int> types{
            { QStringLiteral("signal_receiveTextMsg"), IM_Text },
            { QStringLiteral("signal_receiveDrawMsg"), IM_WBDraw },
            { QStringLiteral("signal_receiveTurnToPageMsg"), IM_WBPage },
            { QStringLiteral("signal_receiveFunctionControl"), IM_FunctionControl },
            { QStringLiteral("signal_receiveEncourageMsg"), IM_Encourage },
            { QStringLiteral("signal_receiveAwardControl"), IM_Prize },
        };
        return QString::number(types.value(signal, -1));
    }

    qint64 m_totalMs;
    std::vector<Participant> m_people;
    std::vector<Sent> m_sent;
    QElapsedTimer m_clock;
    bool m_brokerAway = false;
    bool m_strokes = true;
    QVector<QPair<qint64, qint64>> m_faults;
    int m_page = 1;
};

} // namespace

int main(int argc, char *argv[])
{
    QTemporaryDir home;
    qputenv("XDG_DATA_HOME", home.path().toUtf8());
    qputenv("XDG_RUNTIME_DIR", home.path().toUtf8());
    QCoreApplication app(argc, argv);
    int minutes = 45, students = 3;
    bool strokes = true;
    const QStringList arguments = app.arguments();
    for (int i = 1; i + 1 < arguments.size(); i += 2) {
        if (arguments[i] == QLatin1String("--minutes"))
            minutes = qMax(1, arguments[i + 1].toInt());
        else if (arguments[i] == QLatin1String("--students"))
            students = qBound(1, arguments[i + 1].toInt(), 8);
        else if (arguments[i] == QLatin1String("--strokes"))
            strokes = arguments[i + 1] != QLatin1String("off");
    }

    MosquittoBroker broker;
    if (!broker.startWithServersIni(home.filePath(QStringLiteral("servers.ini")))) {
        std::printf("cannot start a broker\n");
        return 1;
    }
    Soak soak(minutes, students, strokes);
    const bool ran = soak.run(broker);
    soak.report();
    return ran ? 0 : 1;
}
