// The video control message (501): its wire form, its type names in the
// log text, and the bounds a received one must keep.
#include "mgr/message/classroompayloads.h"
#include "mgr/message/videocontrolprotocol.h"
#include "utility/downloadutil.h"

#include <QJsonDocument>
#include <QTest>

class TestVideoControlProtocol : public QObject
{
    Q_OBJECT

private slots:
    void wireForm();
    void typeNames_data();
    void typeNames();
    void logText();
    void bounds_data();
    void bounds();
    void addressesAsTheDownloadsReadThem_data();
    void addressesAsTheDownloadsReadThem();
};

namespace {

ProtocolVideoControl sample()
{
    return ProtocolVideoControl{ VIDEO_INIT, "10001", "501", "701", "http://127.0.0.1:8/files/clip.mp4",
                                 "https://127.0.0.1:8/files/clip-sound.mp3", "Colours in the park" };
}

} // namespace

void TestVideoControlProtocol::wireForm()
{
    const QJsonObject json = toJson(sample());
    QCOMPARE(json.size(), 7);
    QCOMPARE(json.value(QStringLiteral("type")).toInt(), 5);
    QCOMPARE(json.value(QStringLiteral("classid")).toString(), QStringLiteral("10001"));
    QCOMPARE(json.value(QStringLiteral("mid")).toString(), QStringLiteral("501"));
    QCOMPARE(json.value(QStringLiteral("videoid")).toString(), QStringLiteral("701"));
    QCOMPARE(json.value(QStringLiteral("video")).toString(), sample().video);
    QCOMPARE(json.value(QStringLiteral("voice")).toString(), sample().voice);
    QCOMPARE(json.value(QStringLiteral("name")).toString(), sample().name);
    ProtocolVideoControl back;
    readJson(json, back);
    QCOMPARE(back.type, 5);
    QCOMPARE(back.videoid, QStringLiteral("701"));
    QCOMPARE(back.voice, sample().voice);
}

void TestVideoControlProtocol::typeNames_data()
{
    QTest::addColumn<int>("type");
    QTest::addColumn<QString>("name");
    QTest::newRow("1") << 1 << "VIDEO_PLAY";
    QTest::newRow("2") << 2 << "VIDEO_PAUSE";
    QTest::newRow("3") << 3 << "VIDEO_RESUME";
    QTest::newRow("4") << 4 << "VIDEO_FINISHED";
    QTest::newRow("5") << 5 << "VIDEO_INIT";
    QTest::newRow("6") << 6 << "VIDEO_STUDENT_READY";
    QTest::newRow("0") << 0 << "unknown";
    QTest::newRow("7") << 7 << "unknown";
    QTest::newRow("-1") << -1 << "unknown";
}

void TestVideoControlProtocol::typeNames()
{
    QFETCH(int, type);
    QFETCH(QString, name);
    QCOMPARE(VideoControlProtocol::typeName(type), name);
}

void TestVideoControlProtocol::logText()
{
    QCOMPARE(VideoControlProtocol::toString(sample()),
             QStringLiteral("video_protocol:type:VIDEO_INIT, classId:10001, mid:501, videoid:701, "
                            "video:http://127.0.0.1:8/files/clip.mp4, voice:https://127.0.0.1:8/files/clip-sound.mp3, "
                            "name:Colours in the park"));
}

void TestVideoControlProtocol::bounds_data()
{
    QTest::addColumn<ProtocolVideoControl>("protocol");
    QTest::addColumn<bool>("accepted");
    ProtocolVideoControl p = sample();
    QTest::newRow("as sent") << p << true;
    p = sample(); p.video.clear(); p.voice.clear(); p.name.clear();
    QTest::newRow("empty addresses and name") << p << true;
    p = sample(); p.video = QStringLiteral("HTTPS://127.0.0.1/a.mp4");
    QTest::newRow("scheme in capitals") << p << true;
    p = sample(); p.type = 0;
    QTest::newRow("type 0") << p << false;
    p = sample(); p.type = 7;
    QTest::newRow("type 7") << p << false;
    p = sample(); p.classid = QStringLiteral("10001/../x");
    QTest::newRow("class id with separators") << p << false;
    p = sample(); p.videoid = QString(VideoControlProtocol::kMaxIdLength, QLatin1Char('7'));
    QTest::newRow("video id at the bound") << p << true;
    p = sample(); p.videoid = QString(VideoControlProtocol::kMaxIdLength + 1, QLatin1Char('7'));
    QTest::newRow("video id beyond the bound") << p << false;
    p = sample(); p.mid = QStringLiteral("5 01");
    QTest::newRow("mid with a space") << p << false;
    p = sample(); p.video = QStringLiteral("file:///etc/passwd");
    QTest::newRow("file address") << p << false;
    p = sample(); p.voice = QStringLiteral("smb://host/share/a.mp3");
    QTest::newRow("other scheme") << p << false;
    p = sample(); p.video = QStringLiteral("http:///a.mp4");
    QTest::newRow("no host") << p << false;
    p = sample(); p.video = QStringLiteral("/tmp/a.mp4");
    QTest::newRow("bare path") << p << false;
    p = sample(); p.video = QStringLiteral("http://127.0.0.1/") + QString(VideoControlProtocol::kMaxUrlLength, QLatin1Char('a'));
    QTest::newRow("address too long") << p << false;
    p = sample(); p.name = QString(VideoControlProtocol::kMaxNameLength + 1, QLatin1Char('n'));
    QTest::newRow("name too long") << p << false;
    p = sample(); p.name = QStringLiteral("a\nb");
    QTest::newRow("name with a line break") << p << false;
}

void TestVideoControlProtocol::bounds()
{
    QFETCH(ProtocolVideoControl, protocol);
    QFETCH(bool, accepted);
    QString why;
    QCOMPARE(VideoControlProtocol::isAcceptable(protocol, &why), accepted);
    QCOMPARE(why.isEmpty(), accepted);
}

// A student takes the teacher's video and sound addresses exactly when the
// downloads would fetch them: refusing one the teacher could download left
// the teacher playing alone.
void TestVideoControlProtocol::addressesAsTheDownloadsReadThem_data()
{
    QTest::addColumn<QString>("address");
    QTest::addColumn<bool>("accepted");
    const QString base = QStringLiteral("http://127.0.0.1:8/");
    QTest::newRow("plain") << base + "files/clip.mp4" << true;
    QTest::newRow("space in the path") << base + "files/lesson 3 clip.mp4" << true;
    QTest::newRow("bar in the path") << base + "files/a|b.mp4" << true;
    QTest::newRow("bar and space in the query") << base + "clip.mp4?sign=a|b c" << true;
    QTest::newRow("already encoded") << base + "files/lesson%203.mp4" << true;
    QTest::newRow("non-latin file name") << base + QStringLiteral("files/课文.mp4") << true;
    QTest::newRow("braces and quotes") << base + "files/{a}\"b\".mp4" << true;
    QTest::newRow("scheme in capitals") << QStringLiteral("HTTP://127.0.0.1/a.mp4") << true;
    QTest::newRow("at the length bound") << base + QString(DownloadUtil::kMaxAddressLength - base.size(), QLatin1Char('a')) << true;
    QTest::newRow("beyond the length bound") << base + QString(DownloadUtil::kMaxAddressLength - base.size() + 1, QLatin1Char('a'))
                                             << false;
    QTest::newRow("space in the host") << QStringLiteral("http://127.0 .0.1/a.mp4") << false;
    QTest::newRow("no host") << QStringLiteral("https:///a.mp4") << false;
    QTest::newRow("file address") << QStringLiteral("file:///tmp/a.mp4") << false;
    QTest::newRow("data address") << QStringLiteral("data:video/mp4;base64,AAAA") << false;
    QTest::newRow("ftp") << QStringLiteral("ftp://127.0.0.1/a.mp4") << false;
    QTest::newRow("no scheme") << QStringLiteral("127.0.0.1/a.mp4") << false;
}

void TestVideoControlProtocol::addressesAsTheDownloadsReadThem()
{
    QFETCH(QString, address);
    QFETCH(bool, accepted);
    QCOMPARE(DownloadUtil::isWebAddress(address), accepted);
    ProtocolVideoControl video = sample();
    video.video = address;
    QCOMPARE(VideoControlProtocol::isAcceptable(video), accepted);
    ProtocolVideoControl voice = sample();
    voice.voice = address;
    QCOMPARE(VideoControlProtocol::isAcceptable(voice), accepted);
}

QTEST_MAIN(TestVideoControlProtocol)
#include "tst_videocontrolprotocol.moc"
