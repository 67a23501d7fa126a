#include "biz/av/agora/agoraaudiomgr.h"
#include "biz/im/agora/videosdk.h"
#include "platform/rtc/rtctesthooks.h"

#include <QDir>
#include <QFile>
#include <QJsonObject>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

// Mixing a lesson file into the class audio through the engine's options.
class TestAgoraAudioMgr : public QObject
{
    Q_OBJECT

private slots:
    void withoutEngineEveryOperationSaysSo();
    void startWritesTheOption_data();
    void startWritesTheOption();
    void tooLongPathIsRefusedNotCut();
    void fileThatCannotBeReadIsRefused();
    void stopByPathOnlyForTheLastStart();
    void pauseAndResume();

private:
    // A lesson file of that name (the engine plays only what it can read).
    QString lessonFile(const QString &name)
    {
        const QString path = m_lessons.filePath(name);
        QFile file(path);
        if (!file.exists() && file.open(QIODevice::WriteOnly))
            file.write("RIFF");
        return path;
    }

    QTemporaryDir m_lessons;

    QJsonValue option(const char *key) const
    {
        return RtcTestHooks::parameter(VideoSDK::instance()->getRtcEngine(), QString::fromLatin1(key));
    }
};

void TestAgoraAudioMgr::withoutEngineEveryOperationSaysSo()
{
    AgoraAudioMgr *mixer = AgoraAudioMgr::instance();
    QVERIFY(!VideoSDK::instance()->getRtcEngine());
    QCOMPARE(mixer->startAudioMixing("/tmp/a.mp3", false, true, 1), -7);
    QCOMPARE(mixer->stopAudioMixing("/tmp/a.mp3"), -7);
    QCOMPARE(mixer->stopAudioMixing(), -7);
    QCOMPARE(mixer->pauseAudioMixing(), -7);
    QCOMPARE(mixer->resumeAudioMixing(), -7);
    // Created once the engine is there, for the tests below.
    VideoSDK::instance()->initVideoEngine();
    QVERIFY(VideoSDK::instance()->getRtcEngine());
}

void TestAgoraAudioMgr::startWritesTheOption_data()
{
    QTest::addColumn<QString>("file");
    QTest::addColumn<bool>("loopback");
    QTest::addColumn<bool>("keepMicrophone");
    QTest::addColumn<int>("cycle");

    QTest::newRow("plain") << "song.mp3" << false << true << 1;
    QTest::newRow("quotes and backslashes stay in the path") << "a \"b\" \\c.mp3" << true << false << 3;
    QTest::newRow("non-latin") << QStringLiteral("课文 1.mp3") << false << true << 1;
}

void TestAgoraAudioMgr::startWritesTheOption()
{
    QFETCH(QString, file);
    QFETCH(bool, loopback);
    QFETCH(bool, keepMicrophone);
    QFETCH(int, cycle);
    file = lessonFile(file);
    QSignalSpy started(AgoraAudioMgr::instance(), &AgoraAudioMgr::signal_onStartAudioMixing);
    QCOMPARE(AgoraAudioMgr::instance()->startAudioMixing(file, loopback, keepMicrophone, cycle), 0);
    QCOMPARE(started.count(), 1);
    const QJsonObject written = option("che.audio.start_file_as_playout").toObject();
    QCOMPARE(written.value("filePath").toString(), QDir::cleanPath(file));
    QCOMPARE(written.value("loopback").toBool(), loopback);
    QCOMPARE(written.value("replace").toBool(), !keepMicrophone);
    QCOMPARE(written.value("cycle").toInt(), cycle);
}

void TestAgoraAudioMgr::tooLongPathIsRefusedNotCut()
{
    const QString before = option("che.audio.start_file_as_playout").toObject().value("filePath").toString();
    const QString file = "/lessons/" + QString(500, QLatin1Char('x')) + ".mp3";
    QCOMPARE(AgoraAudioMgr::instance()->startAudioMixing(file, false, true, 1), -3);
    QCOMPARE(option("che.audio.start_file_as_playout").toObject().value("filePath").toString(), before);
}

// A file that is gone (or never was) is refused at once with the engine's
// error, not taken as playing.
void TestAgoraAudioMgr::fileThatCannotBeReadIsRefused()
{
    const QString before = option("che.audio.start_file_as_playout").toObject().value("filePath").toString();
    QVERIFY(AgoraAudioMgr::instance()->startAudioMixing(m_lessons.filePath("missing.mp3"), false, true, 1) < 0);
    QCOMPARE(option("che.audio.start_file_as_playout").toObject().value("filePath").toString(), before);
}

void TestAgoraAudioMgr::stopByPathOnlyForTheLastStart()
{
    AgoraAudioMgr *mixer = AgoraAudioMgr::instance();
    QCOMPARE(mixer->startAudioMixing(lessonFile("first.mp3"), false, true, 1), 0);
    QCOMPARE(mixer->startAudioMixing(lessonFile("second.mp3"), false, true, 1), 0);
    QTest::ignoreMessage(QtCriticalMsg, "different file, return");
    QCOMPARE(mixer->stopAudioMixing(lessonFile("first.mp3")), -1);
    QVERIFY(option("che.audio.stop_file_as_playout").isUndefined());
    QCOMPARE(mixer->stopAudioMixing(lessonFile("second.mp3")), 0);
    QCOMPARE(option("che.audio.stop_file_as_playout").toBool(), true);
    QCOMPARE(mixer->stopAudioMixing(), 0);
}

void TestAgoraAudioMgr::pauseAndResume()
{
    QCOMPARE(AgoraAudioMgr::instance()->pauseAudioMixing(), 0);
    QCOMPARE(option("che.audio.pause_file_as_playout").toBool(), true);
    QCOMPARE(AgoraAudioMgr::instance()->resumeAudioMixing(), 0);
    QCOMPARE(option("che.audio.pause_file_as_playout").toBool(), false);
}

QTEST_MAIN(TestAgoraAudioMgr)
#include "tst_agoraaudiomgr.moc"
