// The student's problem report over a real broker: the ticked problems as
// one description with their tags once each, "其他" with its text, the
// toasts of a missing choice and of a refused publish, results of other
// publishes ignored, and the tags handed on after delivery.
#include "actionlogreader.h"
#include "helpdeskcolours.h"
#include "mosquittobroker.h"
#include "toasttext.h"
#include "topicwatcher.h"

#include "biz/im/mqtt/mqttimsdk.h"
#include "mgr/singleton.h"
#include "mgr/studentcurrentuser.h"
#include "utility/actionlog.h"
#include "widget/student/studentclasswidget.h"
#include "widget/student/widgethelpdeskstudent.h"

#include <QCheckBox>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QTextEdit>

#include <memory>

namespace {

const QString kOwnUid = QStringLiteral("20001");
const QString kServerTopic = QStringLiteral("tp/velmo/signal/server");

} // namespace

class TestWidgetHelpdeskStudent : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();

    void contentIsWhiteOnTheClassPage();

    void reportCarriesTextsAndTagsOnce_data();
    void reportCarriesTextsAndTagsOnce();
    void missingChoicesToast();
    void untickedOtherHidesAndDropsItsText();
    void refusedPublishKeepsTheForm();
    void otherPublishResultsAreIgnored();

private:
    std::unique_ptr<WidgetHelpdeskStudent> openReport();
    QCheckBox *box(WidgetHelpdeskStudent *report, const QString &text);

    MosquittoBroker m_broker;
    TopicWatcher m_watcher;
    QTemporaryDir m_dir;
};

void TestWidgetHelpdeskStudent::initTestCase()
{
    QVERIFY(m_dir.isValid());
    QVERIFY(m_broker.startWithServersIni(m_dir.filePath(QStringLiteral("servers.ini"))));
    StudentLoginDataEntity user;
    user.id = kOwnUid;
    Singleton<StudentCurrentUser>::instance()->setUserInfo(user);
    MqttImSdk *mqtt = MqttImSdk::instance();
    mqtt->init(kOwnUid);
    QSignalSpy loggedIn(mqtt, &MqttImSdk::signal_loginSuccess);
    mqtt->login(QStringLiteral("10001"), kOwnUid, QStringLiteral("session"));
    QVERIFY(loggedIn.wait(10000));
}

void TestWidgetHelpdeskStudent::init()
{
    QVERIFY(m_watcher.start(m_broker.port(), kServerTopic));
}

void TestWidgetHelpdeskStudent::cleanup()
{
    m_watcher.stop();
}

std::unique_ptr<WidgetHelpdeskStudent> TestWidgetHelpdeskStudent::openReport()
{
    auto report = std::make_unique<WidgetHelpdeskStudent>(nullptr);
    report->setClassId(QStringLiteral("10001"));
    report->show();
    return report;
}

QCheckBox *TestWidgetHelpdeskStudent::box(WidgetHelpdeskStudent *report, const QString &text)
{
    for (QCheckBox *problem : report->problemBoxes()) {
        if (problem->text() == text)
            return problem;
    }
    return nullptr;
}

void TestWidgetHelpdeskStudent::reportCarriesTextsAndTagsOnce_data()
{
    QTest::addColumn<QStringList>("ticked");
    QTest::addColumn<QString>("other");
    QTest::addColumn<QString>("description");
    QTest::addColumn<QVector<int>>("tags");
    QTest::newRow("two audio problems, one tag") << QStringList { "听不见老师声音", "老师听不见我的声音" } << QString()
                                                 << "听不见老师声音;老师听不见我的声音" << QVector<int> { 1 };
    QTest::newRow("other with its text") << QStringList { "听不见老师声音", "其他" } << "麦克风坏了"
                                         << "听不见老师声音;其他:麦克风坏了" << QVector<int> { 1, 6 };
    QTest::newRow("only other") << QStringList { "其他" } << "tablet" << "其他:tablet" << QVector<int> { 6 };
    QTest::newRow("table order") << QStringList { "视频/声音卡顿", "上课看不到教材", "看不到自己头像" } << QString()
                                 << "看不到自己头像;上课看不到教材;视频/声音卡顿" << QVector<int> { 2, 4, 3 };
}

void TestWidgetHelpdeskStudent::reportCarriesTextsAndTagsOnce()
{
    QFETCH(QStringList, ticked);
    QFETCH(QString, other);
    QFETCH(QString, description);
    QFETCH(QVector<int>, tags);
    auto report = openReport();
    QCOMPARE(report->problemBoxes().size(), 8);
    for (const QString &text : ticked)
        box(report.get(), text)->setChecked(true);
    report->findChild<QTextEdit *>(QStringLiteral("textEdit"))->setPlainText(other);
    QSignalSpy sent(report.get(), &WidgetHelpdeskStudent::signal_sentHelpdeskMsg);
    ActionLogReader actions;
    QVERIFY(ActionLog::instance()->init(actions.use(m_dir.filePath(QStringLiteral("actions.log")))));
    report->on_btnSubmit_clicked();
    ActionLog::instance()->close();
    const QVector<ActionLogReader::Record> clicks = actions.named(QStringLiteral("click_helpdesk_submit"));
    QCOMPARE(clicks.size(), 1);
    QCOMPARE(clicks.first().info, QStringLiteral("{description:%1}").arg(description));
    QVERIFY(sent.wait(10000));
    QCOMPARE(sent.first().at(0).value<QVector<int>>(), tags);
    QVERIFY(report->isHidden());
    QVERIFY(m_watcher.waitFor([](const TopicWatcher::Message &m) { return m.topic == kServerTopic; }));
    const QVector<TopicWatcher::Message> reports = m_watcher.on(kServerTopic);
    QCOMPARE(reports.size(), 1);
    const QJsonObject envelope = QJsonDocument::fromJson(reports.first().payload.toUtf8()).object();
    QCOMPARE(envelope.value(QStringLiteral("type")).toInt(), 610);
    const QJsonObject data = envelope.value(QStringLiteral("data")).toObject();
    QCOMPARE(data.value(QStringLiteral("classid")).toString(), QStringLiteral("10001"));
    QCOMPARE(data.value(QStringLiteral("description")).toString(), description);
    QJsonArray expectedTags;
    for (int tag : tags)
        expectedTags.append(tag);
    QCOMPARE(data.value(QStringLiteral("issueTags")).toArray(), expectedTags);
    QCOMPARE(data.value(QStringLiteral("users")).toArray(), QJsonArray({ QJsonObject { { "uid", kOwnUid }, { "userType", 1 } } }));
    QCOMPARE(data.value(QStringLiteral("descriptionImages")).toArray(), QJsonArray());
    // Delivered: the form is empty again and the text box hidden.
    for (QCheckBox *problem : report->problemBoxes())
        QVERIFY(!problem->isChecked());
    QVERIFY(report->findChild<QTextEdit *>(QStringLiteral("textEdit"))->isHidden());
}

void TestWidgetHelpdeskStudent::missingChoicesToast()
{
    auto report = openReport();
    report->on_btnSubmit_clicked();
    QCOMPARE(lastToastText(report.get(), QStringLiteral("请选择问题类型!")), QStringLiteral("请选择问题类型!"));
    box(report.get(), QStringLiteral("其他"))->setChecked(true);
    report->on_btnSubmit_clicked();
    QCOMPARE(lastToastText(report.get(), QStringLiteral("请输入问题描述!")), QStringLiteral("请输入问题描述!"));
    QCOMPARE(report->submitToken(), -1);
    QVERIFY(m_watcher.on(kServerTopic).isEmpty());
}

void TestWidgetHelpdeskStudent::untickedOtherHidesAndDropsItsText()
{
    auto report = openReport();
    auto *text = report->findChild<QTextEdit *>(QStringLiteral("textEdit"));
    QVERIFY(text->isHidden());
    QCheckBox *other = box(report.get(), QStringLiteral("其他"));
    other->setChecked(true);
    QVERIFY(report->isOtherChecked());
    QVERIFY(text->isVisible());
    text->setPlainText(QStringLiteral("old words"));
    other->setChecked(false);
    QVERIFY(!report->isOtherChecked());
    QVERIFY(text->isHidden());
    box(report.get(), QStringLiteral("上课有回声/杂音"))->setChecked(true);
    QSignalSpy sent(report.get(), &WidgetHelpdeskStudent::signal_sentHelpdeskMsg);
    report->on_btnSubmit_clicked();
    QVERIFY(sent.wait(10000));
    QVERIFY(m_watcher.waitFor([](const TopicWatcher::Message &m) { return m.topic == kServerTopic; }));
    const QJsonObject data = QJsonDocument::fromJson(m_watcher.on(kServerTopic).first().payload.toUtf8())
                                 .object().value(QStringLiteral("data")).toObject();
    QCOMPARE(data.value(QStringLiteral("description")).toString(), QStringLiteral("上课有回声/杂音"));
}

void TestWidgetHelpdeskStudent::refusedPublishKeepsTheForm()
{
    auto report = openReport();
    box(report.get(), QStringLiteral("看不到老师头像"))->setChecked(true);
    MqttImSdk::instance()->logout();
    QTRY_VERIFY(!MqttImSdk::instance()->isConnected());
    report->on_btnSubmit_clicked();
    QCOMPARE(lastToastText(report.get(), QStringLiteral("提交失败，请检查网络!")), QStringLiteral("提交失败，请检查网络!"));
    QVERIFY(box(report.get(), QStringLiteral("看不到老师头像"))->isChecked());
    QVERIFY(report->isVisible());
    QSignalSpy loggedIn(MqttImSdk::instance(), &MqttImSdk::signal_loginSuccess);
    MqttImSdk::instance()->login(QStringLiteral("10001"), kOwnUid, QStringLiteral("session"));
    QVERIFY(loggedIn.wait(10000));
    // A reported failure of the report's own publish: the same toast.
    report->on_btnSubmit_clicked();
    const int token = report->submitToken();
    QVERIFY(token >= 0);
    report->slot_sendMsgFailure(token, -3, QStringLiteral("gone"));
    QCOMPARE(report->submitToken(), -1);
    QVERIFY(box(report.get(), QStringLiteral("看不到老师头像"))->isChecked());
}

void TestWidgetHelpdeskStudent::otherPublishResultsAreIgnored()
{
    auto report = openReport();
    box(report.get(), QStringLiteral("视频/声音卡顿"))->setChecked(true);
    QSignalSpy sent(report.get(), &WidgetHelpdeskStudent::signal_sentHelpdeskMsg);
    report->slot_sendMsgSuccess(-1);
    report->slot_sendMsgSuccess(4242);
    report->slot_sendMsgFailure(4242, 1, QStringLiteral("x"));
    QCOMPARE(sent.size(), 0);
    QVERIFY(report->isVisible());
    QVERIFY(report->findChildren<promptMessageWidget *>().isEmpty());
    QVERIFY(box(report.get(), QStringLiteral("视频/声音卡顿"))->isChecked());
}

void TestWidgetHelpdeskStudent::contentIsWhiteOnTheClassPage()
{
    StudentClassWidget page;
    checkReportIsWhiteOnTheClassPage<WidgetHelpdeskStudent>(page);
}

QTEST_MAIN(TestWidgetHelpdeskStudent)
#include "tst_widgethelpdeskstudent.moc"
