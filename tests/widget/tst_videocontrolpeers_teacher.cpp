// A teaching video played in step between the teacher (this process, with
// the real video player on a generated file) and two students in processes
// of their own over a real broker: the start message, each student's
// readiness, play within the five waiting ticks, pause and resume followed
// on both students, the end when the teacher closes, and the microphones
// off while the video plays. A student who cannot play videos locally turns
// it into a shared screen without any message. A readiness that comes after
// the video started leaves it playing; one from outside the roster starts
// nothing.

#include "classroompeerprocess.h"
#include "messagecatcher.h"
#include "mosquittobroker.h"
#include "scopedtimescale.h"
#include "testutil.h"

#include "boardclasssupport.h"

#include "mgr/message/videocontrolprotocol.h"
#include "mgr/signalqueuemgr.h"
#include "platform/player/avplayer.h"
#include "widget/coursedialogs.h"
#include "widget/teacherclasswidget.h"
#include "widget/teachervideoplayerwidget.h"

#include <QDir>
#include <QJsonObject>
#include <QPushButton>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

#include <memory>

namespace {

const QString kTeacher = QStringLiteral("30001");
const QStringList kStudents{ QStringLiteral("20001"), QStringLiteral("20002") };
const QString kMid = QStringLiteral("m-7");
// A minute long: the steps that pause and resume find it still playing on
// every side however slowly a loaded machine gets there.
const char kVideoFile[] = "clip-long-silent.mp4";
const char kSoundFile[] = "clip-long-sound.mp3";

QString media(const char *name)
{
    return QStringLiteral(LESSONRY_TEST_MEDIA_DIR "/") + QLatin1String(name);
}

// The teacher's class page, holding the roster of the test's class.
class TeacherPage : public TeacherClassWidget
{
public:
    explicit TeacherPage(UserList *roster) { userList = roster; }
};

} // namespace

class TestVideoControlPeers : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();

    void localModeFollowsTheTeacher();
    void studentWithoutLocalPlayGetsTheSharedScreen();
    void brokenVideoGivesTheMicrophonesBack();
    void lateReadinessLeavesTheVideoPlaying();
    void readinessFromOutsideTheRosterIsDropped();

private:
    void startStudents();
    // A participant of the class in a process of its own that sends a
    // student's readiness for the test's video when told to.
    std::unique_ptr<ClassroomPeerProcess> startReadinessSender(const QString &uid);
    QJsonObject readiness() const;
    // The teacher's player on the test's video, shown; it goes when closed.
    TeacherVideoPlayerWidget *openPlayer();
    ClassInfoEntity classInfo() const;
    VideoMaterial material() const;

    MosquittoBroker m_broker;
    QTemporaryDir m_dir;
    QString m_classId;
    std::unique_ptr<BoardClass> m_session;
    std::unique_ptr<TeacherPage> m_page;
    std::vector<std::unique_ptr<ClassroomPeerProcess>> m_students;
};

void TestVideoControlPeers::initTestCase()
{
    QVERIFY(m_broker.startWithServersIni(m_dir.filePath(QStringLiteral("servers.ini"))));
    CourseDialogs::setBoxHandler([](const CourseDialogs::Box &) { return 0; });
}

VideoMaterial TestVideoControlPeers::material() const
{
    VideoMaterial video;
    video.id = QStringLiteral("V-1");
    video.video = QStringLiteral("https://media.example/lesson/") + QLatin1String(kVideoFile);
    video.voice = QStringLiteral("https://media.example/lesson/") + QLatin1String(kSoundFile);
    video.name = QStringLiteral("Counting song");
    return video;
}

ClassInfoEntity TestVideoControlPeers::classInfo() const
{
    ClassInfoEntity info;
    info.class_id = m_classId;
    info.material.mid = kMid;
    info.material.videos.append(material());
    return info;
}

void TestVideoControlPeers::init()
{
    m_classId = QStringLiteral("vc-%1").arg(QString::fromLatin1(QTest::currentTestFunction()));
    m_session = testBoardClass(kTeacher, m_classId);
    QVERIFY(joinBoardClass(*m_session));
    m_page = std::make_unique<TeacherPage>(m_session->roster());
    for (const QString &uid : kStudents) {
        m_session->roster()->setIsInChannel(uid, true);
        m_session->roster()->setVideoLocalPlayCapability(uid, 1);
    }
}

void TestVideoControlPeers::startStudents()
{
    const VideoMaterial video = material();
    const QString videoArgument = QStringList{ video.id, video.video, video.voice, video.name }.join(QLatin1Char('|'));
    for (const QString &uid : kStudents) {
        auto student = std::make_unique<ClassroomPeerProcess>();
        QVERIFY(student->startProgram(QDir(TestUtil::binDir()).filePath(QStringLiteral("lessonry-media-peer-student")),
                                      { QStringLiteral("--uid"), uid, QStringLiteral("--class"), m_classId,
                                        QStringLiteral("--mid"), kMid, QStringLiteral("--video"), videoArgument,
                                        // The students have downloaded the video and its sound.
                                        QStringLiteral("--copy"), media(kVideoFile) + '|' + video.video,
                                        QStringLiteral("--copy"), media(kSoundFile) + '|' + video.voice }));
        m_students.push_back(std::move(student));
    }
}

void TestVideoControlPeers::cleanup()
{
    for (auto &student : m_students)
        QVERIFY(student->quit());
    m_students.clear();
    m_page.reset();
    if (m_session)
        m_session->leave();
    m_session.reset();
}

void TestVideoControlPeers::localModeFollowsTheTeacher()
{
    startStudents();
    // Long waiting ticks: the students' readiness decides, however slowly
    // their players open.
    ScopedTimeScale slow(20);
    MessageCatcher catcher;
    QSignalSpy microphone(SignalQueueMgr::instance(), &SignalQueueMgr::signal_playingVideo);
    auto *player = new TeacherVideoPlayerWidget(nullptr);
    player->setAttribute(Qt::WA_DeleteOnClose);
    QPointer<TeacherVideoPlayerWidget> guard(player);
    player->resize(640, 480);
    player->show();
    const VideoMaterial video = material();
    player->open(classInfo(), video, media(kVideoFile), media(kSoundFile), QString());
    QVERIFY(player->isLocalMode());
    QVERIFY(player->isWaitingForStudents());
    QVERIFY(player->progressDialog());

    for (auto &student : m_students) {
        QVERIFY(student->waitForLine(QStringLiteral("got 5"), 20000));
        QVERIFY(student->waitForLine(QStringLiteral("opened V-1 local"), 20000));
    }
    // Both readinesses start it before the fifth tick.
    QTRY_VERIFY_WITH_TIMEOUT(!player->isWaitingForStudents(), 30000);
    QVERIFY(catcher.contains(QStringLiteral("all students are ready for playing, start play")));
    QVERIFY(player->loadingTicks() < TeacherVideoPlayerWidget::kLastLoadingTick);
    QVERIFY(!player->progressDialog());
    QTRY_VERIFY_WITH_TIMEOUT(player->control()->getIsPlaying(), 10000);
    QVERIFY(!microphone.isEmpty());
    QCOMPARE(microphone.last().at(0).toBool(), true);
    for (const QString &uid : kStudents)
        QVERIFY(m_page->getVideoReadyForPlaying(uid));
    for (auto &student : m_students) {
        QVERIFY(student->waitForLine(QStringLiteral("got 1"), 20000));
        QVERIFY(student->waitForLine(QStringLiteral("playing"), 20000));
        QVERIFY(student->waitForLine(QStringLiteral("mic muted"), 20000));
        QVERIFY(student->waitForLine(QStringLiteral("position"), 20000));
    }

    auto *button = player->findChild<QPushButton *>(QStringLiteral("btnPlayPause"));
    QTest::mouseClick(button, Qt::LeftButton);
    QVERIFY(player->control()->getIsPaused());
    QCOMPARE(microphone.last().at(0).toBool(), false);
    for (auto &student : m_students) {
        QVERIFY(student->waitForLine(QStringLiteral("paused"), 20000));
        QVERIFY(student->waitForLine(QStringLiteral("mic open"), 20000));
    }
    const int before = m_students.front()->lineCount();
    QTest::mouseClick(button, Qt::LeftButton);
    QVERIFY(!player->control()->getIsPaused());
    for (auto &student : m_students)
        QVERIFY(student->waitForLine(QStringLiteral("resumed"), 20000));
    QVERIFY(m_students.front()->waitForLine(QStringLiteral("mic muted"), 20000, before));

    player->close();
    QVERIFY(catcher.contains(QStringLiteral("sendVideoControlProtocol:video_protocol:type:VIDEO_FINISHED, classId:")
                             + m_classId + QStringLiteral(", mid:m-7, videoid:V-1, video:") + video.video
                             + QStringLiteral(", voice:") + video.voice + QStringLiteral(", name:Counting song")));
    QCOMPARE(microphone.last().at(0).toBool(), false);
    for (auto &student : m_students) {
        QVERIFY(student->waitForLine(QStringLiteral("got 4"), 20000));
        QVERIFY(student->waitForLine(QStringLiteral("closed V-1"), 20000));
    }
    // The next video starts from no student ready.
    for (const QString &uid : kStudents)
        QVERIFY(!m_page->getVideoReadyForPlaying(uid));
    QTRY_VERIFY(!guard);
}

void TestVideoControlPeers::studentWithoutLocalPlayGetsTheSharedScreen()
{
    startStudents();
    m_session->roster()->setVideoLocalPlayCapability(kStudents.at(1), 0);
    MessageCatcher catcher;
    auto *player = new TeacherVideoPlayerWidget(nullptr);
    player->setAttribute(Qt::WA_DeleteOnClose);
    player->resize(640, 480);
    player->show();
    player->open(classInfo(), material(), media(kVideoFile), media(kSoundFile), QString());
    QVERIFY(!player->isLocalMode());
    QVERIFY(!player->progressDialog());
    // It starts by itself, 200 ms after opening, and shares its window.
    QTRY_VERIFY_WITH_TIMEOUT(player->control()->getIsPlaying(), 10000);
    QVERIFY(catcher.contains(QStringLiteral("<VideoCapture> canAllStudentsPlayLocalVideo is false")));
    QVERIFY(!catcher.has(QtInfoMsg, QStringLiteral("sendVideoControlProtocol")));
    player->close();
    QVERIFY(!catcher.has(QtInfoMsg, QStringLiteral("sendVideoControlProtocol")));
    // The students were told nothing.
    for (auto &student : m_students) {
        const int from = student->lineCount();
        student->command(QStringLiteral("state"));
        QVERIFY2(student->waitForLine(QStringLiteral("state window none started 0"), 30000, from),
                 qPrintable(student->lines().join(QLatin1Char('\n'))));
        QVERIFY2(student->linesStartingWith(QStringLiteral("got ")).isEmpty(), qPrintable(student->lines().join(QLatin1Char('\n'))));
    }
}

void TestVideoControlPeers::brokenVideoGivesTheMicrophonesBack()
{
    // The teacher's copy is broken. The players used to announce the play
    // all the same and keep both microphones off until the teacher closed
    // the window.
    startStudents();
    const QString broken = m_dir.filePath(QStringLiteral("broken.mp4"));
    QVERIFY(TestUtil::writeFile(broken, QByteArray(64 * 1024, 'x')));
    MessageCatcher catcher;
    QSignalSpy microphone(SignalQueueMgr::instance(), &SignalQueueMgr::signal_playingVideo);
    auto *player = new TeacherVideoPlayerWidget(nullptr);
    player->setAttribute(Qt::WA_DeleteOnClose);
    QPointer<TeacherVideoPlayerWidget> guard(player);
    player->show();
    player->open(classInfo(), material(), broken, media(kSoundFile), QString());
    // It ends by itself, and tells the students so.
    QTRY_VERIFY_WITH_TIMEOUT(!guard, 30000);
    QVERIFY(catcher.has(QtCriticalMsg, QStringLiteral("the medium cannot be played")));
    QVERIFY(catcher.has(QtInfoMsg, QStringLiteral("sendVideoControlProtocol:video_protocol:type:VIDEO_FINISHED")));
    // The broken file shows itself while the students get ready (long
    // before both are): no play is announced.
    QVERIFY(!catcher.has(QtInfoMsg, QStringLiteral("sendVideoControlProtocol:video_protocol:type:VIDEO_PLAY")));
    QVERIFY(microphone.isEmpty() || !microphone.last().at(0).toBool());
    for (auto &student : m_students) {
        QVERIFY(student->waitForLine(QStringLiteral("got 4"), 20000));
        QVERIFY(student->waitForLine(QStringLiteral("closed V-1"), 20000));
        // Whatever it did meanwhile, its microphone is open at the end.
        const QStringList mic = student->linesStartingWith(QStringLiteral("mic "));
        QVERIFY2(mic.isEmpty() || mic.last() == QStringLiteral("mic open"), qPrintable(mic.join('|')));
    }
}

std::unique_ptr<ClassroomPeerProcess> TestVideoControlPeers::startReadinessSender(const QString &uid)
{
    auto peer = std::make_unique<ClassroomPeerProcess>();
    if (!peer->start(ClassroomPeerProcess::Student, uid, m_classId))
        return nullptr;
    return peer;
}

TeacherVideoPlayerWidget *TestVideoControlPeers::openPlayer()
{
    auto *player = new TeacherVideoPlayerWidget(nullptr);
    player->setAttribute(Qt::WA_DeleteOnClose);
    player->resize(640, 480);
    player->show();
    player->open(classInfo(), material(), media(kVideoFile), media(kSoundFile), QString());
    return player;
}

QJsonObject TestVideoControlPeers::readiness() const
{
    const VideoMaterial video = material();
    return QJsonObject{ { "type", int(VIDEO_STUDENT_READY) }, { "classid", m_classId }, { "mid", kMid },
                        { "videoid", video.id }, { "video", video.video }, { "voice", video.voice },
                        { "name", video.name } };
}

void TestVideoControlPeers::lateReadinessLeavesTheVideoPlaying()
{
    // One student in the channel, whose readiness comes only after the
    // waiting ticks have run out and the video plays.
    const QString late = kStudents.at(1);
    m_session->roster()->setIsInChannel(kStudents.at(0), false);
    auto student = startReadinessSender(late);
    QVERIFY(student);
    ScopedTimeScale fast(0.05); // the five ticks in 250 ms
    TeacherVideoPlayerWidget *player = openPlayer();
    QPointer<TeacherVideoPlayerWidget> guard(player);
    QVERIFY(player->isLocalMode());
    QTRY_VERIFY_WITH_TIMEOUT(!player->isWaitingForStudents(), 10000);
    QTRY_VERIFY_WITH_TIMEOUT(player->control()->getIsPlaying(), 10000);

    student->send(501, readiness());
    QTRY_VERIFY_WITH_TIMEOUT(m_page->getVideoReadyForPlaying(late), 20000);
    QVERIFY(m_page->isAllStudentsVideoReady());
    TestUtil::drainEvents();
    // Recorded only: the video goes on, not paused by a second start.
    QVERIFY(player->control()->getIsPlaying());
    QVERIFY(!player->control()->getIsPaused());
    player->close();
    QTRY_VERIFY(!guard);
    QVERIFY(student->quit());
}

void TestVideoControlPeers::readinessFromOutsideTheRosterIsDropped()
{
    // Nobody of the roster in the channel: only the fifth tick may start
    // the video, never a readiness from a uid the roster does not hold.
    for (const QString &uid : kStudents)
        m_session->roster()->setIsInChannel(uid, false);
    const QString outsider = QStringLiteral("29999");
    QVERIFY(!m_page->hasStudent(outsider));
    auto stranger = startReadinessSender(outsider);
    QVERIFY(stranger);
    ScopedTimeScale slow(20); // no tick while the test looks
    MessageCatcher catcher;
    TeacherVideoPlayerWidget *player = openPlayer();
    QPointer<TeacherVideoPlayerWidget> guard(player);
    QVERIFY(player->isWaitingForStudents());

    stranger->send(501, readiness());
    QTRY_VERIFY_WITH_TIMEOUT(catcher.contains(QStringLiteral("slot_receiveVideoControl, uid:") + outsider), 20000);
    TestUtil::drainEvents();
    QVERIFY(player->isWaitingForStudents());
    QVERIFY(!player->control()->getIsPlaying());
    QVERIFY(!catcher.contains(QStringLiteral("all students are ready for playing, start play")));
    player->close();
    QTRY_VERIFY(!guard);
    QVERIFY(stranger->quit());
}

QTEST_MAIN(TestVideoControlPeers)
#include "tst_videocontrolpeers_teacher.moc"
