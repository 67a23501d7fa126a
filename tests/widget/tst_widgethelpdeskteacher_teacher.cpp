// The teacher's problem report over a real broker and the stand-in lesson
// service: one type-610 envelope on the server topic with the keys in
// their order, the toasts of a missing choice, a refused or failed publish
// keeping the form, results of other publishes ignored, and the screenshot
// upload with the bounds of the picture address it brings back.
#include "actionlogreader.h"
#include "helpdeskcolours.h"
#include "lessonservice.h"
#include "mosquittobroker.h"
#include "toasttext.h"
#include "topicwatcher.h"

#include "biz/im/mqtt/mqttimsdk.h"
#include "mgr/http/httpmgr.h"
#include "mgr/singleton.h"
#include "mgr/teachercurrentuser.h"
#include "utility/actionlog.h"
#include "widget/teacherclasswidget.h"
#include "utility/userinfo.h"
#include "utility/widget/usercheckbox.h"
#include "utility/widget/widgetscreen.h"
#include "widget/teacher/widgethelpdeskteacher.h"

#include <QCheckBox>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QLabel>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QTextEdit>

#include <memory>

namespace {

const QString kTeacher = QString::fromLatin1(LessonService::kTeacherId);
const QString kLily = QString::fromLatin1(LessonService::kStudentId);
const QString kTom = QString::fromLatin1(LessonService::kClassmateId);
const QString kServerTopic = QStringLiteral("tp/velmo/signal/server");
const QString kNetworkToast = QStringLiteral("Information submit failure, please check your network!");

} // namespace

class TestWidgetHelpdeskTeacher : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();

    void contentIsWhiteOnTheClassPage();

    void reportGoesToTheServerTopicOnly();
    void missingChoicesToast_data();
    void missingChoicesToast();
    void refusedPublishKeepsTheForm();
    void failedDeliveryKeepsTheForm();
    void otherPublishResultsAreIgnored();
    void uploadedScreenshotGoesWithTheReport();
    void failedUploadAfterASuccessDropsThePicture();
    void pictureAddressIsBounded_data();
    void pictureAddressIsBounded();
    void cancelledScreenshotUploadsNothing();

private:
    std::unique_ptr<WidgetHelpdeskTeacher> openReport();
    QStringList serverReports();
    bool submitAndRead(WidgetHelpdeskTeacher &report, QJsonObject *data);

    MosquittoBroker m_broker;
    LessonService m_service;
    TopicWatcher m_watcher;
    QTemporaryDir m_dir;
    UserList m_roster;
    QString m_picture;
};

void TestWidgetHelpdeskTeacher::initTestCase()
{
    QVERIFY(m_dir.isValid());
    QVERIFY(m_broker.start());
    QVERIFY(m_service.start());
    QVERIFY(m_broker.useInServersIni(m_service.serversIniPath()));
    Singleton<HttpMgr>::instance()->init();
    TeacherLoginDataEntity teacher;
    teacher.id = kTeacher;
    Singleton<TeacherCurrentUser>::instance()->setUserInfo(teacher);
    for (const auto &entry : { std::make_pair(kTeacher, 2), std::make_pair(kLily, 1), std::make_pair(kTom, 1) }) {
        UserInfo info;
        info.uid = entry.first;
        info.userName = entry.first == kTeacher ? QStringLiteral("Ms. Green") : entry.first;
        info.userType = entry.second;
        m_roster.addUser(info);
    }
    m_picture = m_dir.filePath(QStringLiteral("cut.png"));
    QImage cut(40, 30, QImage::Format_RGB32);
    cut.fill(Qt::darkCyan);
    QVERIFY(cut.save(m_picture));

    MqttImSdk *mqtt = MqttImSdk::instance();
    mqtt->init(kTeacher);
    QSignalSpy loggedIn(mqtt, &MqttImSdk::signal_loginSuccess);
    mqtt->login(QString::fromLatin1(LessonService::kClassId), kTeacher, QStringLiteral("session"));
    QVERIFY(loggedIn.wait(10000));
}

void TestWidgetHelpdeskTeacher::init()
{
    QVERIFY(m_service.reset());
    // A test that logged out and failed before it logged in again.
    if (!MqttImSdk::instance()->isConnected()) {
        QSignalSpy loggedIn(MqttImSdk::instance(), &MqttImSdk::signal_loginSuccess);
        MqttImSdk::instance()->login(QString::fromLatin1(LessonService::kClassId), kTeacher, QStringLiteral("session"));
        QVERIFY(loggedIn.wait(10000));
    }
    QVERIFY(m_watcher.start(m_broker.port(), kServerTopic));
}

void TestWidgetHelpdeskTeacher::cleanup()
{
    m_watcher.stop();
}

std::unique_ptr<WidgetHelpdeskTeacher> TestWidgetHelpdeskTeacher::openReport()
{
    auto report = std::make_unique<WidgetHelpdeskTeacher>(nullptr);
    report->setUserList(&m_roster, QString::fromLatin1(LessonService::kClassId));
    report->show();
    return report;
}

QStringList TestWidgetHelpdeskTeacher::serverReports()
{
    QStringList payloads;
    for (const TopicWatcher::Message &message : m_watcher.on(kServerTopic))
        payloads << message.payload;
    return payloads;
}

// Submits a report (the first category, the second participant); data is
// what the server topic got. False when the report was not sent or did not
// arrive.
bool TestWidgetHelpdeskTeacher::submitAndRead(WidgetHelpdeskTeacher &report, QJsonObject *data)
{
    report.categoryBoxes().at(0)->setChecked(true);
    report.userBoxes().at(1)->setChecked(true);
    QSignalSpy sent(&report, &WidgetHelpdeskTeacher::signal_sentHelpdeskMsg);
    report.on_btnSubmit_clicked();
    if (!sent.wait(10000) || !m_watcher.waitFor([](const TopicWatcher::Message &m) { return m.topic == kServerTopic; }))
        return false;
    *data = QJsonDocument::fromJson(serverReports().first().toUtf8()).object().value(QStringLiteral("data")).toObject();
    return true;
}

void TestWidgetHelpdeskTeacher::reportGoesToTheServerTopicOnly()
{
    auto report = openReport();
    QCOMPARE(report->participantCount(), 3);
    QCOMPARE(report->categoryBoxes().size(), 6);
    QSignalSpy sent(report.get(), &WidgetHelpdeskTeacher::signal_sentHelpdeskMsg);
    report->categoryBoxes().at(0)->setChecked(true); // Audio
    report->categoryBoxes().at(5)->setChecked(true); // Other
    report->userBoxes().at(1)->setChecked(true);     // Lily
    ActionLogReader actions;
    QVERIFY(ActionLog::instance()->init(actions.use(m_dir.filePath(QStringLiteral("actions.log")))));
    report->on_btnSubmit_clicked();
    ActionLog::instance()->close();
    const QVector<ActionLogReader::Record> clicks = actions.named(QStringLiteral("click_helpdesk_submit"));
    QCOMPARE(clicks.size(), 1);
    QCOMPARE(clicks.first().info, QStringLiteral("{description:}"));
    QVERIFY(report->submitToken() >= 0);
    QVERIFY(sent.wait(10000));
    QVERIFY(report->isHidden());
    QCOMPARE(report->submitToken(), -1);
    QVERIFY(m_watcher.waitFor([](const TopicWatcher::Message &m) { return m.topic == kServerTopic; }));
    const QStringList payloads = serverReports();
    QCOMPARE(payloads.size(), 1);
    const QJsonObject envelope = QJsonDocument::fromJson(payloads.first().toUtf8()).object();
    QCOMPARE(envelope.value(QStringLiteral("type")).toInt(), 610);
    QCOMPARE(envelope.value(QStringLiteral("sender")).toString(), kTeacher);
    const QJsonObject data = envelope.value(QStringLiteral("data")).toObject();
    QCOMPARE(data.value(QStringLiteral("classid")).toString(), QString::fromLatin1(LessonService::kClassId));
    QCOMPARE(data.value(QStringLiteral("users")).toArray(),
             QJsonArray({ QJsonObject { { "uid", kLily }, { "userType", 1 } } }));
    QCOMPARE(data.value(QStringLiteral("issueTags")).toArray(), QJsonArray({ 1, 6 }));
    QCOMPARE(data.value(QStringLiteral("description")).toString(), QString(""));
    QCOMPARE(data.value(QStringLiteral("descriptionImages")).toArray(), QJsonArray());
    QCOMPARE(data.keys().size(), 5);
    // The delivered report leaves an empty form behind.
    for (QCheckBox *box : report->categoryBoxes())
        QVERIFY(!box->isChecked());
    for (UserCheckBox *box : report->userBoxes())
        QVERIFY(!box->isChecked());
}

void TestWidgetHelpdeskTeacher::missingChoicesToast_data()
{
    QTest::addColumn<bool>("category");
    QTest::addColumn<bool>("user");
    QTest::addColumn<QString>("toast");
    QTest::newRow("nothing") << false << false << "You have not select issue category!";
    QTest::newRow("only a user") << false << true << "You have not select issue category!";
    QTest::newRow("only a category") << true << false << "You have not select User!";
}

void TestWidgetHelpdeskTeacher::missingChoicesToast()
{
    QFETCH(bool, category);
    QFETCH(bool, user);
    QFETCH(QString, toast);
    auto report = openReport();
    report->categoryBoxes().at(2)->setChecked(category);
    report->userBoxes().at(2)->setChecked(user);
    report->on_btnSubmit_clicked();
    QCOMPARE(lastToastText(report.get(), toast), toast);
    QCOMPARE(report->submitToken(), -1);
    QVERIFY(report->isVisible());
}

void TestWidgetHelpdeskTeacher::refusedPublishKeepsTheForm()
{
    auto report = openReport();
    report->categoryBoxes().at(1)->setChecked(true);
    report->userBoxes().at(2)->setChecked(true);
    report->findChild<QTextEdit *>(QStringLiteral("textEdit"))->setPlainText(QStringLiteral("no picture"));
    MqttImSdk::instance()->logout();
    QTRY_VERIFY(!MqttImSdk::instance()->isConnected());
    report->on_btnSubmit_clicked();
    QVERIFY(report->submitToken() < 0);
    QCOMPARE(lastToastText(report.get(), kNetworkToast), kNetworkToast);
    QVERIFY(report->categoryBoxes().at(1)->isChecked());
    QVERIFY(report->userBoxes().at(2)->isChecked());
    QCOMPARE(report->findChild<QTextEdit *>(QStringLiteral("textEdit"))->toPlainText(), QStringLiteral("no picture"));
    QSignalSpy loggedIn(MqttImSdk::instance(), &MqttImSdk::signal_loginSuccess);
    MqttImSdk::instance()->login(QString::fromLatin1(LessonService::kClassId), kTeacher, QStringLiteral("session"));
    QVERIFY(loggedIn.wait(10000));
}

void TestWidgetHelpdeskTeacher::failedDeliveryKeepsTheForm()
{
    auto report = openReport();
    report->categoryBoxes().at(3)->setChecked(true);
    report->userBoxes().at(0)->setChecked(true);
    report->on_btnSubmit_clicked();
    const int token = report->submitToken();
    QVERIFY(token >= 0);
    QSignalSpy sent(report.get(), &WidgetHelpdeskTeacher::signal_sentHelpdeskMsg);
    // The library reports this publish failed before it reports success.
    report->slot_sendMsgFailure(token, -3, QStringLiteral("gone"));
    QCOMPARE(lastToastText(report.get(), kNetworkToast), kNetworkToast);
    QCOMPARE(report->submitToken(), -1);
    QVERIFY(report->categoryBoxes().at(3)->isChecked());
    QVERIFY(report->isVisible());
    report->slot_sendMsgSuccess(token);
    QCOMPARE(sent.size(), 0);
}

void TestWidgetHelpdeskTeacher::otherPublishResultsAreIgnored()
{
    auto report = openReport();
    report->categoryBoxes().at(4)->setChecked(true);
    report->userBoxes().at(1)->setChecked(true);
    QSignalSpy sent(report.get(), &WidgetHelpdeskTeacher::signal_sentHelpdeskMsg);
    report->slot_sendMsgSuccess(-1);
    report->slot_sendMsgSuccess(12345);
    report->slot_sendMsgFailure(12345, -3, QStringLiteral("other"));
    QCOMPARE(sent.size(), 0);
    QVERIFY(report->isVisible());
    QVERIFY(report->categoryBoxes().at(4)->isChecked());
    QVERIFY(report->findChildren<promptMessageWidget *>().isEmpty());
}

void TestWidgetHelpdeskTeacher::uploadedScreenshotGoesWithTheReport()
{
    auto report = openReport();
    report->upLoadImage(m_picture);
    auto *url = report->findChild<QLabel *>(QStringLiteral("labelUrl"));
    QTRY_VERIFY(report->isImageUploaded());
    QVERIFY(url->text().startsWith(m_service.baseUrl()));
    const QJsonArray files = m_service.lastRequest(QStringLiteral("/QXV1/Public/chatPic")).value(QStringLiteral("files")).toArray();
    QCOMPARE(files.size(), 1);
    QCOMPARE(files.first().toObject().value(QStringLiteral("field")).toString(), QStringLiteral("chatPic"));
    QJsonObject data;
    QVERIFY(submitAndRead(*report, &data));
    QCOMPARE(data.value(QStringLiteral("descriptionImages")).toArray().size(), 1);
    QVERIFY(data.value(QStringLiteral("descriptionImages")).toArray().first().toString().startsWith(m_service.baseUrl()));
    QVERIFY(url->text().isEmpty());
}

void TestWidgetHelpdeskTeacher::failedUploadAfterASuccessDropsThePicture()
{
    auto report = openReport();
    report->upLoadImage(m_picture);
    QTRY_VERIFY(report->isImageUploaded());
    QVERIFY(m_service.setFault(QStringLiteral("/QXV1/Public/chatPic"), QStringLiteral("body"),
                               { { QStringLiteral("body"), QStringLiteral(R"({"errorCode":500,"errorMsg":"full","data":{}})") } }));
    report->upLoadImage(m_picture);
    auto *url = report->findChild<QLabel *>(QStringLiteral("labelUrl"));
    QTRY_VERIFY(!report->isImageUploaded());
    QCOMPARE(url->text(), QStringLiteral("upload image error, Please try again![full]"));
    QVERIFY(url->styleSheet().contains(QStringLiteral("rgb(255, 85, 0)")));
    QJsonObject data;
    QVERIFY(submitAndRead(*report, &data));
    QCOMPARE(data.value(QStringLiteral("descriptionImages")).toArray(), QJsonArray());
}

void TestWidgetHelpdeskTeacher::pictureAddressIsBounded_data()
{
    QTest::addColumn<QString>("address");
    QTest::newRow("file scheme") << "file:///etc/passwd";
    QTest::newRow("javascript") << "javascript:alert(1)";
    QTest::newRow("no address") << "";
    QTest::newRow("too long") << QStringLiteral("http://127.0.0.1/") + QString(3000, QLatin1Char('a'));
}

void TestWidgetHelpdeskTeacher::pictureAddressIsBounded()
{
    QFETCH(QString, address);
    const QJsonObject answer { { "errorCode", 200 }, { "errorMsg", "ok" }, { "data", QJsonObject { { "key", "k" }, { "url", address } } } };
    QVERIFY(m_service.setFault(QStringLiteral("/QXV1/Public/chatPic"), QStringLiteral("body"),
                               { { QStringLiteral("body"), QString::fromUtf8(QJsonDocument(answer).toJson(QJsonDocument::Compact)) } }));
    auto report = openReport();
    report->upLoadImage(m_picture);
    auto *url = report->findChild<QLabel *>(QStringLiteral("labelUrl"));
    QTRY_VERIFY(url->text().startsWith(QStringLiteral("upload image error")));
    QVERIFY(!report->isImageUploaded());
}

void TestWidgetHelpdeskTeacher::cancelledScreenshotUploadsNothing()
{
    auto report = openReport();
    report->on_btnScreenshot_clicked();
    QVERIFY(report->screenshotTool());
    QVERIFY(report->screenshotTool()->testAttribute(Qt::WA_ShowModal));
    emit report->screenshotTool()->signal_quit(QString());
    QVERIFY(!report->screenshotTool());
    QVERIFY(!report->isMinimized());
    QVERIFY(report->isVisible());
    QCOMPARE(m_service.requests().size(), 0);
    QVERIFY(!report->isImageUploaded());
}

void TestWidgetHelpdeskTeacher::contentIsWhiteOnTheClassPage()
{
    TeacherClassWidget page;
    checkReportIsWhiteOnTheClassPage<WidgetHelpdeskTeacher>(page);
}

QTEST_MAIN(TestWidgetHelpdeskTeacher)
#include "tst_widgethelpdeskteacher_teacher.moc"
