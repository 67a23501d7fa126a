// A student and a teacher in separate processes, each a class page with its
// chat panel, in one class over a real broker and the stand-in lesson
// service: texts typed and sent with the keys, pictures chosen in the
// dialog, the own bubble's send state with the signalling transport failing
// or cut, and what goes over the wire.
#include "classroompeerprocess.h"
#include "lessonservice.h"
#include "mosquittobroker.h"
#include "testutil.h"
#include "topicwatcher.h"

#include <QCryptographicHash>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QImage>
#include <QJsonDocument>
#include <QJsonObject>
#include <QRegularExpression>
#include <QSet>
#include <QTemporaryDir>
#include <QTest>

namespace {

const QString kTeacher = QStringLiteral("30001");
const QString kStudent = QStringLiteral("20001");
const QString kClassId = QStringLiteral("10001");

QString peerProgram(const char *role)
{
    return QDir(TestUtil::binDir()).filePath(QStringLiteral("lessonry-classroom-peer-%1").arg(QLatin1String(role)));
}

QByteArray md5(const QByteArray &data)
{
    return QCryptographicHash::hash(data, QCryptographicHash::Md5).toHex();
}

QByteArray fileMd5(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? md5(file.readAll()) : QByteArray();
}

// The peer's bubbles as its last "state" report gave them.
QVector<QJsonObject> bubbles(ClassroomPeerProcess &peer, int expected, int timeoutMs = 15000)
{
    QElapsedTimer clock;
    clock.start();
    while (clock.elapsed() < timeoutMs) {
        const int from = peer.lineCount();
        peer.command(QStringLiteral("chat state"));
        if (!peer.waitForLine([](const QString &line) { return line.startsWith(QLatin1String("bubbles ")); }, 5000, from))
            break;
        // The report of this request alone: its rows up to its count line.
        const QStringList lines = peer.lines().mid(from);
        QVector<QJsonObject> found;
        for (const QString &line : lines) {
            if (line.startsWith(QLatin1String("bubbles ")))
                break;
            if (line.startsWith(QLatin1String("bubble ")))
                found << QJsonDocument::fromJson(line.mid(7).toUtf8()).object();
        }
        if (found.size() >= expected)
            return found;
        QTest::qWait(50);
    }
    return {};
}

// Waits until the peer's bubble in row has the state.
bool waitForState(ClassroomPeerProcess &peer, int row, int state, int timeoutMs = 15000)
{
    QElapsedTimer clock;
    clock.start();
    while (clock.elapsed() < timeoutMs) {
        const QVector<QJsonObject> shown = bubbles(peer, row + 1, 5000);
        if (shown.size() > row && shown.at(row).value(QLatin1String("state")).toInt(-1) == state)
            return true;
        QTest::qWait(50);
    }
    return false;
}

QJsonObject envelopeData(const TopicWatcher::Message &message, int type)
{
    const QJsonObject envelope = QJsonDocument::fromJson(message.payload.toUtf8()).object();
    return envelope.value(QLatin1String("type")).toInt() == type ? envelope.value(QLatin1String("data")).toObject()
                                                                  : QJsonObject();
}

bool allStrings(const QJsonObject &object)
{
    for (auto it = object.begin(); it != object.end(); ++it) {
        if (!it.value().isString())
            return false;
    }
    return true;
}

} // namespace

class TestChatPeers : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanupTestCase();

    void textTravelsOnce();
    void ctrlEnterMode();
    void threePicturesEachWithItsOwn();
    void failedUploadSendsNothing();
    void failedSendIsResent();
    void refusedResendStaysFailed();

private:
    QString writePicture(const QString &name, const QColor &color, const QSize &size);

    LessonService m_service;
    MosquittoBroker m_broker;
    TopicWatcher m_wire;
    ClassroomPeerProcess m_student;
    ClassroomPeerProcess m_teacher;
    QTemporaryDir m_files;
    int m_studentBubbles = 0;
    int m_teacherBubbles = 0;
};

void TestChatPeers::initTestCase()
{
    QVERIFY(m_service.start());
    QVERIFY(m_broker.start());
    QVERIFY(m_broker.useInServersIni(m_service.serversIniPath()));
    QVERIFY(m_wire.start(m_broker.port(), QStringLiteral("tp/velmo/signal/channel/%1/message").arg(kClassId)));
    const QStringList common { QStringLiteral("--class"), kClassId, QStringLiteral("--time-scale"), QStringLiteral("0.1"),
                               QStringLiteral("--chat") };
    QVERIFY(m_student.startProgram(peerProgram("student"), QStringList { QStringLiteral("--uid"), kStudent } + common));
    QVERIFY(m_teacher.startProgram(peerProgram("teacher"), QStringList { QStringLiteral("--uid"), kTeacher } + common));
    QVERIFY(ClassroomPeerProcess::waitForEachOther(m_student, kStudent, m_teacher, kTeacher));
}

void TestChatPeers::init()
{
    m_service.reset();
    m_wire.clear();
}

void TestChatPeers::cleanupTestCase()
{
    QVERIFY(m_student.finish());
    QVERIFY(m_teacher.finish());
}

QString TestChatPeers::writePicture(const QString &name, const QColor &color, const QSize &size)
{
    QImage image(size, QImage::Format_RGB32);
    image.fill(color);
    const QString path = m_files.filePath(name);
    return image.save(path, "PNG") ? path : QString();
}

// Sent with Enter on the student's side: one left bubble with the
// student's name and the time on the teacher's, a right bubble going from
// sending to sent on the student's, and type 1 with its three string keys
// on the wire.
void TestChatPeers::textTravelsOnce()
{
    m_student.command(QStringLiteral("chat type Hello, Ms. Green <b>!</b>"));
    m_student.command(QStringLiteral("chat key enter"));
    const int studentRow = m_studentBubbles++;
    const int teacherRow = m_teacherBubbles++;
    QVERIFY(waitForState(m_student, studentRow, 2));
    QVector<QJsonObject> own = bubbles(m_student, m_studentBubbles);
    QCOMPARE(own.at(studentRow).value("side").toString(), QStringLiteral("right"));
    QCOMPARE(own.at(studentRow).value("text").toString(), QStringLiteral("Hello, Ms. Green <b>!</b>"));
    QCOMPARE(own.at(studentRow).value("name").toString(), QStringLiteral("Me"));

    QVector<QJsonObject> received = bubbles(m_teacher, m_teacherBubbles);
    QCOMPARE(received.size(), m_teacherBubbles);
    const QJsonObject bubble = received.at(teacherRow);
    QCOMPARE(bubble.value("side").toString(), QStringLiteral("left"));
    QCOMPARE(bubble.value("name").toString(), QStringLiteral("Sam"));
    QCOMPARE(bubble.value("text").toString(), QStringLiteral("Hello, Ms. Green <b>!</b>"));
    QVERIFY(QRegularExpression(QStringLiteral("^\\d\\d:\\d\\d$")).match(bubble.value("time").toString()).hasMatch());

    QVERIFY(m_wire.waitFor([](const TopicWatcher::Message &m) { return !envelopeData(m, 1).isEmpty(); }));
    // Other messages of the class (presence, the camera) may come first.
    QJsonObject data;
    for (const TopicWatcher::Message &message : m_wire.messages()) {
        data = envelopeData(message, 1);
        if (!data.isEmpty())
            break;
    }
    QCOMPARE(data.keys(), (QStringList { "classid", "content", "nickname" }));
    QVERIFY(allStrings(data));
    QCOMPARE(data.value("nickname").toString(), QStringLiteral("Sam"));
    QCOMPARE(data.value("classid").toString(), kClassId);

    // A later message arrives after it: the first still shows once.
    m_student.command(QStringLiteral("chat type marker"));
    m_student.command(QStringLiteral("chat key enter"));
    m_studentBubbles++;
    m_teacherBubbles++;
    received = bubbles(m_teacher, m_teacherBubbles);
    QCOMPARE(received.size(), m_teacherBubbles);
    QCOMPARE(received.last().value("text").toString(), QStringLiteral("marker"));
}

void TestChatPeers::ctrlEnterMode()
{
    m_teacher.command(QStringLiteral("chat mode ctrl"));
    m_teacher.command(QStringLiteral("chat type line"));
    m_teacher.command(QStringLiteral("chat key enter"));
    m_teacher.command(QStringLiteral("chat key ctrlenter"));
    const int row = m_studentBubbles++;
    m_teacherBubbles++;
    const QVector<QJsonObject> received = bubbles(m_student, m_studentBubbles);
    QCOMPARE(received.size(), m_studentBubbles);
    QCOMPARE(received.at(row).value("text").toString(), QStringLiteral("line\n"));
    QCOMPARE(received.at(row).value("name").toString(), QStringLiteral("Ms. Green"));
    m_teacher.command(QStringLiteral("chat mode enter"));
}

// Three pictures chosen at once: three uploads, three bubbles on each side,
// each with its own picture; type 2 with its seven string keys on the wire.
void TestChatPeers::threePicturesEachWithItsOwn()
{
    const QStringList files { writePicture(QStringLiteral("a.png"), Qt::red, QSize(120, 90)),
                              writePicture(QStringLiteral("b.png"), Qt::green, QSize(90, 120)),
                              writePicture(QStringLiteral("c.png"), Qt::blue, QSize(60, 60)) };
    m_student.command(QStringLiteral("chat pics ") + files.join(QLatin1Char('|')));
    const int first = m_studentBubbles;
    const int teacherFirst = m_teacherBubbles;
    m_studentBubbles += 3;
    m_teacherBubbles += 3;
    QVector<QJsonObject> own = bubbles(m_student, m_studentBubbles);
    QCOMPARE(own.size(), m_studentBubbles);
    QSet<QString> ownFiles;
    for (int row = first; row < m_studentBubbles; ++row)
        ownFiles << own.at(row).value("source").toString();
    QCOMPARE(ownFiles, QSet<QString>(files.begin(), files.end()));

    // Each received picture ends as a downloaded file equal to one sent.
    QSet<QByteArray> sentSums;
    for (const QString &file : files)
        sentSums << fileMd5(file);
    QSet<QByteArray> receivedSums;
    QElapsedTimer clock;
    clock.start();
    while (receivedSums.size() < 3 && clock.elapsed() < 15000) {
        receivedSums.clear();
        const QVector<QJsonObject> received = bubbles(m_teacher, m_teacherBubbles);
        for (int row = teacherFirst; row < received.size(); ++row) {
            QCOMPARE(received.at(row).value("name").toString(), QStringLiteral("Sam"));
            const QString source = received.at(row).value("source").toString();
            if (!source.startsWith(QLatin1String("http")))
                receivedSums << fileMd5(source);
        }
        QTest::qWait(50);
    }
    QCOMPARE(receivedSums, sentSums);

    int pictures = 0;
    for (const TopicWatcher::Message &message : m_wire.messages()) {
        const QJsonObject data = envelopeData(message, 2);
        if (data.isEmpty())
            continue;
        ++pictures;
        QCOMPARE(data.keys(), (QStringList { "backurl", "classid", "md5", "nickname", "to", "type", "url" }));
        QVERIFY(allStrings(data));
        QCOMPARE(data.value("type").toString(), QStringLiteral(".png"));
    }
    QCOMPARE(pictures, 3);
    int uploads = 0;
    for (const QJsonValue &request : m_service.requests())
        uploads += request.toObject().value("path").toString() == QLatin1String("/QXV1/Public/chatPic");
    QCOMPARE(uploads, 3);
}

void TestChatPeers::failedUploadSendsNothing()
{
    QVERIFY(m_service.setFault(QStringLiteral("/QXV1/Public/chatPic"), QStringLiteral("status"), QJsonObject { { "status", 503 } }));
    m_student.command(QStringLiteral("chat pics ") + writePicture(QStringLiteral("x.png"), Qt::gray, QSize(20, 20)));
    QTRY_VERIFY_WITH_TIMEOUT(!m_service.requests().isEmpty(), 10000);
    // A text after it arrives alone: no picture bubble came before it.
    m_student.command(QStringLiteral("chat type after"));
    m_student.command(QStringLiteral("chat key enter"));
    m_studentBubbles++;
    m_teacherBubbles++;
    const QVector<QJsonObject> received = bubbles(m_teacher, m_teacherBubbles);
    QCOMPARE(received.size(), m_teacherBubbles);
    QCOMPARE(received.last().value("text").toString(), QStringLiteral("after"));
    QCOMPARE(bubbles(m_student, m_studentBubbles).size(), m_studentBubbles);
}

// A signalling send that fails shows the failed icon; a click resends with
// the same id, and the bubble becomes sent.
void TestChatPeers::failedSendIsResent()
{
    m_student.command(QStringLiteral("fail sig 1"));
    m_student.command(QStringLiteral("chat type will fail once"));
    m_student.command(QStringLiteral("chat key enter"));
    const int row = m_studentBubbles++;
    m_teacherBubbles++;
    QVERIFY(waitForState(m_student, row, 1));
    m_student.command(QStringLiteral("chat click %1").arg(row));
    QVERIFY(waitForState(m_student, row, 2));
}

// With the signalling transport cut, the own bubble fails; a click is
// refused by the message layer and the bubble stays failed, ready for
// another try. The other transports still carry the text.
void TestChatPeers::refusedResendStaysFailed()
{
    const int mark = m_student.lineCount();
    m_student.command(QStringLiteral("cut sig"));
    QVERIFY(m_student.waitForLine([](const QString &line) { return line.startsWith(QLatin1String("sig lost ")); }, 15000, mark));
    m_student.command(QStringLiteral("chat type no signalling"));
    m_student.command(QStringLiteral("chat key enter"));
    const int row = m_studentBubbles++;
    m_teacherBubbles++;
    QVERIFY(waitForState(m_student, row, 1));
    m_student.command(QStringLiteral("chat click %1").arg(row));
    QVERIFY(waitForState(m_student, row, 1));
    const QVector<QJsonObject> received = bubbles(m_teacher, m_teacherBubbles);
    QCOMPARE(received.size(), m_teacherBubbles);
    QCOMPARE(received.last().value("text").toString(), QStringLiteral("no signalling"));
}

QTEST_MAIN(TestChatPeers)
#include "tst_chatpeers.moc"
