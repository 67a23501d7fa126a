#include "janusserver.h"
#include "mosquittobroker.h"
#include "pulseaudioserver.h"
#include "rtcpeerprocess.h"
#include "tonedetector.h"

#include <QColor>
#include <QDataStream>
#include <QDeadlineTimer>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include <cmath>

// Sound and pictures between a teacher and a student, each a process of
// its own on our engine, through a real Janus; each plays on a PulseAudio
// of its own, whose sink the test hears. The teacher's microphone is a
// 440 Hz tone, the student's a 660 Hz one.
class TestRtcMedia : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void eachHearsTheOther();
    void fileAsPlayoutIsHeardByTheClass();
    void studentPictureReachesTheTeacher();
    void mediaServerAwayAndBack();
    void cleanupTestCase();

private:
    struct Lesson;

    // Share of hz in the next ms of what pulse plays.
    static double listen(PulseAudioServer &pulse, double hz, int ms = 200);
    // Waits until hz is (present) or is not (!present) heard.
    static bool waitForTone(PulseAudioServer &pulse, double hz, bool present, int timeoutMs = 15000);
    // The newest volume report of uid in peer, waiting for one that
    // satisfies accept; -1 on time-out.
    static int waitForVolume(RtcPeerProcess &peer, uint uid, const std::function<bool(int)> &accept);
    static bool writeToneWav(const QString &path, double hz, int seconds);

    MosquittoBroker m_broker;
    JanusServer m_janus;
    PulseAudioServer m_teacherSound;
    PulseAudioServer m_studentSound;
    QTemporaryDir m_dir;
    int m_lessons = 0;
};

// Present: a clear share of the sound; absent: next to nothing of it.
const double kPresent = 0.2;
const double kAbsent = 0.02;
const int kTeacherTone = 440;
const int kStudentTone = 660;

// Both participants in one room, both sending.
struct TestRtcMedia::Lesson
{
    Lesson(TestRtcMedia *test)
        : teacher(test->m_broker.port(), 30001)
        , student(test->m_broker.port(), 20001)
        , channel(QStringLiteral("media-%1").arg(++test->m_lessons))
    {
        teacher.setMedia(test->m_janus.url(), kTeacherTone, PulseAudioServer::nullSinkName());
        student.setMedia(test->m_janus.url(), kStudentTone, PulseAudioServer::nullSinkName());
        teacher.process().setProcessEnvironment(test->m_teacherSound.clientEnvironment());
        teacherLog = test->m_dir.filePath(channel + QStringLiteral("-teacher.log"));
        studentLog = test->m_dir.filePath(channel + QStringLiteral("-student.log"));
        teacher.setLog(teacherLog);
        student.setLog(studentLog);
        // What an earlier lesson left in the sinks is not this one's.
        test->m_teacherSound.forget();
        test->m_studentSound.forget();
        student.process().setProcessEnvironment(test->m_studentSound.clientEnvironment());
    }
    // The engines' logs, for a failure's message.
    QByteArray logs() const
    {
        QFile t(teacherLog);
        QFile s(studentLog);
        t.open(QIODevice::ReadOnly);
        s.open(QIODevice::ReadOnly);
        return "teacher:\n" + t.readAll() + "student:\n" + s.readAll();
    }
    bool join()
    {
        return teacher.start() && student.start() && (teacherStream = teacher.joinWithStream(channel)) > 0
            && (studentStream = student.joinWithStream(channel)) > 0;
    }

    RtcPeerProcess teacher;
    RtcPeerProcess student;
    QString channel;
    QString teacherLog;
    QString studentLog;
    int teacherStream = 0;
    int studentStream = 0;
};

void TestRtcMedia::initTestCase()
{
    QVERIFY(m_broker.start());
    QVERIFY(m_janus.start());
    QVERIFY(m_teacherSound.start());
    QVERIFY(m_studentSound.start());
    QVERIFY(m_teacherSound.startListening());
    QVERIFY(m_studentSound.startListening());
}

void TestRtcMedia::cleanupTestCase()
{
    // Each sound server and its listener end by their SIGTERM handlers.
    QVERIFY(m_teacherSound.stop());
    QVERIFY(m_studentSound.stop());
    m_janus.stop();
    m_broker.stop();
}

double TestRtcMedia::listen(PulseAudioServer &pulse, double hz, int ms)
{
    return ToneDetector::share(pulse.heard(ms), PulseAudioServer::kRecordRate, hz);
}

bool TestRtcMedia::waitForTone(PulseAudioServer &pulse, double hz, bool present, int timeoutMs)
{
    QDeadlineTimer deadline(timeoutMs);
    while (!deadline.hasExpired()) {
        const double share = listen(pulse, hz);
        if (present ? share > kPresent : share < kAbsent)
            return true;
    }
    return false;
}

int TestRtcMedia::waitForVolume(RtcPeerProcess &peer, uint uid, const std::function<bool(int)> &accept)
{
    QDeadlineTimer deadline(15000);
    while (!deadline.hasExpired()) {
        const QString line = peer.take(QStringLiteral("volume "), int(qMax<qint64>(1, deadline.remainingTime())));
        for (const QString &entry : line.split(QLatin1Char(' ')).mid(1)) {
            if (entry.section(QLatin1Char('='), 0, 0).toUInt() == uid && accept(entry.section(QLatin1Char('='), 1).toInt()))
                return entry.section(QLatin1Char('='), 1).toInt();
        }
    }
    return -1;
}

bool TestRtcMedia::writeToneWav(const QString &path, double hz, int seconds)
{
    const int rate = 48000;
    QByteArray samples;
    QDataStream out(&samples, QIODevice::WriteOnly);
    out.setByteOrder(QDataStream::LittleEndian);
    for (int i = 0; i < rate * seconds; ++i)
        out << qint16(12000 * std::sin(2 * M_PI * hz * i / rate));
    QByteArray header;
    QDataStream h(&header, QIODevice::WriteOnly);
    h.setByteOrder(QDataStream::LittleEndian);
    h.writeRawData("RIFF", 4);
    h << quint32(36 + samples.size());
    h.writeRawData("WAVEfmt ", 8);
    h << quint32(16) << quint16(1) << quint16(1) << quint32(rate) << quint32(rate * 2) << quint16(2) << quint16(16);
    h.writeRawData("data", 4);
    h << quint32(samples.size());
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(header + samples) == header.size() + samples.size();
}

// The teacher's tone is played at the student's and the student's at the
// teacher's; a mute stops one's tone within 500 ms and an unmute brings it
// back; mute_peer silences that participant only, and only here; the
// volume reports follow the sound; the data stream still carries messages.
void TestRtcMedia::eachHearsTheOther()
{
    Lesson lesson(this);
    QVERIFY(lesson.join());
    QVERIFY(waitForTone(m_studentSound, kTeacherTone, true));
    QVERIFY(waitForTone(m_teacherSound, kStudentTone, true));
    // Nobody hears themselves.
    QVERIFY(listen(m_teacherSound, kTeacherTone) < kAbsent);
    QVERIFY(listen(m_studentSound, kStudentTone) < kAbsent);

    lesson.teacher.command(QStringLiteral("volumes 100"));
    QCOMPARE(lesson.teacher.take(QStringLiteral("volumes-result")), QStringLiteral("volumes-result 0"));
    // The tones are sent at half of full scale.
    QVERIFY(waitForVolume(lesson.teacher, 20001, [](int v) { return v > 100 && v < 160; }) > 0);
    QVERIFY(waitForVolume(lesson.teacher, 0, [](int v) { return v > 100 && v < 160; }) > 0);

    // Muted: measured in the sound itself, from the command on.
    m_studentSound.forget();
    lesson.teacher.command(QStringLiteral("mute 1"));
    QCOMPARE(lesson.teacher.take(QStringLiteral("mute-result")), QStringLiteral("mute-result 0"));
    const QVector<qint16> afterMute = m_studentSound.heard(1500);
    const int window = PulseAudioServer::kRecordRate / 20; // 50 ms
    int silentFrom = -1;
    for (int start = 0; start + window <= afterMute.size(); start += window) {
        const bool silent = ToneDetector::share(afterMute.mid(start, window), PulseAudioServer::kRecordRate, kTeacherTone) < kAbsent
            || ToneDetector::peak(afterMute.mid(start, window)) < 0.01;
        if (!silent)
            silentFrom = -1;
        else if (silentFrom < 0)
            silentFrom = start;
    }
    QVERIFY2(silentFrom >= 0, "the teacher's tone is still heard");
    QVERIFY2(silentFrom * 1000 / PulseAudioServer::kRecordRate <= 500,
             qPrintable(QStringLiteral("silent after %1 ms").arg(silentFrom * 1000 / PulseAudioServer::kRecordRate)));
    QVERIFY(waitForVolume(lesson.teacher, 0, [](int v) { return v == 0; }) == 0);
    // The student is still heard.
    QVERIFY(listen(m_teacherSound, kStudentTone) > kPresent);
    lesson.teacher.command(QStringLiteral("mute 0"));
    QCOMPARE(lesson.teacher.take(QStringLiteral("mute-result")), QStringLiteral("mute-result 0"));
    QVERIFY(waitForTone(m_studentSound, kTeacherTone, true, 5000));

    // The teacher silences the student for the teacher only.
    lesson.teacher.command(QStringLiteral("mutepeer 20001 1"));
    QCOMPARE(lesson.teacher.take(QStringLiteral("mutepeer-result")), QStringLiteral("mutepeer-result 0"));
    QVERIFY(waitForTone(m_teacherSound, kStudentTone, false, 5000));
    QVERIFY(listen(m_studentSound, kTeacherTone) > kPresent);
    lesson.teacher.command(QStringLiteral("mutepeer 20001 0"));
    QCOMPARE(lesson.teacher.take(QStringLiteral("mutepeer-result")), QStringLiteral("mutepeer-result 0"));
    QVERIFY(waitForTone(m_teacherSound, kStudentTone, true, 5000));
    // Nobody can be silenced by a uid that is not one.
    lesson.teacher.command(QStringLiteral("mutepeer 0 1"));
    QVERIFY(lesson.teacher.take(QStringLiteral("mutepeer-result")) != QStringLiteral("mutepeer-result 0"));

    // The student chooses the silent speaker mid-lesson, then the sink again.
    lesson.student.command(QStringLiteral("speaker lessonry-synthetic-speaker"));
    QCOMPARE(lesson.student.take(QStringLiteral("speaker-result")), QStringLiteral("speaker-result 0"));
    QVERIFY(waitForTone(m_studentSound, kTeacherTone, false, 5000));
    lesson.student.command(QStringLiteral("speaker ") + PulseAudioServer::nullSinkName());
    QCOMPARE(lesson.student.take(QStringLiteral("speaker-result")), QStringLiteral("speaker-result 0"));
    QVERIFY(waitForTone(m_studentSound, kTeacherTone, true, 10000));
    QVERIFY(lesson.student.take(QStringLiteral("interrupted"), 1).isEmpty());

    // The student mutes: the teacher's reports of the student fall to 0.
    lesson.student.command(QStringLiteral("mute 1"));
    QCOMPARE(lesson.student.take(QStringLiteral("mute-result")), QStringLiteral("mute-result 0"));
    QVERIFY(waitForVolume(lesson.teacher, 20001, [](int v) { return v < 5; }) >= 0);

    // Messages still go over the data stream beside the media.
    lesson.teacher.command(QStringLiteral("send %1 hello class").arg(lesson.teacherStream));
    QCOMPARE(lesson.teacher.take(QStringLiteral("send-result")), QStringLiteral("send-result 0"));
    QCOMPARE(lesson.student.take(QStringLiteral("stream 30001")),
             QStringLiteral("stream 30001 %1 hello class").arg(lesson.teacherStream));

    // The student leaves: the teacher is told, and hears nothing more.
    lesson.student.command(QStringLiteral("leave"));
    QCOMPARE(lesson.student.take(QStringLiteral("left")), QStringLiteral("left"));
    QVERIFY(!lesson.teacher.take(QStringLiteral("user-offline 20001")).isEmpty());
    QCOMPARE(lesson.student.finish(), 0);
    QCOMPARE(lesson.teacher.finish(), 0);
}

// A file the teacher plays into the class is heard by the student (beside
// the teacher's voice) and by the teacher; one played for the teacher only
// (loopback) is not heard by the student; a pause and a stop are heard.
void TestRtcMedia::fileAsPlayoutIsHeardByTheClass()
{
    const QString file = m_dir.filePath(QStringLiteral("material.wav"));
    QVERIFY(writeToneWav(file, 1000, 20));
    Lesson lesson(this);
    QVERIFY(lesson.join());
    QVERIFY(waitForTone(m_studentSound, kTeacherTone, true));

    lesson.teacher.command(QStringLiteral("playout %1").arg(file));
    QCOMPARE(lesson.teacher.take(QStringLiteral("playout-result")), QStringLiteral("playout-result 0"));
    QVERIFY(waitForTone(m_studentSound, 1000, true));
    QVERIFY(waitForTone(m_teacherSound, 1000, true));
    QVERIFY(listen(m_studentSound, kTeacherTone) > kPresent / 2);

    lesson.teacher.command(QStringLiteral("playout-pause 1"));
    QCOMPARE(lesson.teacher.take(QStringLiteral("playout-pause-result")), QStringLiteral("playout-pause-result 0"));
    QVERIFY(waitForTone(m_studentSound, 1000, false, 5000));
    lesson.teacher.command(QStringLiteral("playout-pause 0"));
    QCOMPARE(lesson.teacher.take(QStringLiteral("playout-pause-result")), QStringLiteral("playout-pause-result 0"));
    QVERIFY(waitForTone(m_studentSound, 1000, true, 5000));
    lesson.teacher.command(QStringLiteral("playout-stop"));
    QCOMPARE(lesson.teacher.take(QStringLiteral("playout-stop-result")), QStringLiteral("playout-stop-result 0"));
    QVERIFY(waitForTone(m_studentSound, 1000, false, 5000));
    QVERIFY(waitForTone(m_teacherSound, 1000, false, 5000));

    lesson.teacher.command(QStringLiteral("playout %1 loopback").arg(file));
    QCOMPARE(lesson.teacher.take(QStringLiteral("playout-result")), QStringLiteral("playout-result 0"));
    QVERIFY(waitForTone(m_teacherSound, 1000, true));
    QVERIFY(listen(m_studentSound, 1000, 1000) < kAbsent);

    // A file that is not there plays nothing, says so in the engine's log
    // and stops what played before.
    lesson.teacher.command(QStringLiteral("playout %1").arg(m_dir.filePath(QStringLiteral("missing.wav"))));
    QCOMPARE(lesson.teacher.take(QStringLiteral("playout-result")), QStringLiteral("playout-result 0"));
    QVERIFY(waitForTone(m_teacherSound, 1000, false, 5000));
    QTRY_VERIFY(lesson.logs().contains("file playout of " + QFile::encodeName(m_dir.filePath(QStringLiteral("missing.wav"))) + " failed: the file cannot be read"));
    QCOMPARE(lesson.student.finish(), 0);
    QCOMPARE(lesson.teacher.finish(), 0);
}

// The student's synthetic camera reaches the teacher's render as VP8: the
// seven colour bars are there, near enough their colours.
void TestRtcMedia::studentPictureReachesTheTeacher()
{
    Lesson lesson(this);
    QVERIFY(lesson.teacher.start());
    QVERIFY(lesson.student.start());
    lesson.teacher.command(QStringLiteral("bind 20001"));
    QCOMPARE(lesson.teacher.take(QStringLiteral("bind-result")), QStringLiteral("bind-result 0"));
    lesson.student.command(QStringLiteral("video"));
    QCOMPARE(lesson.student.take(QStringLiteral("video-result")), QStringLiteral("video-result 0"));
    QVERIFY(lesson.teacher.joinWithStream(lesson.channel) > 0);
    QVERIFY(lesson.student.joinWithStream(lesson.channel) > 0);
    QCOMPARE(lesson.teacher.take(QStringLiteral("first-frame 20001"), 20000), QStringLiteral("first-frame 20001 640 480"));

    const QList<QColor> bars { Qt::white, Qt::yellow, Qt::cyan, Qt::green, Qt::magenta, Qt::red, Qt::blue };
    const auto matches = [&] {
        lesson.teacher.command(QStringLiteral("pixels 20001"));
        const QStringList seen = lesson.teacher.take(QStringLiteral("pixels 20001")).split(QLatin1Char(' ')).mid(2);
        if (seen.size() != bars.size())
            return false;
        for (int i = 0; i < bars.size(); ++i) {
            const QColor colour(seen.at(i));
            if (std::abs(colour.red() - bars.at(i).red()) > 40 || std::abs(colour.green() - bars.at(i).green()) > 40
                || std::abs(colour.blue() - bars.at(i).blue()) > 40)
                return false;
        }
        return true;
    };
    // The first frames of a stream may still be coarse.
    QTRY_VERIFY_WITH_TIMEOUT(matches(), 10000);

    // A participant leaving is told as offline, and its pictures stop.
    lesson.student.command(QStringLiteral("leave"));
    QCOMPARE(lesson.student.take(QStringLiteral("left")), QStringLiteral("left"));
    QCOMPARE(lesson.teacher.take(QStringLiteral("user-offline 20001")), QStringLiteral("user-offline 20001 0"));
    QCOMPARE(lesson.student.finish(), 0);
    QCOMPARE(lesson.teacher.finish(), 0);
}

// Janus stops mid-lesson and comes back on its port: the participants are
// told of the interruption and of the rejoin, and each hears the other
// again within 10 s of the server's return.
void TestRtcMedia::mediaServerAwayAndBack()
{
    Lesson lesson(this);
    QVERIFY(lesson.join());
    QVERIFY(waitForTone(m_studentSound, kTeacherTone, true));

    m_janus.stop();
    QVERIFY2(!lesson.teacher.take(QStringLiteral("interrupted"), 15000).isEmpty(), lesson.logs().constData());
    QVERIFY2(!lesson.student.take(QStringLiteral("interrupted"), 15000).isEmpty(), lesson.logs().constData());
    QVERIFY(waitForTone(m_studentSound, kTeacherTone, false, 5000));

    QVERIFY(m_janus.start());
    QDeadlineTimer back(10000);
    QVERIFY(waitForTone(m_studentSound, kTeacherTone, true, 10000));
    QVERIFY(waitForTone(m_teacherSound, kStudentTone, true, int(qMax<qint64>(1, back.remainingTime()))));
    QVERIFY(lesson.teacher.take(QStringLiteral("rejoined"), 10000).startsWith(QStringLiteral("rejoined ")));
    QVERIFY(lesson.student.take(QStringLiteral("rejoined"), 10000).startsWith(QStringLiteral("rejoined ")));
    QCOMPARE(lesson.student.finish(), 0);
    QCOMPARE(lesson.teacher.finish(), 0);
}

QTEST_GUILESS_MAIN(TestRtcMedia)
#include "tst_rtcmedia.moc"
