#include <QFile>
#include <QJsonObject>
#include <QPointer>
#include <QTemporaryDir>
#include <QSignalSpy>
#include <QTest>

#include "holderrecorder.h"
#include "lessonservice.h"
#include "mgr/http/entitynetworkreplyholder.h"
#include "mgr/http/httpentity.h"
#include "mgr/http/httpmgr.h"
#include "mgr/singleton.h"
#include "testutil.h"
#include "utility/actionlog.h"
#include "utility/hashutility.h"

namespace {

// A payload record as the API entities are written.
struct Lesson
{
    int id = -1;
    QString name = QStringLiteral("unset");
};

} // namespace

void readJson(const QJsonValue &value, Lesson &out)
{
    const QJsonObject object = value.toObject();
    readJsonInt(object.value(QLatin1String("id")), out.id);
    readJsonString(object.value(QLatin1String("name")), out.name);
}

// The envelope parser and the entity holder's contract: which answers count
// as success, and the signal sequence for every outcome.
class TestEntityNetworkReplyHolder : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanupTestCase();

    void envelope_data();
    void envelope();
    void recordPayload();
    void listPayload_data();
    void listPayload();

    void successfulAnswer();
    void refusedAnswerIsFailureWithEnvelope();
    void nonJsonAnswerIsNeverSuccess();
    void transportFailureCarriesFailed();
    void timeoutGivesFailureThenAbort();
    void abortGivesOnlyAbort();
    void deletedHolderSaysNothing();
    void nullInnerHolderNeverEmits();
    void autoDeleteAfterFinish();
    void holderDeletedInItsOwnSlot_data();
    void holderDeletedInItsOwnSlot();

private:
    EntityNetworkReplyHolder *login(const QString &password, int timeout = 15000);

    LessonService m_service;
    QTemporaryDir m_logDir;
};

void TestEntityNetworkReplyHolder::initTestCase()
{
    QVERIFY(m_service.start());
    Singleton<HttpMgr>::instance()->init();
    QVERIFY(ActionLog::instance()->init(m_logDir.filePath(QStringLiteral("test.action.log"))));
}

void TestEntityNetworkReplyHolder::cleanupTestCase()
{
    ActionLog::instance()->close();
}

void TestEntityNetworkReplyHolder::init()
{
    m_service.reset();
}

EntityNetworkReplyHolder *TestEntityNetworkReplyHolder::login(const QString &password, int timeout)
{
    QMap<QString, QString> params;
    params.insert(QStringLiteral("username"), QStringLiteral("13800000001"));
    params.insert(QStringLiteral("password"), HashUtility::stringToMd5(password));
    params.insert(QStringLiteral("source"), QStringLiteral("12"));
    params.insert(QStringLiteral("version"), QStringLiteral("1.1.5.1"));
    params.insert(QStringLiteral("sdk_type"), QStringLiteral("2"));
    NetWorkReplyHolder *inner = Singleton<HttpMgr>::instance()->post(
        m_service.baseUrl() + QStringLiteral("/QXV1/PcStudents/login"), params, timeout);
    return new EntityNetworkReplyHolder(this, inner);
}

void TestEntityNetworkReplyHolder::envelope_data()
{
    QTest::addColumn<QString>("json");
    QTest::addColumn<bool>("parsed");
    QTest::addColumn<int>("code");
    QTest::addColumn<QString>("message");
    QTest::newRow("number 200") << R"({"errorCode":200,"errorMsg":"ok","data":{}})" << true << 200 << "ok";
    QTest::newRow("text 200") << R"({"errorCode":"200","errorMsg":"ok"})" << true << 200 << "ok";
    QTest::newRow("refusal") << R"({"errorCode":410,"errorMsg":"expired"})" << true << 410 << "expired";
    QTest::newRow("null code") << R"({"errorCode":null})" << true << 0 << "";
    QTest::newRow("fraction") << R"({"errorCode":200.5})" << true << 0 << "";
    QTest::newRow("no code") << R"({"errorMsg":"x"})" << true << -333 << "x";
    QTest::newRow("top-level array") << R"([{"errorCode":200}])" << true << -333 << "";
    QTest::newRow("not json") << "<html>Bad Gateway</html>" << false << -333 << "";
    QTest::newRow("empty") << "" << false << -333 << "";
}

void TestEntityNetworkReplyHolder::envelope()
{
    QFETCH(QString, json);
    QFETCH(bool, parsed);
    QFETCH(int, code);
    QFETCH(QString, message);
    BaseEntity entity;
    QCOMPARE(fromJson(json, entity), parsed);
    QCOMPARE(entity.errorCode, code);
    QCOMPARE(entity.errorMsg, message);
}

void TestEntityNetworkReplyHolder::recordPayload()
{
    HttpEntity<Lesson> entity;
    QVERIFY(fromJson(QStringLiteral(R"({"errorCode":200,"errorMsg":"ok","data":{"id":"7"}})"),
                     entity));
    QCOMPARE(entity.errorCode, 200);
    QCOMPARE(entity.data.id, 7);
    // A key the answer lacks keeps the record's default.
    QCOMPARE(entity.data.name, QStringLiteral("unset"));
    QCOMPARE(BaseEntity(410, QStringLiteral("expired")).toString(),
             QStringLiteral("errorCode:410, errorMsg:expired"));
}

void TestEntityNetworkReplyHolder::listPayload_data()
{
    QTest::addColumn<QString>("json");
    QTest::addColumn<QStringList>("names");
    QTest::newRow("array") << R"({"errorCode":200,"data":[{"id":1,"name":"a"},{"id":2}]})"
                           << QStringList{"a", "unset"};
    QTest::newRow("null data") << R"({"errorCode":200,"data":null})" << QStringList{};
    QTest::newRow("object data") << R"({"errorCode":200,"data":{"id":1}})" << QStringList{};
    QTest::newRow("no data") << R"({"errorCode":200})" << QStringList{"kept"};
}

void TestEntityNetworkReplyHolder::listPayload()
{
    QFETCH(QString, json);
    QFETCH(QStringList, names);
    HttpEntity<QVector<Lesson>> entity;
    Lesson kept;
    kept.name = QStringLiteral("kept");
    entity.data.append(kept);
    QVERIFY(fromJson(json, entity));
    QStringList read;
    for (const Lesson &lesson : qAsConst(entity.data))
        read.append(lesson.name);
    QCOMPARE(read, names);
}

void TestEntityNetworkReplyHolder::successfulAnswer()
{
    EntityNetworkReplyHolder *holder = login(QStringLiteral("student123"));
    HolderRecorder recorder(holder);
    QTRY_VERIFY(recorder.ended());
    QCOMPARE(recorder.events, (QStringList{"start", "raw", "success", "finish"}));
    QCOMPARE(recorder.body, recorder.rawBody);
    HttpEntity<Lesson> entity;
    QVERIFY(fromJson(recorder.body, entity));
    QCOMPARE(entity.errorCode, 200);
    delete holder;
}

void TestEntityNetworkReplyHolder::refusedAnswerIsFailureWithEnvelope()
{
    EntityNetworkReplyHolder *holder = login(QStringLiteral("wrong-password"));
    HolderRecorder recorder(holder);
    QTRY_VERIFY(recorder.ended());

    BaseEntity envelope;
    QVERIFY(fromJson(recorder.rawBody, envelope));
    QVERIFY(envelope.errorCode != 200);
    QCOMPARE(recorder.events,
             (QStringList{"start", "raw", QStringLiteral("failure:%1").arg(envelope.errorCode),
                          "finish"}));
    QCOMPARE(recorder.failure.errorMsg, envelope.errorMsg);
    QVERIFY(!recorder.failure.errorMsg.isEmpty());

    // One error record holding the whole answer.
    QFile file(m_logDir.filePath(QStringLiteral("test.action.log")));
    QVERIFY(file.open(QIODevice::ReadOnly | QIODevice::Text));
    const QString log = QString::fromUtf8(file.readAll());
    QCOMPARE(log.count(QStringLiteral(",PcStudents_login_failure,") + recorder.rawBody), 1);
    delete holder;
}

void TestEntityNetworkReplyHolder::nonJsonAnswerIsNeverSuccess()
{
    m_service.setFault(QStringLiteral("/QXV1/PcStudents/login"), QStringLiteral("nonjson"));
    EntityNetworkReplyHolder *holder = login(QStringLiteral("student123"));
    HolderRecorder recorder(holder);
    QTRY_VERIFY(recorder.ended());
    QCOMPARE(recorder.events, (QStringList{"start", "raw", "failure:-333", "finish"}));
    QVERIFY(recorder.failure.errorMsg.isEmpty());
    delete holder;
}

void TestEntityNetworkReplyHolder::transportFailureCarriesFailed()
{
    m_service.setFault(QStringLiteral("/QXV1/PcStudents/login"), QStringLiteral("status"),
                       QJsonObject{{"status", 500}});
    EntityNetworkReplyHolder *holder = login(QStringLiteral("student123"));
    HolderRecorder recorder(holder);
    QTRY_VERIFY(recorder.ended());
    QCOMPARE(recorder.events, (QStringList{"start", "failure:-401", "finish"}));
    QCOMPARE(recorder.failure.errorMsg, QStringLiteral("failed"));
    delete holder;
}

void TestEntityNetworkReplyHolder::timeoutGivesFailureThenAbort()
{
    m_service.setFault(QStringLiteral("/QXV1/PcStudents/login"), QStringLiteral("hang"));
    EntityNetworkReplyHolder *holder = login(QStringLiteral("student123"), 300);
    HolderRecorder recorder(holder);
    QTRY_VERIFY(recorder.ended());
    TestUtil::drainEvents();
    QCOMPARE(recorder.events, (QStringList{"start", "failure:4", "abort"}));
    QCOMPARE(recorder.failure.errorMsg, QStringLiteral("failed"));
    delete holder;
}

void TestEntityNetworkReplyHolder::abortGivesOnlyAbort()
{
    EntityNetworkReplyHolder *holder = login(QStringLiteral("student123"));
    HolderRecorder recorder(holder);
    holder->abort();
    QTRY_VERIFY(recorder.ended());
    TestUtil::drainEvents();
    QCOMPARE(recorder.events, QStringList{"abort"});
    delete holder;
}

void TestEntityNetworkReplyHolder::deletedHolderSaysNothing()
{
    m_service.setFault(QStringLiteral("/QXV1/PcStudents/login"), QStringLiteral("delay"),
                       QJsonObject{{"delay_ms", 100}});
    EntityNetworkReplyHolder *holder = login(QStringLiteral("student123"), 200);
    HolderRecorder recorder(holder);
    delete holder;
    // The request and its time-out went with it.
    TestUtil::drainEvents();
    QVERIFY(recorder.events.isEmpty());
}

void TestEntityNetworkReplyHolder::nullInnerHolderNeverEmits()
{
    EntityNetworkReplyHolder holder(nullptr, nullptr);
    HolderRecorder recorder(&holder);
    holder.abort();
    TestUtil::drainEvents();
    QVERIFY(recorder.events.isEmpty());
}

void TestEntityNetworkReplyHolder::autoDeleteAfterFinish()
{
    QPointer<EntityNetworkReplyHolder> holder = login(QStringLiteral("student123"));
    holder->setAutoDelete(true);
    QSignalSpy finished(holder.data(), &EntityNetworkReplyHolder::signal_onFinish);
    QTRY_VERIFY(holder.isNull());
    QCOMPARE(finished.count(), 1);
}

void TestEntityNetworkReplyHolder::holderDeletedInItsOwnSlot_data()
{
    QTest::addColumn<QString>("password");
    QTest::addColumn<QString>("event");
    QTest::newRow("start") << "student123" << "start";
    QTest::newRow("raw answer") << "student123" << "raw";
    QTest::newRow("success") << "student123" << "success";
    QTest::newRow("finish") << "student123" << "finish";
    QTest::newRow("refusal") << "wrong-password" << "failure:410";
}

// Callers drop the holder in their own slots: the holder and the request
// inside it must not be touched afterwards.
void TestEntityNetworkReplyHolder::holderDeletedInItsOwnSlot()
{
    QFETCH(QString, password);
    QFETCH(QString, event);
    QPointer<EntityNetworkReplyHolder> holder = login(password);
    HolderRecorder recorder(holder);
    auto deleteOn = [&](const QString &seen) {
        if (seen == event)
            delete holder.data();
    };
    connect(holder, &EntityNetworkReplyHolder::signal_onStart, this, [=] { deleteOn("start"); });
    connect(holder, &EntityNetworkReplyHolder::signal_onRawSuccess, this, [=] { deleteOn("raw"); });
    connect(holder, &EntityNetworkReplyHolder::signal_onSuccess, this, [=] { deleteOn("success"); });
    connect(holder, &EntityNetworkReplyHolder::signal_onFailure, this,
            [=](const BaseEntity &entity) { deleteOn(QStringLiteral("failure:%1").arg(entity.errorCode)); });
    connect(holder, &EntityNetworkReplyHolder::signal_onFinish, this, [=] { deleteOn("finish"); });
    QTRY_VERIFY(holder.isNull());
    TestUtil::drainEvents();
    QCOMPARE(recorder.events.last(), event);
}

QTEST_GUILESS_MAIN(TestEntityNetworkReplyHolder)
#include "tst_entitynetworkreplyholder.moc"
