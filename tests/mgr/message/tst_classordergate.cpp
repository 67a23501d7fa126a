// The gate between the message layer and what obeys an order: received
// envelopes go through the real layer, and the gate's signals say what
// would be obeyed. The teacher's orders only from the roster's teacher and
// only for the own class; the back end's never from a roster uid, and only
// so often from one sender and from all together. Every drop leaves one
// log line and one action record.

#include "actionlogreader.h"
#include "messagecatcher.h"
#include "scopedtimescale.h"
#include "testutil.h"

#include "mgr/message/classordergate.h"
#include "mgr/message/orderratelimiter.h"
#include "mgr/message/sendandreceivemsg.h"
#include "mgr/singleton.h"
#include "mgr/studentcurrentuser.h"
#include "utility/actionlog.h"

#include <QElapsedTimer>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QMetaMethod>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QUuid>

#include <memory>
#include <vector>

namespace {

const QString kOwn = QStringLiteral("20001");
const QString kClassmate = QStringLiteral("20002");
const QString kTeacher = QStringLiteral("30001");
const QString kStranger = QStringLiteral("77777");
const QString kBackEnd = QStringLiteral("90001");
const QString kClass = QStringLiteral("10001");
const QString kOtherClass = QStringLiteral("10002");


// The payload of each order kind, for the own class and addressed to the
// signed-in student.
QJsonObject payloadOf(int type, const QString &classId)
{
    switch (type) {
    case 401:
        return { { "type", 1 }, { "status", 1 }, { "classid", classId } };
    case 402:
        return { { "classid", classId }, { "type", 8 }, { "uid", kOwn }, { "enabled", 0 } };
    case 403:
        return { { "classid", classId }, { "type", 1 }, { "uid", kOwn } };
    case 404:
        return { { "classid", classId }, { "uid", kOwn }, { "highlight", 1 } };
    case 405:
        return { { "classid", classId }, { "tid", kTeacher }, { "sids", QJsonArray{ kOwn } }, { "awardid", 1 } };
    case 410:
        return { { "type", 1 }, { "classid", classId } };
    case 501:
        return { { "type", 5 }, { "classid", classId }, { "mid", "m1" }, { "videoid", "v1" } };
    case 602:
        return { { "classid", classId }, { "type", 2 }, { "uid", kOwn }, { "alertMsg", "again" } };
    case 601:
    case 603:
    case 605:
    case 606:
    default:
        return { { "classid", classId }, { "uid", kOwn }, { "level", 2 }, { "content", "note" }, { "video_profile", 30 } };
    }
}

// Counts every signal of the gate.
class GateSignals
{
public:
    explicit GateSignals(QObject *gate)
    {
        const QMetaObject *meta = gate->metaObject();
        for (int i = meta->methodOffset(); i < meta->methodCount(); ++i) {
            const QMetaMethod method = meta->method(i);
            if (method.methodType() == QMetaMethod::Signal)
                m_spies.push_back(std::make_unique<QSignalSpy>(gate, method));
        }
    }

    int total() const
    {
        int count = 0;
        for (const auto &spy : m_spies)
            count += spy->count();
        return count;
    }

private:
    std::vector<std::unique_ptr<QSignalSpy>> m_spies;
};

} // namespace

class TestClassOrderGate : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();

    void teacherOrders_data();
    void teacherOrders();
    void studentReadinessIsNoOrder();
    void noClassNoTeacher();
    void backEndOrders_data();
    void backEndOrders();
    void ordersForSomebodyElseSpendNothing();
    void limitPerSender_data();
    void limitPerSender();
    void allSendersTogetherAreLimited();
    void allowanceComesBackWithTime();
    void limiterForgetsWholeAllowancesFirst();

private:
    // Sends text through the layer; true when the gate passed it on.
    bool passes(int type, const QString &sender, const QJsonObject &data);

    QTemporaryDir m_dir;
    ActionLogReader m_actions;
    int m_backEndSender = 0;
};

void TestClassOrderGate::initTestCase()
{
    StudentLoginDataEntity user;
    user.id = kOwn;
    Singleton<StudentCurrentUser>::instance()->setUserInfo(user);
    QVERIFY(ActionLog::instance()->init(m_actions.use(m_dir.filePath(QStringLiteral("gate.action.log")))));
}

void TestClassOrderGate::init()
{
    ClassOrderGate::instance()->setClass(kClass, kTeacher, { kTeacher, kOwn, kClassmate });
    ClassOrderGate::instance()->forgetAllowancesForTests();
}

bool TestClassOrderGate::passes(int type, const QString &sender, const QJsonObject &data)
{
    GateSignals out(ClassOrderGate::instance());
    SendAndReceiveMsg::instance()->receiveMsg(TestUtil::classroomEnvelope(type, sender, data));
    return out.total() == 1;
}

void TestClassOrderGate::teacherOrders_data()
{
    QTest::addColumn<int>("type");
    QTest::addColumn<QString>("sender");
    QTest::addColumn<QString>("classId");
    QTest::addColumn<bool>("obeyed");
    struct Sender
    {
        const char *name;
        QString uid;
    };
    const Sender senders[] = { { "teacher", kTeacher }, { "classmate", kClassmate }, { "stranger", kStranger },
                               { "back end", kBackEnd }, { "empty", QString() } };
    for (int type : { 401, 402, 403, 404, 405, 410, 501 }) {
        for (const Sender &sender : senders) {
            for (const QString &classId : { kClass, kOtherClass }) {
                const bool obeyed = sender.uid == kTeacher && classId == kClass;
                QTest::addRow("%d %s %s", type, sender.name, qPrintable(classId))
                    << type << sender.uid << classId << obeyed;
            }
        }
    }
}

void TestClassOrderGate::teacherOrders()
{
    QFETCH(int, type);
    QFETCH(QString, sender);
    QFETCH(QString, classId);
    QFETCH(bool, obeyed);
    MessageCatcher log;
    const int recordsBefore = m_actions.named(QStringLiteral("im_order_dropped")).size();
    QCOMPARE(passes(type, sender, payloadOf(type, classId)), obeyed);
    const int dropLines = log.count(QtWarningMsg, QStringLiteral("class order dropped: type %1").arg(type));
    QCOMPARE(dropLines, obeyed ? 0 : 1);
    const auto records = m_actions.named(QStringLiteral("im_order_dropped"));
    QCOMPARE(records.size() - recordsBefore, obeyed ? 0 : 1);
    if (!obeyed)
        QVERIFY2(records.last().info.contains(QStringLiteral("type:%1").arg(type)), qPrintable(records.last().info));
}

void TestClassOrderGate::studentReadinessIsNoOrder()
{
    // A student's readiness (501 type 6) goes to the teacher's player from
    // the layer: the gate neither passes it on nor records a drop.
    MessageCatcher log;
    QJsonObject ready = payloadOf(501, kClass);
    ready.insert(QStringLiteral("type"), 6);
    QVERIFY(!passes(501, kClassmate, ready));
    QCOMPARE(log.count(QtWarningMsg, QStringLiteral("class order dropped")), 0);
    // A type beyond the protocol is dropped, even from the teacher.
    ready.insert(QStringLiteral("type"), 9);
    QVERIFY(!passes(501, kTeacher, ready));
    QCOMPARE(log.count(QtWarningMsg, QStringLiteral("no video control type")), 1);
}

void TestClassOrderGate::noClassNoTeacher()
{
    ClassOrderGate::instance()->clearClass();
    MessageCatcher log;
    QVERIFY(!passes(410, kTeacher, payloadOf(410, kClass)));
    QVERIFY(log.has(QtWarningMsg, QStringLiteral("no class")));
    // An empty class id of a message never matches the empty class.
    QVERIFY(!passes(410, QString(), payloadOf(410, QString())));
}

void TestClassOrderGate::backEndOrders_data()
{
    QTest::addColumn<int>("type");
    QTest::addColumn<QString>("sender");
    QTest::addColumn<bool>("obeyed");
    for (int type : { 601, 602, 603, 605, 606 }) {
        QTest::addRow("%d back end", type) << type << QStringLiteral("8%1").arg(type) << true;
        QTest::addRow("%d stranger", type) << type << QStringLiteral("7%1").arg(type) << true;
        QTest::addRow("%d classmate", type) << type << kClassmate << false;
        QTest::addRow("%d teacher", type) << type << kTeacher << false;
    }
}

void TestClassOrderGate::backEndOrders()
{
    QFETCH(int, type);
    QFETCH(QString, sender);
    QFETCH(bool, obeyed);
    MessageCatcher log;
    QCOMPARE(passes(type, sender, payloadOf(type, kClass)), obeyed);
    QCOMPARE(log.count(QtWarningMsg, QStringLiteral("a participant is not the back end")), obeyed ? 0 : 1);
}

void TestClassOrderGate::ordersForSomebodyElseSpendNothing()
{
    // Notices for the classmates pass to the receivers, which set them
    // aside, and leave the own allowance whole.
    const QString backEnd = QStringLiteral("81000");
    QJsonObject other = payloadOf(602, kClass);
    other.insert(QStringLiteral("uid"), kClassmate);
    for (int i = 0; i < 5; ++i)
        QVERIFY(passes(602, backEnd, other));
    QVERIFY(passes(602, backEnd, payloadOf(602, kClass)));
    QVERIFY(!passes(602, backEnd, payloadOf(602, kClass)));
}

void TestClassOrderGate::limitPerSender_data()
{
    QTest::addColumn<int>("type");
    QTest::addColumn<int>("burst");
    QTest::addRow("601 notice") << 601 << 3;
    QTest::addRow("602 re-entry or restart") << 602 << 1;
    QTest::addRow("603 device lists") << 603 << 1;
    QTest::addRow("605 device switch") << 605 << 3;
    QTest::addRow("606 video profile") << 606 << 2;
}

void TestClassOrderGate::limitPerSender()
{
    QFETCH(int, type);
    QFETCH(int, burst);
    QCOMPARE(ClassOrderGate::limitOf(type).burst, burst);
    const QString sender = QStringLiteral("82%1").arg(type);
    MessageCatcher log;
    for (int i = 0; i < burst; ++i)
        QVERIFY2(passes(type, sender, payloadOf(type, kClass)), qPrintable(QString::number(i)));
    for (int i = 0; i < 20; ++i)
        QVERIFY(!passes(type, sender, payloadOf(type, kClass)));
    QCOMPARE(log.count(QtWarningMsg, QStringLiteral("too often from this sender")), 20);
    // Another sender has an allowance of its own.
    QVERIFY(passes(type, QStringLiteral("83%1").arg(type), payloadOf(type, kClass)));
}

void TestClassOrderGate::allSendersTogetherAreLimited()
{
    // 1000 device requests from 1000 made-up senders: the answers stay
    // within what all senders together may ask.
    QElapsedTimer clock;
    clock.start();
    int passed = 0;
    for (int i = 0; i < 1000; ++i)
        passed += passes(603, QStringLiteral("6%1").arg(i, 5, 10, QLatin1Char('0')), payloadOf(603, kClass));
    const ClassOrderGate::Limit limit = ClassOrderGate::limitOf(603);
    const qint64 refills = clock.elapsed() / (limit.intervalMs / ClassOrderGate::kAllSendersFactor);
    QVERIFY2(passed >= 1 && passed <= limit.burst * ClassOrderGate::kAllSendersFactor + refills,
             qPrintable(QString::number(passed)));
}

void TestClassOrderGate::allowanceComesBackWithTime()
{
    // One re-entry a minute, a minute being 6 ms here.
    ScopedTimeScale fast(0.0001);
    const QString sender = QStringLiteral("84000");
    QVERIFY(passes(602, sender, payloadOf(602, kClass)));
    // Checked once per try: QTRY_ evaluates its condition again at the end.
    bool again = false;
    QTRY_VERIFY_WITH_TIMEOUT(again || (again = passes(602, sender, payloadOf(602, kClass))), 5000);
}

void TestClassOrderGate::limiterForgetsWholeAllowancesFirst()
{
    OrderRateLimiter limiter(2, 1000, 2);
    QVERIFY(limiter.admit(QStringLiteral("a"), 0));
    QVERIFY(limiter.admit(QStringLiteral("b"), 0));
    // Full of senders with spent allowances: a third gets nothing.
    QVERIFY(!limiter.admit(QStringLiteral("c"), 10));
    // A spends its second and runs dry; then its allowance comes back.
    QVERIFY(limiter.admit(QStringLiteral("a"), 20));
    QVERIFY(!limiter.admit(QStringLiteral("a"), 30));
    QVERIFY(limiter.admit(QStringLiteral("a"), 1020));
    // Two seconds on every allowance is whole: c takes a forgotten place.
    QVERIFY(limiter.admit(QStringLiteral("c"), 3100));
    QVERIFY(limiter.admit(QStringLiteral("c"), 3100));
    QVERIFY(!limiter.admit(QStringLiteral("c"), 3100));
}

QTEST_MAIN(TestClassOrderGate)
#include "tst_classordergate.moc"
