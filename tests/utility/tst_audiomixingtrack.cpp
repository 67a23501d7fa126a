// The sound file a media control mixes into the RTC engine: the engine
// calls for start, pause, resume and the two kinds of stop, what a track
// without a file does, and the duration request at the media storage, which
// a new file or the track's end takes away while it is pending.

#include "lessonservice.h"
#include "messagecatcher.h"
#include "mixingcalls.h"

#include "mgr/http/networkreplyholder.h"
#include "utility/audiomixingtrack.h"

#include <QPointer>
#include <QSignalSpy>
#include <QTest>

class TestAudioMixingTrack : public QObject
{
    Q_OBJECT

private slots:
    void stopEndsWhatTheScopeSays_data();
    void stopEndsWhatTheScopeSays();
    void withoutFileNothingReachesTheEngine();
    void durationRequestFollowsTheFile();
};

void TestAudioMixingTrack::stopEndsWhatTheScopeSays_data()
{
    QTest::addColumn<int>("scope");
    QTest::addColumn<QString>("stop");
    QTest::newRow("this file") << int(AudioMixingTrack::StopThisFile) << "stopAudioMixing filePath:/tmp/tone.mp3";
    QTest::newRow("any file") << int(AudioMixingTrack::StopAnyFile) << "stopAudioMixing";
}

void TestAudioMixingTrack::stopEndsWhatTheScopeSays()
{
    QFETCH(int, scope);
    QFETCH(QString, stop);
    MessageCatcher catcher;
    AudioMixingTrack track;
    QVERIFY(!track.setFile(QString(), QStringLiteral("/tmp/tone.mp3")));
    track.start(false);
    QVERIFY(track.isStarted());
    track.pause();
    track.resume();
    track.stop(AudioMixingTrack::StopScope(scope));
    QVERIFY(!track.isStarted());
    // Stopped once: a second stop only warns.
    track.stop(AudioMixingTrack::StopScope(scope));
    QVERIFY(catcher.has(QtWarningMsg, QStringLiteral("bStartAudioMixing is not started")));
    const QStringList calls = mixingCalls();
    QCOMPARE(calls.size(), 4);
    QVERIFY(calls.at(0).startsWith(QLatin1String("startAudioMixing filePath:/tmp/tone.mp3")));
    QVERIFY(calls.at(1).startsWith(QLatin1String("pauseAudioMixing")));
    QVERIFY(calls.at(2).startsWith(QLatin1String("resumeAudioMixing")));
    QCOMPARE(calls.at(3), stop);
}

void TestAudioMixingTrack::withoutFileNothingReachesTheEngine()
{
    MessageCatcher catcher;
    AudioMixingTrack track;
    track.start(true);
    track.pause();
    track.resume();
    QVERIFY(!track.isStarted());
    QCOMPARE(catcher.count(QtCriticalMsg, QStringLiteral("audioFilePath is empty")), 3);
    track.stop(AudioMixingTrack::StopAnyFile);
    QVERIFY(catcher.has(QtWarningMsg, QStringLiteral("bStartAudioMixing is not started")));
    QVERIFY(mixingCalls().isEmpty());
}

void TestAudioMixingTrack::durationRequestFollowsTheFile()
{
    LessonService service;
    QVERIFY(service.start());
    MessageCatcher catcher;
    QPointer<NetWorkReplyHolder> first;
    {
        AudioMixingTrack track;
        first = track.setFile(service.fixtureUrl(QStringLiteral("clip-sound.mp3")), QStringLiteral("/tmp/a.mp3"));
        QVERIFY(first);
        QCOMPARE(track.filePath(), QStringLiteral("/tmp/a.mp3"));
        // A new file takes the pending request of the old one away.
        QPointer<NetWorkReplyHolder> second =
            track.setFile(service.fixtureUrl(QStringLiteral("tone.mp3")), QStringLiteral("/tmp/b.mp3"));
        QVERIFY(!first);
        QVERIFY(second);
        first = second;
    }
    // The track's end takes the pending one.
    QVERIFY(!first);
    QVERIFY(catcher.contains(QStringLiteral("delete reply")));

    // Without an address nothing is asked; an answer comes for the one asked.
    AudioMixingTrack track;
    QVERIFY(!track.setFile(QString(), QStringLiteral("/tmp/a.mp3")));
    NetWorkReplyHolder *reply = track.setFile(service.fixtureUrl(QStringLiteral("clip-sound.mp3")), QString());
    QVERIFY(reply);
    QSignalSpy answered(reply, &NetWorkReplyHolder::signal_onSuccess);
    QVERIFY(answered.wait(10000));
    QVERIFY(service.lastRequest(QStringLiteral("/files/clip-sound.mp3"))
                .value(QStringLiteral("query")).toObject().contains(QStringLiteral("avinfo")));
}

QTEST_MAIN(TestAudioMixingTrack)
#include "tst_audiomixingtrack.moc"
