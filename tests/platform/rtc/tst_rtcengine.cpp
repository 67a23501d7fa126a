#include "mosquittobroker.h"
#include "rtcpeerprocess.h"
#include "testenvironment.h"

#include "platform/tcpnodelay.h"

#include "platform/rtc/mediaengine.h"
#include "platform/rtc/rtcdevice.h"
#include "platform/rtc/rtcengine.h"
#include "platform/rtc/rtctesthooks.h"

#include <QCoreApplication>
#include <QDir>
#include <QJsonValue>
#include <QFile>
#include <QMutex>
#include <QMutexLocker>
#include <QProcess>
#include <QtEndian>
#include <QRegularExpression>
#include <QSemaphore>
#include <QSet>
#include <QTemporaryDir>
#include <QTest>
#include <QThread>

using namespace agora;

namespace {

const char kAppId[] = "0123456789abcdef0123456789abcdef";

// Records the callbacks of an engine in this process, with the thread
// each came on.
class RecordingHandler : public rtc::IRtcEngineEventHandler
{
public:
    void onJoinChannelSuccess(const char *channel, rtc::uid_t uid, int) override
    {
        note(QStringLiteral("joined %1 %2").arg(QString::fromUtf8(channel)).arg(uid));
    }
    void onRejoinChannelSuccess(const char *channel, rtc::uid_t uid, int) override
    {
        note(QStringLiteral("rejoined %1 %2").arg(QString::fromUtf8(channel)).arg(uid));
    }
    void onError(int err, const char *msg) override { note(QStringLiteral("error %1 %2").arg(err).arg(QString::fromUtf8(msg))); }
    void onLeaveChannel(const rtc::RtcStats &) override { note(QStringLiteral("left")); }
    void onAudioVolumeIndication(const rtc::AudioVolumeInfo *speakers, unsigned int count, int) override
    {
        note(QStringLiteral("volume %1 first %2").arg(count).arg(count ? speakers[0].uid : 99));
        QMutexLocker lock(&m_mutex);
        if (count)
            m_levels.append(int(speakers[0].volume));
    }
    void onConnectionLost() override { note(QStringLiteral("lost")); }
    void onUserJoined(rtc::uid_t uid, int) override { note(QStringLiteral("user-joined %1").arg(uid)); }
    void onRequestChannelKey() override { note(QStringLiteral("key")); }

    void note(const QString &event)
    {
        QMutexLocker lock(&m_mutex);
        m_events.append(event);
        if (QThread::currentThread() == QCoreApplication::instance()->thread())
            m_onMainThread = true;
    }
    QStringList events() const
    {
        QMutexLocker lock(&m_mutex);
        return m_events;
    }
    int count(const QString &prefix) const
    {
        int n = 0;
        for (const QString &event : events())
            n += event.startsWith(prefix) ? 1 : 0;
        return n;
    }
    QList<int> levels() const
    {
        QMutexLocker lock(&m_mutex);
        return m_levels;
    }
    bool onMainThread() const
    {
        QMutexLocker lock(&m_mutex);
        return m_onMainThread;
    }

private:
    mutable QMutex m_mutex;
    QStringList m_events;
    QList<int> m_levels;
    bool m_onMainThread = false;
};

// A WAV file: a RIFF header, a format chunk and a data chunk of frames
// frames of silence; formatTag 1 is PCM.
QByteArray wavFile(int frames, int formatTag = 1, bool withData = true)
{
    const int channels = 1;
    const int rate = 16000;
    const int bits = 16;
    QByteArray fmt(16, '\0');
    qToLittleEndian<quint16>(quint16(formatTag), fmt.data());
    qToLittleEndian<quint16>(quint16(channels), fmt.data() + 2);
    qToLittleEndian<quint32>(quint32(rate), fmt.data() + 4);
    qToLittleEndian<quint32>(quint32(rate * channels * bits / 8), fmt.data() + 8);
    qToLittleEndian<quint16>(quint16(channels * bits / 8), fmt.data() + 12);
    qToLittleEndian<quint16>(quint16(bits), fmt.data() + 14);
    QByteArray body = "WAVE";
    auto chunk = [&body](const char *id, const QByteArray &data) {
        QByteArray size(4, '\0');
        qToLittleEndian<quint32>(quint32(data.size()), size.data());
        body += QByteArray(id) + size + data;
    };
    chunk("fmt ", fmt);
    if (withData)
        chunk("data", QByteArray(frames * channels * bits / 8, '\0'));
    QByteArray size(4, '\0');
    qToLittleEndian<quint32>(quint32(body.size()), size.data());
    return "RIFF" + size + body;
}

rtc::IAudioDeviceManager *audioDevices(rtc::IRtcEngine *engine)
{
    void *inter = nullptr;
    engine->queryInterface(rtc::AGORA_IID_AUDIO_DEVICE_MANAGER, &inter);
    return static_cast<rtc::IAudioDeviceManager *>(inter);
}

// Engine made and released by the test.
class LocalEngine
{
public:
    explicit LocalEngine(rtc::IRtcEngineEventHandler *handler)
    {
        engine = createAgoraRtcEngine();
        initialized = engine->initialize({ handler, kAppId });
    }
    ~LocalEngine() { release(); }
    // Releases the engine now, with what is still bound to it.
    void release()
    {
        m_media.reset();
        if (engine)
            engine->release(true);
        engine = nullptr;
    }
    // One of the engine's interfaces, empty when it does not give it.
    template<typename Interface>
    util::AutoPtr<Interface> query(int iid)
    {
        void *inter = nullptr;
        engine->queryInterface(iid, &inter);
        return util::AutoPtr<Interface>(static_cast<Interface *>(inter));
    }
    util::AutoPtr<rtc::IRtcEngineParameter> parameters()
    {
        return query<rtc::IRtcEngineParameter>(rtc::AGORA_IID_RTC_ENGINE_PARAMETER);
    }
    // The engine's video renders made by factory from now on; 0 when taken.
    int useRenderFactory(media::IExternalVideoRenderFactory *factory)
    {
        m_media = query<media::IMediaEngine>(rtc::AGORA_IID_MEDIA_ENGINE);
        return m_media ? m_media->registerVideoRenderFactory(factory) : -1;
    }
    int setRelay(quint16 port)
    {
        const QByteArray json = QByteArray("{\"host\":\"127.0.0.1\",\"port\":") + QByteArray::number(port) + "}";
        return parameters()->setObject("rtc.relay_server", json.constData());
    }

    rtc::IRtcEngine *engine = nullptr;
    int initialized = -1;

private:
    util::AutoPtr<media::IMediaEngine> m_media;
};

// Keeps what the engine hands its renders, and on which thread.
class RecordingFactory : public media::IExternalVideoRenderFactory
{
public:
    media::IExternalVideoRender *createRenderInstance(const media::ExternalVideoRenerContext &context) override;

    void note(const QString &line)
    {
        QMutexLocker lock(&m_mutex);
        m_log.append(line);
    }
    QStringList snapshot()
    {
        QMutexLocker lock(&m_mutex);
        return m_log;
    }

private:
    QMutex m_mutex;
    QStringList m_log;
};

class RecordingRender : public media::IExternalVideoRender
{
public:
    explicit RecordingRender(RecordingFactory *factory) : m_factory(factory) {}
    void release() override
    {
        m_factory->note(QStringLiteral("release %1").arg(QThread::currentThread()->objectName()));
        delete this;
    }
    int initialize() override { return 0; }
    int deliverFrame(const media::IVideoFrame &frame, int rotation, bool mirrored) override
    {
        QByteArray pixels(qMax(1, frame.width() * frame.height() * 4), '\0');
        const int rc = frame.convertFrame(media::VIDEO_TYPE_ARGB, 0, reinterpret_cast<unsigned char *>(pixels.data()));
        m_factory->note(QStringLiteral("frame %1x%2 rot %3 mirror %4 rc %5 first %6 on %7")
                            .arg(frame.width()).arg(frame.height()).arg(rotation).arg(mirrored).arg(rc)
                            .arg(QString::number(uchar(pixels.at(0)), 16)).arg(QThread::currentThread()->objectName()));
        return -1;
    }

private:
    RecordingFactory *m_factory;
};

media::IExternalVideoRender *RecordingFactory::createRenderInstance(const media::ExternalVideoRenerContext &context)
{
    note(QStringLiteral("create view %1 callback %2 on %3")
             .arg(quintptr(context.view)).arg(context.renderCallback != nullptr).arg(QThread::currentThread()->objectName()));
    return new RecordingRender(this);
}

// A render that keeps the width of every frame it is handed and holds the
// video thread in its first frame until let go, as a slow render or a
// busy machine would.
class HoldingRender : public media::IExternalVideoRender
{
public:
    void release() override { delete this; }
    int initialize() override { return 0; }
    int deliverFrame(const media::IVideoFrame &frame, int, bool) override
    {
        bool first = false;
        {
            QMutexLocker lock(&mutex);
            first = widths.isEmpty();
            widths.append(frame.width());
        }
        if (first) {
            entered.release();
            letGo.acquire();
        }
        return 0;
    }
    QList<int> seen()
    {
        QMutexLocker lock(&mutex);
        return widths;
    }

    QSemaphore entered;
    QSemaphore letGo;

private:
    QMutex mutex;
    QList<int> widths;
};

class HoldingFactory : public media::IExternalVideoRenderFactory
{
public:
    media::IExternalVideoRender *createRenderInstance(const media::ExternalVideoRenerContext &) override
    {
        render = new HoldingRender;
        return render;
    }
    HoldingRender *render = nullptr;
};

} // namespace

class TestRtcEngine : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();

    // Two participants in two processes.
    void participantsSeeEachOtherJoinAndLeave();
    void dataStreamIsOrderedAndDeliveredOnce();
    void crashedParticipantIsDropped();
    void rejoinStartsAFreshStream();
    void relayRestartInterruptsAndRejoins();
    void relaySocketHasNoDelayAfterEachConnect();
    void dataStreamRefusedWhileTheRelayIsAway();
    void engineLeftRunningStopsAtExit();
    void receivedPacketsAreCheckedInOrder();

    // One engine in this process.
    void operationErrors();
    void parameters_data();
    void parameters();
    void unreachableRelayIsReportedOnceAndLeaveEndsIt();
    void volumeReportsComeAtTheSetInterval();
    void playbackTestPlaysTheSoundUntilStopped_data();
    void playbackTestPlaysTheSoundUntilStopped();
    void playbackTestRefusesWhatIsNotASound_data();
    void playbackTestRefusesWhatIsNotASound();
    void recordingTestFallsBackToTheSyntheticMicrophone();
    void logFileRecordsTheChannel();
    void rendersAreMadeFedAndReleasedOnTheVideoThread();
    void framesForASlowRenderWaitAsTheNewestOnly();
    void hooksRunOnTheCallbackThreadAndNothingComesAfterRelease();

private:
    MosquittoBroker m_broker;
};

void TestRtcEngine::initTestCase()
{
    QVERIFY(m_broker.start());
}

void TestRtcEngine::participantsSeeEachOtherJoinAndLeave()
{
    RtcPeerProcess teacher(m_broker.port(), 30001);
    RtcPeerProcess student(m_broker.port(), 20001);
    QVERIFY(teacher.start());
    QVERIFY(student.start());

    QVERIFY(teacher.joinWithStream(QStringLiteral("class-1")) > 0);
    QVERIFY(student.joinWithStream(QStringLiteral("class-1")) > 0);
    // The one already there is told by the relay; the newcomer announces itself.
    QCOMPARE(student.take(QStringLiteral("user-joined")), QStringLiteral("user-joined 30001"));
    QCOMPARE(teacher.take(QStringLiteral("user-joined")), QStringLiteral("user-joined 20001"));

    student.command(QStringLiteral("leave"));
    QCOMPARE(student.take(QStringLiteral("leave-result")), QStringLiteral("leave-result 0"));
    QCOMPARE(student.take(QStringLiteral("left")), QStringLiteral("left"));
    QCOMPARE(teacher.take(QStringLiteral("user-offline")), QStringLiteral("user-offline 20001 0"));

    QCOMPARE(student.finish(), 0);
    QCOMPARE(teacher.finish(), 0);
    // Nobody else was seen, and every callback came on an engine thread.
    for (RtcPeerProcess *peer : { &teacher, &student }) {
        const QStringList lines = peer->lines();
        QCOMPARE(lines.filter(QStringLiteral("user-joined")).size(), 1);
        QVERIFY2(lines.filter(QStringLiteral("wrong-thread")).isEmpty(), qPrintable(lines.join('\n')));
    }
}

void TestRtcEngine::dataStreamIsOrderedAndDeliveredOnce()
{
    RtcPeerProcess teacher(m_broker.port(), 30001);
    RtcPeerProcess student(m_broker.port(), 20001);
    QVERIFY(teacher.start());
    QVERIFY(student.start());
    const int teacherStream = teacher.joinWithStream(QStringLiteral("class-2"));
    const int studentStream = student.joinWithStream(QStringLiteral("class-2"));
    QVERIFY(teacherStream > 0 && studentStream > 0);
    QVERIFY(!teacher.take(QStringLiteral("user-joined 20001")).isEmpty());

    const int count = 300;
    teacher.command(QStringLiteral("sendmany %1 %2 stroke-").arg(teacherStream).arg(count));
    QCOMPARE(teacher.take(QStringLiteral("sendmany-result")), QStringLiteral("sendmany-result 0"));
    const QStringList received = student.takeMany(QStringLiteral("stream "), count);
    QCOMPARE(received.size(), count);
    for (int i = 0; i < count; ++i)
        QCOMPARE(received.at(i), QStringLiteral("stream 30001 %1 stroke-%2").arg(teacherStream).arg(i));

    // A text with spaces and non-ASCII characters comes back whole.
    student.command(QStringLiteral("send %1 页 2 of 5").arg(studentStream));
    QCOMPARE(student.take(QStringLiteral("send-result")), QStringLiteral("send-result 0"));
    QCOMPARE(teacher.take(QStringLiteral("stream ")), QStringLiteral("stream 20001 %1 页 2 of 5").arg(studentStream));

    QCOMPARE(teacher.finish(), 0);
    QCOMPARE(student.finish(), 0);
    // Exactly once: no repeats, and nobody hears its own messages.
    QCOMPARE(student.lines().filter(QStringLiteral("stream 30001")).size(), count);
    QCOMPARE(teacher.lines().filter(QStringLiteral("stream ")).size(), 1);
    QVERIFY(student.lines().filter(QStringLiteral("stream-error")).isEmpty());
}

void TestRtcEngine::crashedParticipantIsDropped()
{
    RtcPeerProcess teacher(m_broker.port(), 30001);
    RtcPeerProcess student(m_broker.port(), 20001);
    QVERIFY(teacher.start());
    QVERIFY(student.start());
    const int teacherStream = teacher.joinWithStream(QStringLiteral("class-3"));
    QVERIFY(teacherStream > 0);
    QVERIFY(student.joinWithStream(QStringLiteral("class-3")) > 0);
    QVERIFY(!teacher.take(QStringLiteral("user-joined 20001")).isEmpty());

    student.kill();
    QCOMPARE(teacher.take(QStringLiteral("user-offline"), 20000), QStringLiteral("user-offline 20001 1"));

    // A newcomer does not meet the crashed one. The relay hands it the
    // members before anything sent after its join, so once a later message
    // is there, every member has been told.
    RtcPeerProcess late(m_broker.port(), 20002);
    QVERIFY(late.start());
    QVERIFY(late.joinWithStream(QStringLiteral("class-3")) > 0);
    teacher.command(QStringLiteral("send %1 sync").arg(teacherStream));
    QCOMPARE(late.take(QStringLiteral("stream ")), QStringLiteral("stream 30001 %1 sync").arg(teacherStream));
    QCOMPARE(late.lines().filter(QStringLiteral("user-joined")), QStringList { QStringLiteral("user-joined 30001") });
}

void TestRtcEngine::rejoinStartsAFreshStream()
{
    RtcPeerProcess teacher(m_broker.port(), 30001);
    RtcPeerProcess student(m_broker.port(), 20001);
    QVERIFY(teacher.start());
    QVERIFY(student.start());
    QVERIFY(teacher.joinWithStream(QStringLiteral("class-4")) > 0);
    int studentStream = student.joinWithStream(QStringLiteral("class-4"));
    QVERIFY(studentStream > 0);
    student.command(QStringLiteral("send %1 before").arg(studentStream));
    QCOMPARE(student.take(QStringLiteral("send-result")), QStringLiteral("send-result 0"));
    QCOMPARE(teacher.take(QStringLiteral("stream ")), QStringLiteral("stream 20001 %1 before").arg(studentStream));

    student.command(QStringLiteral("leave"));
    QVERIFY(!student.take(QStringLiteral("left")).isEmpty());
    QCOMPARE(teacher.take(QStringLiteral("user-offline")), QStringLiteral("user-offline 20001 0"));
    // The stream of the earlier join is gone with it.
    student.command(QStringLiteral("send %1 between").arg(studentStream));
    QCOMPARE(student.take(QStringLiteral("send-result")), QStringLiteral("send-result -3"));

    studentStream = student.joinWithStream(QStringLiteral("class-4"));
    QVERIFY(studentStream > 0);
    QVERIFY(!teacher.take(QStringLiteral("user-joined 20001")).isEmpty());
    student.command(QStringLiteral("send %1 after").arg(studentStream));
    student.command(QStringLiteral("send %1 last").arg(studentStream));
    QCOMPARE(teacher.take(QStringLiteral("stream ")), QStringLiteral("stream 20001 %1 after").arg(studentStream));
    QCOMPARE(teacher.take(QStringLiteral("stream ")), QStringLiteral("stream 20001 %1 last").arg(studentStream));
    // Each message of each join once, and no gap reported across the joins.
    QCOMPARE(teacher.lines().filter(QRegularExpression(QStringLiteral("^stream "))).size(), 3);
    QVERIFY(teacher.lines().filter(QStringLiteral("stream-error")).isEmpty());
}

void TestRtcEngine::relayRestartInterruptsAndRejoins()
{
    MosquittoBroker broker;
    QVERIFY(broker.start());
    RtcPeerProcess teacher(broker.port(), 30001, 300);
    RtcPeerProcess student(broker.port(), 20001, 300);
    QVERIFY(teacher.start());
    QVERIFY(student.start());
    const int teacherStream = teacher.joinWithStream(QStringLiteral("class-5"));
    QVERIFY(teacherStream > 0);
    QVERIFY(student.joinWithStream(QStringLiteral("class-5")) > 0);
    QVERIFY(!teacher.take(QStringLiteral("user-joined 20001")).isEmpty());

    broker.stop();
    QVERIFY(!teacher.take(QStringLiteral("interrupted")).isEmpty());
    QVERIFY(!teacher.take(QStringLiteral("lost")).isEmpty());
    QVERIFY(!student.take(QStringLiteral("interrupted")).isEmpty());

    QVERIFY(broker.start());
    QCOMPARE(teacher.take(QStringLiteral("rejoined"), 20000), QStringLiteral("rejoined class-5 30001"));
    QCOMPARE(student.take(QStringLiteral("rejoined"), 20000), QStringLiteral("rejoined class-5 20001"));
    teacher.command(QStringLiteral("send %1 again").arg(teacherStream));
    QCOMPARE(student.take(QStringLiteral("stream ")), QStringLiteral("stream 30001 %1 again").arg(teacherStream));
    // Still the same two people. The relay may have handed on the other's
    // will as it went down; then that one is back once it has rejoined.
    const auto lastMembership = [](RtcPeerProcess *peer) {
        const QStringList members = peer->lines().filter(QRegularExpression(QStringLiteral("^user-(joined|offline)")));
        return members.isEmpty() ? QString() : members.last();
    };
    QTRY_COMPARE(lastMembership(&teacher), QStringLiteral("user-joined 20001"));
    QTRY_COMPARE(lastMembership(&student), QStringLiteral("user-joined 30001"));
}

// Stream messages leave at once: the relay connection's socket has
// TCP_NODELAY after the connect and after the automatic reconnect.
void TestRtcEngine::relaySocketHasNoDelayAfterEachConnect()
{
    MosquittoBroker broker;
    QVERIFY(broker.start());
    RecordingHandler handler;
    LocalEngine local(&handler);
    QCOMPARE(local.setRelay(broker.port()), 0);
    QCOMPARE(local.engine->joinChannel(nullptr, "nodelay", nullptr, 9), 0);
    QTRY_COMPARE(handler.count(QStringLiteral("joined nodelay 9")), 1);
    const auto allSet = [&broker]() {
        const std::vector<int> sockets = TcpNoDelay::socketsConnectedTo("127.0.0.1", broker.port());
        bool set = !sockets.empty();
        for (int fd : sockets)
            set = set && TcpNoDelay::isSet(fd);
        return set;
    };
    QVERIFY(allSet());
    broker.stop();
    QTRY_COMPARE_WITH_TIMEOUT(handler.count(QStringLiteral("lost")), 1, 20000);
    QVERIFY(broker.start());
    QTRY_COMPARE_WITH_TIMEOUT(handler.count(QStringLiteral("rejoined nodelay 9")), 1, 20000);
    QVERIFY(allSet());
    QCOMPARE(local.engine->leaveChannel(), 0);
}

// While the relay is away a stream message is refused at once, as the
// other transports refuse theirs, and never sent after the outage.
void TestRtcEngine::dataStreamRefusedWhileTheRelayIsAway()
{
    MosquittoBroker broker;
    QVERIFY(broker.start());
    RecordingHandler handler;
    LocalEngine local(&handler);
    QCOMPARE(local.setRelay(broker.port()), 0);
    QCOMPARE(local.engine->joinChannel(nullptr, "outage", nullptr, 8), 0);
    QTRY_COMPARE(handler.count(QStringLiteral("joined outage 8")), 1);
    int streamId = 0;
    QCOMPARE(local.engine->createDataStream(&streamId, true, true), 0);
    QCOMPARE(local.engine->sendStreamMessage(streamId, "before", 6), 0);
    broker.stop();
    QTRY_COMPARE_WITH_TIMEOUT(handler.count(QStringLiteral("lost")), 1, 20000);
    QCOMPARE(local.engine->sendStreamMessage(streamId, "during", 6), -rtc::ERR_NOT_READY);
    QCOMPARE(local.engine->leaveChannel(), 0);
}

void TestRtcEngine::engineLeftRunningStopsAtExit()
{
    RtcPeerProcess teacher(m_broker.port(), 30001);
    RtcPeerProcess student(m_broker.port(), 20001);
    QVERIFY(teacher.start());
    QVERIFY(student.start());
    QVERIFY(teacher.joinWithStream(QStringLiteral("class-6")) > 0);
    QVERIFY(student.joinWithStream(QStringLiteral("class-6")) > 0);
    QVERIFY(!teacher.take(QStringLiteral("user-joined 20001")).isEmpty());

    // The program ends without releasing its engine: the library stops the
    // threads itself, the process ends normally and the others see a leave.
    student.command(QStringLiteral("exit"));
    QCOMPARE(student.finish(), 0);
    QCOMPARE(teacher.take(QStringLiteral("user-offline")), QStringLiteral("user-offline 20001 0"));
}

namespace {

// One data-stream packet as a sender's engine puts it on the relay.
QByteArray streamPacket(int streamId, quint64 session, quint64 sequence, const QByteArray &data)
{
    QByteArray packet("LRS1");
    char field[8];
    qToBigEndian<quint32>(quint32(streamId), field);
    packet.append(field, 4);
    qToBigEndian<quint64>(session, field);
    packet.append(field, 8);
    qToBigEndian<quint64>(sequence, field);
    packet.append(field, 8);
    return packet + data;
}

// Publishes bytes as another client would, with the broker's own tool.
bool publishRaw(quint16 port, const QString &topic, const QByteArray &payload)
{
    QTemporaryDir dir;
    QFile file(dir.filePath(QStringLiteral("payload")));
    if (!file.open(QIODevice::WriteOnly) || file.write(payload) != payload.size())
        return false;
    file.close();
    return QProcess::execute(QStringLiteral("mosquitto_pub"), { QStringLiteral("-h"), QStringLiteral("127.0.0.1"), QStringLiteral("-p"),
                                                                QString::number(port), QStringLiteral("-q"), QStringLiteral("1"),
                                                                QStringLiteral("-t"), topic, QStringLiteral("-f"), file.fileName() })
        == 0;
}

} // namespace

void TestRtcEngine::receivedPacketsAreCheckedInOrder()
{
    RtcPeerProcess teacher(m_broker.port(), 30001);
    QVERIFY(teacher.start());
    QVERIFY(teacher.joinWithStream(QStringLiteral("class-7")) > 0);
    const QString topic = QStringLiteral("lessonry/rtc/%1/class-7/stream/77").arg(QLatin1String(kAppId));

    QVERIFY(publishRaw(m_broker.port(), topic, streamPacket(3, 9, 1, "a")));
    // A repeat of what came already, and things that are not packets.
    QVERIFY(publishRaw(m_broker.port(), topic, streamPacket(3, 9, 1, "a")));
    QVERIFY(publishRaw(m_broker.port(), topic, "not a packet"));
    QVERIFY(publishRaw(m_broker.port(), topic, streamPacket(3, 9, 0, "no place")));
    // Two went missing on the way.
    QVERIFY(publishRaw(m_broker.port(), topic, streamPacket(3, 9, 4, "d")));
    // Another join of the same sender starts its own count.
    QVERIFY(publishRaw(m_broker.port(), topic, streamPacket(3, 10, 1, "end")));

    QCOMPARE(teacher.take(QStringLiteral("stream 77 3 end")), QStringLiteral("stream 77 3 end"));
    const QStringList received = teacher.lines().filter(QRegularExpression(QStringLiteral("^stream(-error)? 77 ")));
    QCOMPARE(received, QStringList({ QStringLiteral("stream 77 3 a"), QStringLiteral("stream-error 77 3 11 2"),
                                     QStringLiteral("stream 77 3 d"), QStringLiteral("stream 77 3 end") }));
}

void TestRtcEngine::operationErrors()
{
    RecordingHandler handler;
    // Before initialise nothing works.
    rtc::IRtcEngine *bare = createAgoraRtcEngine();
    int streamId = 0;
    void *inter = nullptr;
    QCOMPARE(bare->joinChannel(nullptr, "c", nullptr, 1), -rtc::ERR_NOT_INITIALIZED);
    QCOMPARE(bare->queryInterface(rtc::AGORA_IID_RTC_ENGINE_PARAMETER, &inter), -rtc::ERR_NOT_INITIALIZED);
    QVERIFY(!inter);
    QCOMPARE(bare->initialize({ &handler, "not-an-id" }), -rtc::ERR_INVALID_ARGUMENT);
    QCOMPARE(bare->initialize({ nullptr, kAppId }), -rtc::ERR_INVALID_ARGUMENT);
    QCOMPARE(bare->initialize({ &handler, "0123456789ABCDEF0123456789ABCDEF" }), -rtc::ERR_INVALID_ARGUMENT);
    bare->release(true);

    LocalEngine local(&handler);
    QCOMPARE(local.initialized, 0);
    rtc::IRtcEngine *engine = local.engine;
    QCOMPARE(engine->initialize({ &handler, kAppId }), -rtc::ERR_REFUSED);
    QCOMPARE(engine->queryInterface(99, &inter), -rtc::ERR_NOT_SUPPORTED);
    QCOMPARE(engine->setChannelProfile(1), -rtc::ERR_NOT_SUPPORTED);
    QCOMPARE(engine->setVideoProfile(-1, false), -rtc::ERR_INVALID_ARGUMENT);
    QCOMPARE(engine->setupRemoteVideo({ nullptr, 1, 0, nullptr }), -rtc::ERR_INVALID_ARGUMENT);
    // Outside a channel.
    QCOMPARE(engine->createDataStream(&streamId, true, true), -rtc::ERR_NOT_READY);
    QCOMPARE(engine->sendStreamMessage(1, "x", 1), -rtc::ERR_NOT_READY);
    QCOMPARE(engine->leaveChannel(), 0);
    // No relay to meet on yet.
    QCOMPARE(engine->joinChannel(nullptr, "c", nullptr, 7), -rtc::ERR_NOT_READY);

    QCOMPARE(local.setRelay(m_broker.port()), 0);
    QCOMPARE(engine->joinChannel(nullptr, "", nullptr, 7), -rtc::ERR_INVALID_ARGUMENT);
    QCOMPARE(engine->joinChannel(nullptr, nullptr, nullptr, 7), -rtc::ERR_INVALID_ARGUMENT);
    QCOMPARE(engine->joinChannel(nullptr, QByteArray(65, 'c').constData(), nullptr, 7), -rtc::ERR_INVALID_ARGUMENT);
    QCOMPARE(engine->joinChannel(nullptr, "errors", nullptr, 7), 0);
    QCOMPARE(engine->joinChannel(nullptr, "errors", nullptr, 7), -rtc::ERR_ALREADY_IN_CHANNEL);
    QCOMPARE(engine->createDataStream(nullptr, true, true), -rtc::ERR_INVALID_ARGUMENT);
    QCOMPARE(engine->createDataStream(&streamId, false, true), -rtc::ERR_NOT_SUPPORTED);
    QCOMPARE(engine->createDataStream(&streamId, true, true), 0);
    QCOMPARE(engine->sendStreamMessage(streamId + 1, "x", 1), -rtc::ERR_INVALID_ARGUMENT);
    QCOMPARE(engine->sendStreamMessage(streamId, nullptr, 1), -rtc::ERR_INVALID_ARGUMENT);
    QCOMPARE(engine->sendStreamMessage(streamId, "x", 0), -rtc::ERR_INVALID_ARGUMENT);
    const QByteArray tooLong(int(rtc::kMaxStreamMessageLength) + 1, 'x');
    QCOMPARE(engine->sendStreamMessage(streamId, tooLong.constData(), size_t(tooLong.size())), -rtc::ERR_INVALID_ARGUMENT);
    const QByteArray longest(int(rtc::kMaxStreamMessageLength), 'x');
    QCOMPARE(engine->sendStreamMessage(streamId, longest.constData(), size_t(longest.size())), 0);
    QTRY_COMPARE(handler.count(QStringLiteral("joined errors 7")), 1);
    QCOMPARE(engine->leaveChannel(), 0);
    QTRY_COMPARE(handler.count(QStringLiteral("left")), 1);
}

void TestRtcEngine::parameters_data()
{
    QTest::addColumn<QByteArray>("key");  // empty: setParameters with value
    QTest::addColumn<QByteArray>("value");
    QTest::addColumn<int>("result");
    QTest::addColumn<QString>("stored"); // compact JSON of the stored value, empty: none

    QTest::newRow("several keys") << QByteArray() << QByteArray("{\"rtc.audio.mute_me\":true,\"che.audio.mute_me\":true}") << 0
                                  << QStringLiteral("true");
    QTest::newRow("nested object") << QByteArray() << QByteArray("{\"che.video.setstream\":{\"uid\":100,\"stream\":0}}") << 0
                                   << QString();
    QTest::newRow("not JSON") << QByteArray() << QByteArray("{\"rtc.audio.mute_me\":") << -rtc::ERR_INVALID_ARGUMENT << QString();
    QTest::newRow("not an object") << QByteArray() << QByteArray("[1,2]") << -rtc::ERR_INVALID_ARGUMENT << QString();
    QTest::newRow("mute is not a bool") << QByteArray("che.audio.mute_me") << QByteArray("1") << -rtc::ERR_INVALID_ARGUMENT << QString();
    QTest::newRow("object value") << QByteArray("che.video.start_screen_capture") << QByteArray("{\"id\":0,\"captureFreq\":30}") << 0
                                  << QString();
    QTest::newRow("garbage value") << QByteArray("che.video.start_screen_capture") << QByteArray("{id:0}")
                                   << -rtc::ERR_INVALID_ARGUMENT << QString();
    QTest::newRow("relay without host") << QByteArray("rtc.relay_server") << QByteArray("{\"port\":1883}")
                                        << -rtc::ERR_INVALID_ARGUMENT << QString();
    QTest::newRow("relay port out of range") << QByteArray("rtc.relay_server") << QByteArray("{\"host\":\"h\",\"port\":70000}")
                                             << -rtc::ERR_INVALID_ARGUMENT << QString();
    QTest::newRow("volume without interval") << QByteArray("che.audio.volume_indication") << QByteArray("{\"smooth\":1}")
                                             << -rtc::ERR_INVALID_ARGUMENT << QString();
}

void TestRtcEngine::parameters()
{
    QFETCH(QByteArray, key);
    QFETCH(QByteArray, value);
    QFETCH(int, result);
    QFETCH(QString, stored);

    RecordingHandler handler;
    LocalEngine local(&handler);
    util::AutoPtr<rtc::IRtcEngineParameter> parameters = local.parameters();
    QVERIFY(parameters);
    const int rc = key.isEmpty() ? parameters->setParameters(value.constData())
                                 : parameters->setObject(key.constData(), value.constData());
    QCOMPARE(rc, result);
    if (!stored.isEmpty()) {
        const QJsonValue mute = RtcTestHooks::parameter(local.engine, QStringLiteral("che.audio.mute_me"));
        QCOMPARE(mute.toBool(), true);
    }
    if (result != 0 && !key.isEmpty())
        QVERIFY(RtcTestHooks::parameter(local.engine, QString::fromUtf8(key)).isUndefined());

    // Path conversion gives a clean absolute path and refuses nothing else.
    std::string converted;
    QCOMPARE(parameters->convertPath("dir/../file.log", converted), 0);
    QCOMPARE(QString::fromStdString(converted), QDir::current().absoluteFilePath(QStringLiteral("file.log")));
    QCOMPARE(parameters->convertPath("", converted), -rtc::ERR_INVALID_ARGUMENT);
    QCOMPARE(parameters->convertPath(nullptr, converted), -rtc::ERR_INVALID_ARGUMENT);
}

void TestRtcEngine::unreachableRelayIsReportedOnceAndLeaveEndsIt()
{
    QTemporaryDir dir;
    const QString logPath = dir.filePath(QStringLiteral("engine.log"));
    RecordingHandler handler;
    LocalEngine local(&handler);
    QCOMPARE(local.parameters()->setString("rtc.log_file", qPrintable(logPath)), 0);
    QCOMPARE(local.setRelay(TestEnvironment::deadPort()), 0);
    QCOMPARE(local.engine->joinChannel(nullptr, "nowhere", nullptr, 5), 0);
    QTRY_COMPARE(handler.count(QStringLiteral("error 10 ")), 1);
    // It keeps trying (each attempt is in its log) without saying it again.
    const auto attempts = [&logPath] {
        QFile file(logPath);
        return file.open(QIODevice::ReadOnly) ? int(file.readAll().count("cannot reach the relay")) : 0;
    };
    QTRY_VERIFY_WITH_TIMEOUT(attempts() >= 2, 10000);
    QCOMPARE(handler.count(QStringLiteral("error")), 1);
    QCOMPARE(handler.count(QStringLiteral("joined")), 0);
    QCOMPARE(local.engine->leaveChannel(), 0);
    QTRY_COMPARE(handler.count(QStringLiteral("left")), 1);
    QVERIFY(!handler.onMainThread());
}

void TestRtcEngine::volumeReportsComeAtTheSetInterval()
{
    RecordingHandler handler;
    LocalEngine local(&handler);
    QCOMPARE(local.setRelay(m_broker.port()), 0);
    QCOMPARE(local.parameters()->setObject("che.audio.volume_indication", "{\"interval\":50,\"smooth\":1}"), 0);
    QCOMPARE(local.engine->joinChannel(nullptr, "volume", nullptr, 5), 0);
    QTRY_VERIFY(handler.count(QStringLiteral("volume")) >= 3);
    // The local user comes first, as uid 0.
    QVERIFY(handler.events().contains(QStringLiteral("volume 1 first 0")));

    QCOMPARE(local.parameters()->setObject("che.audio.volume_indication", "{\"interval\":0}"), 0);
    QVERIFY(!handler.onMainThread());
}

void TestRtcEngine::playbackTestPlaysTheSoundUntilStopped_data()
{
    QTest::addColumn<QByteArray>("speaker");
    // The synthetic speaker plays into nothing; a speaker the machine
    // does not have (as in a headless run) falls back to the same.
    QTest::newRow("synthetic speaker") << QByteArray("lessonry-synthetic-speaker");
    QTest::newRow("speaker without a device") << QByteArray("no-such-speaker");
}

void TestRtcEngine::playbackTestPlaysTheSoundUntilStopped()
{
    QFETCH(QByteArray, speaker);
    RtcTestHooks::setDevices(rtc::AUDIO_PLAYOUT_DEVICE, { { speaker, "Speaker" } });
    RecordingHandler handler;
    LocalEngine local(&handler);
    rtc::IAudioDeviceManager *devices = audioDevices(local.engine);
    QVERIFY(devices);
    QCOMPARE(devices->setPlaybackDevice(speaker.constData()), 0);

    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("beep.wav"));
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(wavFile(1600)); // 100 ms
    file.close();

    QCOMPARE(devices->startPlaybackDeviceTest(path.toUtf8().constData()), 0);
    QCOMPARE(RtcTestHooks::playbackTestFile(local.engine), path);
    // Played to the end, and again.
    QTRY_VERIFY(RtcTestHooks::playbackTestPasses(local.engine) >= 2);
    bool silent = false;
    RtcTestHooks::playbackTestPasses(local.engine, &silent);
    QVERIFY(silent);

    QCOMPARE(devices->stopPlaybackDeviceTest(), 0);
    QVERIFY(RtcTestHooks::playbackTestFile(local.engine).isEmpty());
    // A new start counts its own passes.
    QCOMPARE(devices->startPlaybackDeviceTest(path.toUtf8().constData()), 0);
    QCOMPARE(RtcTestHooks::playbackTestPasses(local.engine), 0);
    QTRY_VERIFY(RtcTestHooks::playbackTestPasses(local.engine) >= 1);
    QCOMPARE(devices->stopPlaybackDeviceTest(), 0);

    // The program's own test sounds are sounds the test plays.
    for (const char *name : { "teacherPlayerTest.wav", "studentPlayerTest.wav" }) {
        const QString sound = QStringLiteral(LESSONRY_SOURCE_DIR "/src/audioTest/") + QLatin1String(name);
        QCOMPARE(devices->startPlaybackDeviceTest(sound.toUtf8().constData()), 0);
        QCOMPARE(devices->stopPlaybackDeviceTest(), 0);
    }
    devices->release();
    RtcTestHooks::resetDevices();
}

void TestRtcEngine::playbackTestRefusesWhatIsNotASound_data()
{
    QTest::addColumn<QByteArray>("content");
    QTest::addColumn<bool>("write");
    QTest::newRow("missing file") << QByteArray() << false;
    QTest::newRow("empty file") << QByteArray() << true;
    QTest::newRow("not a WAV file") << QByteArray("just text, long enough") << true;
    QTest::newRow("not PCM") << wavFile(1600, 3) << true;
    QTest::newRow("no data chunk") << wavFile(0, 1, false) << true;
    QTest::newRow("no frames") << wavFile(0) << true;
}

void TestRtcEngine::playbackTestRefusesWhatIsNotASound()
{
    QFETCH(QByteArray, content);
    QFETCH(bool, write);
    RecordingHandler handler;
    LocalEngine local(&handler);
    rtc::IAudioDeviceManager *devices = audioDevices(local.engine);
    QVERIFY(devices);
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("sound.wav"));
    if (write) {
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(content);
    }
    QCOMPARE(devices->startPlaybackDeviceTest(path.toUtf8().constData()), -rtc::ERR_INVALID_ARGUMENT);
    QVERIFY(RtcTestHooks::playbackTestFile(local.engine).isEmpty());
    QCOMPARE(devices->startPlaybackDeviceTest(nullptr), -rtc::ERR_INVALID_ARGUMENT);
    devices->release();
}

void TestRtcEngine::recordingTestFallsBackToTheSyntheticMicrophone()
{
    // A microphone the machine does not have delivers nothing: the
    // levels are the synthetic microphone's, moving within its range.
    for (const QByteArray &microphone : { QByteArray("lessonry-synthetic-microphone"), QByteArray("no-such-microphone") }) {
        RtcTestHooks::setDevices(rtc::AUDIO_RECORDING_DEVICE, { { microphone, "Microphone" } });
        RecordingHandler handler;
        LocalEngine local(&handler);
        rtc::IAudioDeviceManager *devices = audioDevices(local.engine);
        QVERIFY(devices);
        QCOMPARE(devices->setRecordingDevice(microphone.constData()), 0);
        QCOMPARE(devices->startRecordingDeviceTest(20), 0);
        QTRY_VERIFY(handler.levels().size() >= 10);
        QCOMPARE(devices->stopRecordingDeviceTest(), 0);
        const QList<int> levels = handler.levels();
        QSet<int> distinct;
        for (int level : levels) {
            QVERIFY2(level >= 20 && level <= 220, qPrintable(QString::number(level)));
            distinct.insert(level);
        }
        QVERIFY(distinct.size() > 1);
        devices->release();
    }
    RtcTestHooks::resetDevices();
}

void TestRtcEngine::logFileRecordsTheChannel()
{
    QTemporaryDir dir;
    RecordingHandler handler;
    LocalEngine local(&handler);
    QCOMPARE(local.parameters()->setString("rtc.log_file", qPrintable(dir.filePath(QStringLiteral("missing/engine.log")))),
             -rtc::ERR_FAILED);
    const QString path = dir.filePath(QStringLiteral("engine.log"));
    QCOMPARE(local.parameters()->setString("rtc.log_file", qPrintable(path)), 0);
    QVERIFY(QFile::exists(path));
    QCOMPARE(local.setRelay(m_broker.port()), 0);
    QCOMPARE(local.engine->joinChannel(nullptr, "logged", nullptr, 5), 0);
    QTRY_COMPARE(handler.count(QStringLiteral("joined")), 1);
    QFile file(path);
    QVERIFY(file.open(QIODevice::ReadOnly));
    QVERIFY(file.readAll().contains("joined channel logged"));
}

void TestRtcEngine::rendersAreMadeFedAndReleasedOnTheVideoThread()
{
    RecordingHandler handler;
    RecordingFactory factory;
    LocalEngine local(&handler);
    QCOMPARE(local.useRenderFactory(&factory), 0);

    int view = 0;
    QCOMPARE(local.engine->setupLocalVideo({ &view, rtc::RENDER_MODE_HIDDEN, 0, nullptr }), 0);
    QVERIFY(RtcTestHooks::hasVideoBinding(local.engine, 0));
    QByteArray pixels(2 * 2 * 4, '\0');
    pixels[0] = char(0xab);
    QVERIFY(RtcTestHooks::deliverVideoFrame(local.engine, 0, 2, 2, pixels, 180, true));
    // A frame whose size does not match its pixels is handed on as empty.
    QVERIFY(RtcTestHooks::deliverVideoFrame(local.engine, 0, 3, 3, pixels));
    QTRY_COMPARE(factory.snapshot().size(), 3);
    QCOMPARE(factory.snapshot().at(0), QStringLiteral("create view %1 callback 1 on rtc-video").arg(quintptr(&view)));
    QCOMPARE(factory.snapshot().at(1), QStringLiteral("frame 2x2 rot 180 mirror 1 rc 0 first ab on rtc-video"));
    QCOMPARE(factory.snapshot().at(2), QStringLiteral("frame 0x0 rot 0 mirror 0 rc %1 first 0 on rtc-video")
                                           .arg(-rtc::ERR_INVALID_ARGUMENT));

    // Unbinding releases the render; a remote view is bound by uid; the
    // release of the engine releases what is still bound.
    QCOMPARE(local.engine->setupLocalVideo({ nullptr, rtc::RENDER_MODE_HIDDEN, 0, nullptr }), 0);
    QVERIFY(!RtcTestHooks::hasVideoBinding(local.engine, 0));
    QCOMPARE(factory.snapshot().last(), QStringLiteral("release rtc-video"));
    QCOMPARE(local.engine->setupRemoteVideo({ &view, rtc::RENDER_MODE_HIDDEN, 42, nullptr }), 0);
    QVERIFY(RtcTestHooks::hasVideoBinding(local.engine, 42));
    local.release();
    QCOMPARE(factory.snapshot().size(), 6);
    QCOMPARE(factory.snapshot().last(), QStringLiteral("release rtc-video"));
}

// Decoded pictures of a received feed keep coming while the video thread
// is held in a render: only the newest frame of the sender waits for it,
// not every frame decoded meanwhile (each a fifth of a megabyte at the
// camera's size, piling up on a busy machine and kept by the allocator
// afterwards).
void TestRtcEngine::framesForASlowRenderWaitAsTheNewestOnly()
{
    RecordingHandler handler;
    HoldingFactory factory;
    LocalEngine local(&handler);
    QCOMPARE(local.useRenderFactory(&factory), 0);
    int view = 0;
    QCOMPARE(local.engine->setupRemoteVideo({ &view, rtc::RENDER_MODE_HIDDEN, 30001, nullptr }), 0);
    QVERIFY(RtcTestHooks::hasVideoBinding(local.engine, 30001));
    QVERIFY(factory.render);

    // Each picture told apart by its width, handed over as the decoder of
    // the sender's feed hands its frames (from a thread of its own).
    const auto picture = [](int width) {
        QImage image(width, 16, QImage::Format_RGB32);
        image.fill(QColor(30, 120, 200));
        return image;
    };
    QVERIFY(RtcTestHooks::deliverDecodedFrame(local.engine, 30001, picture(16)));
    QVERIFY(factory.render->entered.tryAcquire(1, 10000));
    for (int width = 24; width <= 120; width += 8)
        QVERIFY(RtcTestHooks::deliverDecodedFrame(local.engine, 30001, picture(width)));
    factory.render->letGo.release();
    QTRY_COMPARE(factory.render->seen().value(factory.render->seen().size() - 1), 120);
    // The held one and the newest decoded meanwhile: not each of the thirteen.
    QCOMPARE(factory.render->seen().first(), 16);
    QVERIFY2(factory.render->seen().size() <= 2, qPrintable(QString::number(factory.render->seen().size())));
}

void TestRtcEngine::hooksRunOnTheCallbackThreadAndNothingComesAfterRelease()
{
    RecordingHandler handler;
    LocalEngine local(&handler);
    QVERIFY(RtcTestHooks::triggerRequestChannelKey(local.engine));
    QVERIFY(RtcTestHooks::triggerConnectionLost(local.engine));
    QTRY_COMPARE(handler.events(), QStringList({ QStringLiteral("key"), QStringLiteral("lost") }));
    QVERIFY(!handler.onMainThread());

    // Whatever is still queued when the engine goes is dropped with it.
    for (int i = 0; i < 1000; ++i)
        RtcTestHooks::triggerRequestChannelKey(local.engine);
    local.release();
    // The threads are joined: what was not run by now never runs.
    const int seen = handler.count(QStringLiteral("key"));
    QVERIFY(seen <= 1002);
    QCoreApplication::processEvents();
    QCOMPARE(handler.count(QStringLiteral("key")), seen);

    // A hook on something that is not our engine does nothing.
    QVERIFY(!RtcTestHooks::triggerConnectionLost(nullptr));
}

QTEST_GUILESS_MAIN(TestRtcEngine)
#include "tst_rtcengine.moc"
