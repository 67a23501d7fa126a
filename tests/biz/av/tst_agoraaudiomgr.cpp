#include "biz/av/agora/agoraaudiomgr.h"
#include "biz/im/agora/videosdk.h"
#include "platform/rtc/rtctesthooks.h"

#include <QDir>
#include <QJsonObject>
#include <QSignalSpy>
#include <QTest>

// Mixing a lesson file into the class audio through the engine's options.
class TestAgoraAudioMgr : public QObject
{
    Q_OBJECT

private slots:
    void withoutEngineEveryOperationSaysSo();
    void startWritesTheOption_data();
    void startWritesTheOption();
    void tooLongPathIsRefusedNotCut_data();
    void tooLongPathIsRefusedNotCut();
    void stopByPathOnlyForTheLastStart();
    void pauseAndResume();

private:
    // What the engine was given for an option, byte for byte.
    QByteArray optionText(const char *key) const
    {
        return RtcTestHooks::optionText(VideoSDK::instance()->getRtcEngine(), QString::fromLatin1(key));
    }
    // A file name that makes the start option's whole text textBytes long
    // (for a plain path under /lessons/, looped once, keeping the microphone).
    static QString pathOfTextLength(int textBytes)
    {
        const int frame = QByteArray(R"({"cycle":1,"filePath":"/lessons/","loopback":false,"replace":false})").size();
        return QString(textBytes - frame - 4, QLatin1Char('p')) + QStringLiteral(".mp3");
    }

    // The longest option text the engine takes.
    static constexpr int kMaxOptionBytes = 511;
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
    QTest::addColumn<QByteArray>("given"); // the option text, as the engine receives it

    QTest::newRow("plain") << "/lessons/song.mp3" << false << true << 1
                           << QByteArray(R"({"cycle":1,"filePath":"/lessons/song.mp3","loopback":false,"replace":false})");
    QTest::newRow("quotes and backslashes stay in the path")
        << "/lessons/a \"b\" \\c.mp3" << true << false << 3
        << QByteArray(R"({"cycle":3,"filePath":"/lessons/a \"b\" \\c.mp3","loopback":true,"replace":true})");
    QTest::newRow("non-latin") << QStringLiteral("/lessons/课文 1.mp3") << false << true << 1
                               << QStringLiteral(R"({"cycle":1,"filePath":"/lessons/课文 1.mp3","loopback":false,"replace":false})")
                                      .toUtf8();
    QTest::newRow("a path that makes the whole text 511 bytes")
        << "/lessons/" + pathOfTextLength(kMaxOptionBytes) << false << true << 1
        << QByteArray(R"({"cycle":1,"filePath":"/lessons/)") + pathOfTextLength(kMaxOptionBytes).toUtf8()
               + QByteArray(R"(","loopback":false,"replace":false})");
}

void TestAgoraAudioMgr::startWritesTheOption()
{
    QFETCH(QString, file);
    QFETCH(bool, loopback);
    QFETCH(bool, keepMicrophone);
    QFETCH(int, cycle);
    QFETCH(QByteArray, given);
    QSignalSpy started(AgoraAudioMgr::instance(), &AgoraAudioMgr::signal_onStartAudioMixing);
    QCOMPARE(AgoraAudioMgr::instance()->startAudioMixing(file, loopback, keepMicrophone, cycle), 0);
    QCOMPARE(started.count(), 1);
    QCOMPARE(optionText("che.audio.start_file_as_playout"), given);
    QVERIFY(given.size() <= kMaxOptionBytes);
}

void TestAgoraAudioMgr::tooLongPathIsRefusedNotCut_data()
{
    QTest::addColumn<QString>("file");
    QTest::newRow("one byte over") << "/lessons/" + pathOfTextLength(kMaxOptionBytes + 1);
    QTest::newRow("far over") << "/lessons/" + QString(500, QLatin1Char('x')) + ".mp3";
}

void TestAgoraAudioMgr::tooLongPathIsRefusedNotCut()
{
    QFETCH(QString, file);
    QVERIFY(AgoraAudioMgr::instance()->startAudioMixing("/lessons/before.mp3", false, true, 1) == 0);
    const QByteArray before = optionText("che.audio.start_file_as_playout");
    QCOMPARE(AgoraAudioMgr::instance()->startAudioMixing(file, false, true, 1), -3);
    // The engine was handed nothing: neither a cut text nor the whole one.
    QCOMPARE(optionText("che.audio.start_file_as_playout"), before);
}

void TestAgoraAudioMgr::stopByPathOnlyForTheLastStart()
{
    AgoraAudioMgr *mixer = AgoraAudioMgr::instance();
    QCOMPARE(mixer->startAudioMixing("/lessons/first.mp3", false, true, 1), 0);
    QCOMPARE(mixer->startAudioMixing("/lessons/second.mp3", false, true, 1), 0);
    QTest::ignoreMessage(QtCriticalMsg, "different file, return");
    QCOMPARE(mixer->stopAudioMixing("/lessons/first.mp3"), -1);
    QCOMPARE(optionText("che.audio.stop_file_as_playout"), QByteArray());
    QCOMPARE(mixer->stopAudioMixing("/lessons/second.mp3"), 0);
    QCOMPARE(optionText("che.audio.stop_file_as_playout"), QByteArray("true"));
    QCOMPARE(mixer->stopAudioMixing(), 0);
}

void TestAgoraAudioMgr::pauseAndResume()
{
    QCOMPARE(AgoraAudioMgr::instance()->pauseAudioMixing(), 0);
    QCOMPARE(optionText("che.audio.pause_file_as_playout"), QByteArray("true"));
    QCOMPARE(AgoraAudioMgr::instance()->resumeAudioMixing(), 0);
    QCOMPARE(optionText("che.audio.pause_file_as_playout"), QByteArray("false"));
}

QTEST_MAIN(TestAgoraAudioMgr)
#include "tst_agoraaudiomgr.moc"
