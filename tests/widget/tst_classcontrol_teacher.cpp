// The teacher's class control between real class pages: the teacher's
// classroom window here, two students' classroom windows in processes of
// their own (lessonry-classpage-peer-student), one mosquitto and the
// stand-in lesson service. Each order is checked on the wire (numbers, not
// booleans) and on the pages that receive it: mute and unmute, drawing,
// both in one message, highlight, praise with the praised student's post,
// desktop sharing on and off, what a late student is told, a student who
// leaves, and the orders a page must not obey.

#include "classroompeerprocess.h"
#include "classroomtestsupport.h"
#include "coursedialogsrecorder.h"
#include "lessonservice.h"
#include "mosquittobroker.h"
#include "scopedtimescale.h"
#include "testutil.h"
#include "topicwatcher.h"

#include "biz/im/agora/agoraimchannelmgr.h"
#include "biz/im/agora/agoraimsdk.h"
#include "biz/im/agora/videosdk.h"
#include "biz/im/mqtt/mqttimsdk.h"
#include "utility/translatelanguage.h"
#include "widget/teacherclasswidget.h"
#include "widget/widgetclassroom.h"
#include "widget/widgetvideoitem.h"
#include "widget/widgetvideoitemlist.h"

#include <QDeadlineTimer>
#include <QDir>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QPointer>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>
#include <QUuid>

#include <memory>

using namespace ClassroomTestSupport;

namespace {

const QString kClass = QString::fromLatin1(kClassId);
const QString kTeacher = QString::fromLatin1(kTeacherId);
const QString kAnn = QString::fromLatin1(kStudentId);      // "Me" in the class information
const QString kBob = QString::fromLatin1(kClassmateId);    // "Classmate"
const QString kClickLike = QStringLiteral("/QXV1/PcClass/clickLike");
const int kWaitMs = 20000;

QString classTopic()
{
    return QStringLiteral("tp/velmo/signal/channel/%1/message").arg(kClass);
}

QString peerTopic(const QString &uid)
{
    return QStringLiteral("tp/velmo/signal/p2p/%1/channel/%2").arg(uid, kClass);
}

QJsonObject envelope(const TopicWatcher::Message &message)
{
    return QJsonDocument::fromJson(message.payload.toUtf8()).object();
}

// A student's class page in its own process.
class StudentPage
{
public:
    bool start(const QString &uid)
    {
        return m_process.startProgram(QDir(TestUtil::binDir()).filePath(QStringLiteral("lessonry-classpage-peer-student")),
                                      { QStringLiteral("--uid"), uid });
    }
    int mark() const { return m_process.lineCount(); }
    bool waitFor(const QString &line, int from) { return m_process.waitForLine(line, kWaitMs, from); }
    // The page as the first state report after the event line (from index
    // from on) shows it; empty when the event did not come.
    QJsonObject stateAfter(const QString &event, int from)
    {
        if (!m_process.waitForLine(event, kWaitMs, from))
            return QJsonObject();
        const int at = m_process.lines().indexOf(event, from);
        const auto isState = [](const QString &line) { return line.startsWith(QLatin1String("state ")); };
        if (!m_process.waitForLine(isState, kWaitMs, at + 1))
            return QJsonObject();
        const QStringList lines = m_process.lines();
        for (int i = at + 1; i < lines.size(); ++i) {
            if (isState(lines.at(i)))
                return QJsonDocument::fromJson(lines.at(i).mid(6).toUtf8()).object();
        }
        return QJsonObject();
    }
    // The page once it shows what expected names (paths "key" or
    // "tiles/<uid>/key"), after the event line; the last report when it
    // never does.
    using Expected = QVector<QPair<QString, QJsonValue>>;
    QJsonObject settled(const QString &event, int from, const Expected &expected)
    {
        QJsonObject shown = stateAfter(event, from);
        QDeadlineTimer deadline(kWaitMs);
        while (!shown.isEmpty() && !shows(shown, expected) && !deadline.hasExpired())
            shown = state();
        return shown;
    }
    static bool shows(const QJsonObject &shown, const Expected &expected)
    {
        for (const auto &item : expected) {
            const QStringList path = item.first.split(QLatin1Char('/'));
            QJsonValue value = shown;
            for (const QString &key : path)
                value = value.toObject().value(key);
            if (value != item.second)
                return false;
        }
        return true;
    }
    // The page now.
    QJsonObject state()
    {
        const int from = mark();
        m_process.command(QStringLiteral("state"));
        if (!m_process.waitForLine([](const QString &line) { return line.startsWith(QLatin1String("state ")); },
                                   kWaitMs, from))
            return QJsonObject();
        return QJsonDocument::fromJson(m_process.linesStartingWith(QStringLiteral("state ")).last().mid(6).toUtf8())
            .object();
    }
    // The language text of key in the page's own language.
    QString text(const char *key)
    {
        const int from = mark();
        const QString prefix = QStringLiteral("text %1 ").arg(QLatin1String(key));
        m_process.command(QStringLiteral("text ") + QLatin1String(key));
        if (!m_process.waitForLine([&](const QString &line) { return line.startsWith(prefix); }, kWaitMs, from))
            return QString();
        return m_process.linesStartingWith(prefix).last().mid(prefix.size());
    }
    int count(const QString &prefix, int from) const
    {
        int n = 0;
        const QStringList lines = m_process.lines();
        for (int i = from; i < lines.size(); ++i)
            n += lines.at(i).startsWith(prefix);
        return n;
    }
    void command(const QString &line) { m_process.command(line); }
    bool finish() { return m_process.finish(); }

private:
    ClassroomPeerProcess m_process;
};

QByteArray dump(const QJsonObject &state)
{
    return QJsonDocument(state).toJson(QJsonDocument::Compact);
}

QJsonObject tileOf(const QJsonObject &state, const QString &uid)
{
    return state.value(QStringLiteral("tiles")).toObject().value(uid).toObject();
}

} // namespace

class TestClassControl : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void cleanupTestCase();
    void init();

    void lateStudentIsToldThePageTheModeAndTheMasks();
    void muteAndUnmute();
    void drawingAndBothInOne();
    void highlight();
    void praiseCountsAfterTheServiceAnswers();
    void praisePostsWaitingAreBounded();
    void ordersNotFromTheTeacherOrOfAnotherClassAreIgnored_data();
    void ordersNotFromTheTeacherOrOfAnotherClassAreIgnored();
    void desktopSharingOnAndOff();
    void leaving();

private:
    TeacherClassWidget *page() const { return qobject_cast<TeacherClassWidget *>(m_room->classWidget()); }
    WidgetVideoItem *tile(const QString &uid) const { return page()->getVideoItemList()->findWidgetByUid(uid); }
    void click(const QString &uid, const char *button);
    // The data of the first message of type on topic (since the watcher's
    // start or last clear), of that payload type when one is given; empty
    // when none comes.
    QJsonObject wireData(int type, const QString &topic, int payloadType = -1);
    int clickLikePosts();
    bool publish(const QString &topic, int type, const QString &sender, const QJsonObject &data);

    // The praise effect's seconds in a few milliseconds on the teacher's page.
    ScopedTimeScale m_fast{ 0.02 };
    CourseDialogsRecorder m_dialogs;
    LessonService m_service;
    MosquittoBroker m_broker;
    TopicWatcher m_wire;
    QPointer<WidgetClassRoom> m_room;
    StudentPage m_ann;
    StudentPage m_bob;
    int m_sequence = 0;
};

void TestClassControl::initTestCase()
{
    QVERIFY(m_service.start());
    QVERIFY(m_broker.start());
    QVERIFY(m_broker.useInServersIni(m_service.serversIniPath()));
    QVERIFY(m_wire.start(m_broker.port()));
    signInTeacher();
    // As the program starts them.
    AgoraIMSdk::instance()->init();
    VideoSDK::instance()->init();
    MqttImSdk::instance()->init(kTeacher);

    QSignalSpy mqttIn(MqttImSdk::instance(), &MqttImSdk::signal_joinChannelSuccess);
    QSignalSpy signallingIn(AgoraIMChannelMgr::instance(), &AgoraIMChannelMgr::signal_onChannelJoined);
    QSignalSpy rtcIn(VideoSDK::instance(), &VideoSDK::signal_joinVideoChannelSuccess);
    m_room = new WidgetClassRoom;
    m_room->startClass(classInfo());
    QTRY_VERIFY_WITH_TIMEOUT(mqttIn.count() >= 1 && signallingIn.count() >= 1 && rtcIn.count() >= 1, kWaitMs);
    QVERIFY(page());

    // Ann is there from the start; Bob comes late (the first test).
    QVERIFY(m_ann.start(kAnn));
    QTRY_VERIFY_WITH_TIMEOUT(tile(kAnn) && tile(kAnn)->stateFlag(), kWaitMs);
}

void TestClassControl::cleanupTestCase()
{
    m_ann.command(QStringLiteral("quit"));
    m_bob.command(QStringLiteral("quit"));
    QVERIFY(m_ann.finish());
    QVERIFY(m_bob.finish());
    delete m_room;
}

void TestClassControl::init()
{
    m_wire.clear();
}

void TestClassControl::click(const QString &uid, const char *button)
{
    WidgetVideoItem *item = tile(uid);
    QVERIFY(item);
    auto *pushButton = item->findChild<QPushButton *>(QLatin1String(button));
    QVERIFY(pushButton);
    pushButton->click();
}

QJsonObject TestClassControl::wireData(int type, const QString &topic, int payloadType)
{
    QJsonObject found;
    m_wire.waitFor(
        [&](const TopicWatcher::Message &message) {
            const QJsonObject whole = envelope(message);
            const QJsonObject data = whole.value(QStringLiteral("data")).toObject();
            if (message.topic != topic || whole.value(QStringLiteral("type")).toInt() != type
                || (payloadType >= 0 && data.value(QStringLiteral("type")).toInt() != payloadType))
                return false;
            found = data;
            return true;
        },
        kWaitMs);
    return found;
}

int TestClassControl::clickLikePosts()
{
    int posts = 0;
    for (const QJsonValue &request : m_service.requests())
        posts += request.toObject().value(QStringLiteral("path")).toString() == kClickLike;
    return posts;
}

bool TestClassControl::publish(const QString &topic, int type, const QString &sender, const QJsonObject &data)
{
    const QJsonObject whole{ { "version", 2 }, { "sequence", 1000 + m_sequence++ }, { "type", type }, { "src", 0 },
                             { "sender", sender }, { "uuid", QUuid::createUuid().toString(QUuid::WithoutBraces) },
                             { "data", data } };
    return TopicWatcher::publish(m_broker.port(), topic, QString::fromUtf8(QJsonDocument(whole).toJson(QJsonDocument::Compact)));
}

void TestClassControl::lateStudentIsToldThePageTheModeAndTheMasks()
{
    // The teacher takes Bob's microphone and pen before he comes.
    click(kBob, "btnAudio");
    click(kBob, "btnDraw");
    QVERIFY(!wireData(402, peerTopic(kBob), 1).isEmpty());
    m_wire.clear();

    QVERIFY(m_bob.start(kBob));
    QTRY_VERIFY_WITH_TIMEOUT(tile(kBob) && tile(kBob)->stateFlag(), kWaitMs);
    // To Bob alone: the mode and both masks in one message, switched off.
    const QJsonObject mode = wireData(410, peerTopic(kBob));
    QVERIFY2(mode.value("type") == QJsonValue(0), dump(mode));
    QVERIFY2(mode.value("classid") == QJsonValue(kClass), dump(mode));
    const QJsonObject masks = wireData(402, peerTopic(kBob));
    QCOMPARE(masks, (QJsonObject{ { "classid", kClass }, { "type", 9 }, { "uid", kBob }, { "enabled", 0 } }));
    // To the class: the page the teacher shows.
    QCOMPARE(wireData(301, classTopic()).value("toPage"), QJsonValue(1));

    const QJsonObject shown = m_bob.settled(QStringLiteral("got 402 ") + kTeacher, 0, { { "mic", 1 }, { "tiles/" + kBob + "/mic", 1 }, { "pen", 0 } });
    QVERIFY2(shown.value("mic") == QJsonValue(1), dump(shown));
    QVERIFY2(tileOf(shown, kBob).value("mic") == QJsonValue(1), dump(shown));
    QVERIFY2(shown.value("pen") == QJsonValue(0), dump(shown));
    QVERIFY(m_bob.waitFor(QStringLiteral("got 301 ") + kTeacher, 0));
    QVERIFY(m_bob.waitFor(QStringLiteral("got 410 ") + kTeacher, 0));

    // Both given back.
    int from = m_bob.mark();
    click(kBob, "btnAudio");
    QCOMPARE(m_bob.settled(QStringLiteral("got 402 ") + kTeacher, from, { { "mic", 0 } }).value("mic"), QJsonValue(0));
    from = m_bob.mark();
    click(kBob, "btnDraw");
    const QJsonObject after = m_bob.settled(QStringLiteral("got 402 ") + kTeacher, from, { { "pen", 1 } });
    QVERIFY2(after.value("pen") == QJsonValue(1), dump(after));
    QVERIFY2(tileOf(after, kBob).value("mic") == QJsonValue(0), dump(after));
}

void TestClassControl::muteAndUnmute()
{
    for (const int enabled : { 0, 1 }) {
        m_wire.clear();
        const int from = m_ann.mark();
        click(kAnn, "btnAudio");
        // Numbers on the wire, to Ann's own topic.
        const QJsonObject data = wireData(402, peerTopic(kAnn));
        QCOMPARE(data, (QJsonObject{ { "classid", kClass }, { "type", 8 }, { "uid", kAnn }, { "enabled", enabled } }));
        QVERIFY(data.value("enabled").isDouble());
        QVERIFY(data.value("type").isDouble());
        // Ann's engine and her own tile's button follow; the pen stays.
        const QJsonObject shown = m_ann.settled(QStringLiteral("got 402 ") + kTeacher, from,
                                                { { "mic", 1 - enabled }, { "tiles/" + kAnn + "/mic", 1 - enabled } });
        QVERIFY2(shown.value("mic") == QJsonValue(1 - enabled), dump(shown));
        QVERIFY2(tileOf(shown, kAnn).value("mic") == QJsonValue(1 - enabled), dump(shown));
        QVERIFY2(shown.value("pen") == QJsonValue(1), dump(shown));
    }
}

void TestClassControl::drawingAndBothInOne()
{
    struct Step
    {
        int type;
        bool enable;
        int mic;
        int pen;
    };
    // The tile's pen button, then both bits in one message as the teacher
    // repeats them to a student who comes back.
    const Step steps[] = { { 1, false, 0, 0 }, { 1, true, 0, 1 }, { 9, false, 1, 0 }, { 9, true, 0, 1 } };
    for (const Step &step : steps) {
        m_wire.clear();
        const int from = m_ann.mark();
        if (step.type == 1)
            click(kAnn, "btnDraw");
        else
            page()->sendFunctionalControl(kAnn, step.enable, ControlTyp(step.type));
        const QJsonObject data = wireData(402, peerTopic(kAnn));
        QCOMPARE(data, (QJsonObject{ { "classid", kClass }, { "type", step.type }, { "uid", kAnn },
                                     { "enabled", step.enable ? 1 : 0 } }));
        const QJsonObject shown = m_ann.settled(QStringLiteral("got 402 ") + kTeacher, from,
                                                { { "pen", step.pen }, { "mic", step.mic }, { "tiles/" + kAnn + "/mic", step.mic } });
        QVERIFY2(shown.value("pen") == QJsonValue(step.pen), dump(shown));
        QVERIFY2(shown.value("mic") == QJsonValue(step.mic), dump(shown));
        QVERIFY2(tileOf(shown, kAnn).value("mic") == QJsonValue(step.mic), dump(shown));
    }
}

void TestClassControl::highlight()
{
    int annFrom = m_ann.mark();
    int bobFrom = m_bob.mark();
    click(kAnn, "btnZoom");
    QCOMPARE(wireData(404, classTopic()), (QJsonObject{ { "classid", kClass }, { "uid", kAnn }, { "highlight", 1 } }));
    // Everybody sees Ann enlarged and listens to her: Bob is muted.
    QJsonObject ann = m_ann.settled(QStringLiteral("got 404 ") + kTeacher, annFrom, { { "big", kAnn }, { "mic", 0 } });
    QJsonObject bob = m_bob.settled(QStringLiteral("got 404 ") + kTeacher, bobFrom,
                                    { { "big", kAnn }, { "mic", 1 }, { "tiles/" + kBob + "/mic", 1 } });
    QVERIFY2(ann.value("big") == QJsonValue(kAnn), dump(ann));
    QVERIFY2(bob.value("big") == QJsonValue(kAnn), dump(bob));
    QVERIFY2(ann.value("mic") == QJsonValue(0), dump(ann));
    QVERIFY2(bob.value("mic") == QJsonValue(1), dump(bob));
    QVERIFY2(tileOf(bob, kBob).value("mic") == QJsonValue(1), dump(bob));

    m_wire.clear();
    annFrom = m_ann.mark();
    bobFrom = m_bob.mark();
    click(kAnn, "btnZoom");
    QCOMPARE(wireData(404, classTopic()), (QJsonObject{ { "classid", kClass }, { "uid", kAnn }, { "highlight", 0 } }));
    ann = m_ann.settled(QStringLiteral("got 404 ") + kTeacher, annFrom, { { "big", QString() } });
    bob = m_bob.settled(QStringLiteral("got 404 ") + kTeacher, bobFrom,
                        { { "big", QString() }, { "mic", 0 }, { "tiles/" + kBob + "/mic", 0 } });
    QVERIFY2(ann.value("big") == QJsonValue(QString()), dump(ann));
    QVERIFY2(bob.value("big") == QJsonValue(QString()), dump(bob));
    QVERIFY2(bob.value("mic") == QJsonValue(0), dump(bob));
    QVERIFY2(tileOf(bob, kBob).value("mic") == QJsonValue(0), dump(bob));
}

void TestClassControl::praiseCountsAfterTheServiceAnswers()
{
    QVERIFY(m_service.reset());
    const QString before = tileOf(m_ann.state(), kAnn).value("praise").toString();
    const int count = before.mid(1).toInt();
    QVERIFY2(before.startsWith('x') && count > 0, qPrintable(before));
    const QString plus1 = QStringLiteral("x%1").arg(count + 1);
    const QString plus2 = QStringLiteral("x%1").arg(count + 2);

    // The answer to Ann's post waits until the reset below.
    QVERIFY(m_service.setFault(kClickLike, QStringLiteral("delay"), { { "delay_ms", 60000 } }));
    int annFrom = m_ann.mark();
    int bobFrom = m_bob.mark();
    click(kAnn, "btnPraise");
    const QJsonObject data = wireData(403, classTopic());
    QVERIFY2(data.value("classid") == QJsonValue(kClass), dump(data));
    QVERIFY2(data.value("type") == QJsonValue(1), dump(data));
    QVERIFY2(data.value("uid") == QJsonValue(kAnn), dump(data));
    QVERIFY2(data.value("name") == QJsonValue(QStringLiteral("Me")), dump(data));
    QVERIFY2(data.value("animation") == QJsonValue(QString()), dump(data));
    QVERIFY2(data.value("score") == QJsonValue(0), dump(data));
    QCOMPARE(tile(kAnn)->praiseText(), plus1);
    // Bob counts it at once; Ann posts it and waits for the service.
    QCOMPARE(tileOf(m_bob.stateAfter(QStringLiteral("got 403 ") + kTeacher, bobFrom), kAnn).value("praise"),
             QJsonValue(plus1));
    QCOMPARE(tileOf(m_ann.stateAfter(QStringLiteral("got 403 ") + kTeacher, annFrom), kAnn).value("praise"),
             QJsonValue(before));
    QTRY_COMPARE_WITH_TIMEOUT(clickLikePosts(), 1, kWaitMs);
    const QJsonObject post = m_service.lastRequest(kClickLike);
    QCOMPARE(post.value("form").toObject().value("class_id"), QJsonValue(kClass));
    QCOMPARE(post.value("form").toObject().value("tid"), QJsonValue(kTeacher));
    QCOMPARE(tileOf(m_ann.state(), kAnn).value("praise"), QJsonValue(before));
    annFrom = m_ann.mark();
    QVERIFY(m_service.reset());
    QVERIFY(m_ann.waitFor(QStringLiteral("log slot_onSuccess_getPostEncourage likeNum: %1").arg(count + 1), annFrom));
    QCOMPARE(tileOf(m_ann.state(), kAnn).value("praise"), QJsonValue(plus1));

    // An error answer counts nothing on Ann's page.
    QVERIFY(m_service.setFault(kClickLike, QStringLiteral("status"), { { "status", 500 } }));
    annFrom = m_ann.mark();
    bobFrom = m_bob.mark();
    click(kAnn, "btnPraise");
    QCOMPARE(tileOf(m_bob.stateAfter(QStringLiteral("got 403 ") + kTeacher, bobFrom), kAnn).value("praise"),
             QJsonValue(plus2));
    QVERIFY(m_ann.waitFor(QStringLiteral("log signal_onFailure"), annFrom));
    QCOMPARE(tileOf(m_ann.state(), kAnn).value("praise"), QJsonValue(plus1));
    QCOMPARE(m_ann.count(QStringLiteral("log slot_onSuccess_getPostEncourage"), annFrom), 0);
    QVERIFY(m_service.reset());
}

void TestClassControl::praisePostsWaitingAreBounded()
{
    QVERIFY(m_service.reset());
    const int count = tileOf(m_ann.state(), kAnn).value("praise").toString().mid(1).toInt();
    QVERIFY(m_service.setFault(kClickLike, QStringLiteral("delay"), { { "delay_ms", 60000 } }));
    const int annFrom = m_ann.mark();
    for (int i = 0; i < 6; ++i)
        click(kAnn, "btnPraise");
    // Four posts wait for the service; the two after them are dropped.
    QVERIFY(m_ann.waitFor(QStringLiteral("log too many praise posts pending (4), this one is dropped"), annFrom));
    QTRY_VERIFY_WITH_TIMEOUT(m_ann.count(QStringLiteral("log too many praise posts pending"), annFrom) == 2, kWaitMs);
    QTRY_COMPARE_WITH_TIMEOUT(clickLikePosts(), 4, kWaitMs);
    QCOMPARE(m_ann.count(QStringLiteral("log postEncourage uid:"), annFrom), 6);
    QCOMPARE(clickLikePosts(), 4);
    // Once answered, the four count.
    QVERIFY(m_service.reset());
    QVERIFY(m_ann.waitFor(QStringLiteral("log slot_onSuccess_getPostEncourage likeNum: %1").arg(count + 4), annFrom));
    QCOMPARE(tileOf(m_ann.state(), kAnn).value("praise"), QJsonValue(QStringLiteral("x%1").arg(count + 4)));
}

void TestClassControl::ordersNotFromTheTeacherOrOfAnotherClassAreIgnored_data()
{
    QTest::addColumn<int>("type");
    QTest::addColumn<QString>("sender");
    QTest::addColumn<QString>("classId");
    QTest::newRow("402 from a classmate") << 402 << kBob << kClass;
    QTest::newRow("402 of another class") << 402 << kTeacher << QStringLiteral("10002");
    QTest::newRow("404 from a classmate") << 404 << kBob << kClass;
    QTest::newRow("404 of another class") << 404 << kTeacher << QStringLiteral("10002");
    QTest::newRow("401 from a classmate") << 401 << kBob << kClass;
    QTest::newRow("403 from a classmate") << 403 << kBob << kClass;
}

void TestClassControl::ordersNotFromTheTeacherOrOfAnotherClassAreIgnored()
{
    QFETCH(int, type);
    QFETCH(QString, sender);
    QFETCH(QString, classId);
    QVERIFY(m_service.reset());
    const QJsonObject before = m_ann.state();
    QVERIFY(!before.isEmpty());
    QJsonObject data{ { "classid", classId }, { "uid", kAnn } };
    QString topic = classTopic();
    switch (type) {
    case 401:
        data = { { "type", 0 }, { "status", 1 }, { "classid", classId }, { "width", 1280 }, { "height", 720 } };
        break;
    case 402:
        data.insert(QStringLiteral("type"), 9);
        data.insert(QStringLiteral("enabled"), 0);
        topic = peerTopic(kAnn);
        break;
    case 403:
        data.insert(QStringLiteral("type"), 1);
        data.insert(QStringLiteral("name"), QStringLiteral("Me"));
        data.insert(QStringLiteral("animation"), QString());
        data.insert(QStringLiteral("score"), 0);
        break;
    case 404:
        data.insert(QStringLiteral("highlight"), 1);
        break;
    }
    const int from = m_ann.mark();
    QVERIFY(publish(topic, type, sender, data));
    const QJsonObject after = m_ann.stateAfter(QStringLiteral("got %1 %2").arg(type).arg(sender), from);
    QVERIFY(!after.isEmpty());
    QCOMPARE(after, before);
    QCOMPARE(m_ann.count(QStringLiteral("log postEncourage"), from), 0);
}

void TestClassControl::desktopSharingOnAndOff()
{
    // The button the teacher's bar hands to the page.
    QPushButton *desktop = page()->findChild<QPushButton *>(QStringLiteral("btnTeachingDesktop"));
    QVERIFY(desktop);
    QSignalSpy started(VideoSDK::instance(), &VideoSDK::signal_startScreenCapture);
    int annFrom = m_ann.mark();
    page()->slot_desktop_btn_clicked(desktop);
    QVERIFY(page()->isDesktopButtonOn());
    QTRY_COMPARE_WITH_TIMEOUT(started.count(), 1, kWaitMs);
    const QSize size = started.first().first().toSize();
    QVERIFY(!size.isEmpty());
    QJsonObject data = wireData(401, classTopic());
    QVERIFY2(data == (QJsonObject{ { "type", 0 }, { "status", 1 }, { "classid", kClass }, { "width", size.width() },
                                   { "height", size.height() } }),
             dump(data));
    // The students see the teacher's screen large, the teacher's tile grey
    // with the notice.
    QJsonObject ann = m_ann.settled(QStringLiteral("got 401 ") + kTeacher, annFrom,
                                    { { "desktop", 1 }, { "tiles/" + kTeacher + "/alert", m_ann.text("Teachersharingdesktop") } });
    QVERIFY2(ann.value("desktop") == QJsonValue(1), dump(ann));
    QVERIFY2(tileOf(ann, kTeacher).value("alert") == QJsonValue(m_ann.text("Teachersharingdesktop")), dump(ann));

    m_wire.clear();
    annFrom = m_ann.mark();
    page()->slot_desktop_btn_clicked(desktop);
    QVERIFY(!page()->isDesktopButtonOn());
    data = wireData(401, classTopic());
    QVERIFY2(data == (QJsonObject{ { "type", 0 }, { "status", 0 }, { "classid", kClass }, { "width", 0 }, { "height", 0 } }),
             dump(data));
    ann = m_ann.settled(QStringLiteral("got 401 ") + kTeacher, annFrom,
                        { { "desktop", 0 }, { "tiles/" + kTeacher + "/alert", QString() } });
    QVERIFY2(ann.value("desktop") == QJsonValue(0), dump(ann));
    QVERIFY2(tileOf(ann, kTeacher).value("alert") == QJsonValue(QString()), dump(ann));
}

void TestClassControl::leaving()
{
    // Ann's page and the teacher's show who left.
    const QString left = QStringLiteral("Classmate") + m_ann.text("alreadyleftclassroom");
    const int annFrom = m_ann.mark();
    const int bobLeft = m_bob.mark();
    m_bob.command(QStringLiteral("leave"));
    QVERIFY(m_bob.waitFor(QStringLiteral("left"), bobLeft));
    const QJsonObject bob = tileOf(m_ann.settled(QStringLiteral("offline ") + kBob, annFrom,
                                                 { { "tiles/" + kBob + "/alert", left }, { "tiles/" + kBob + "/in", 0 } }),
                                   kBob);
    QVERIFY2(bob.value("alert") == QJsonValue(left), dump(bob));
    QVERIFY2(bob.value("in") == QJsonValue(0), dump(bob));
    QTRY_VERIFY_WITH_TIMEOUT(!tile(kBob)->stateFlag(), kWaitMs);
    const QString leftHere = QStringLiteral("Classmate")
                             + Translatelanguage::instance()->getText(QStringLiteral("alreadyleftclassroom"));
    QCOMPARE(tile(kBob)->alertText(), leftHere);
}

QTEST_MAIN(TestClassControl)
#include "tst_classcontrol_teacher.moc"
