// The class page's services against the stand-in lesson service: the
// renewal of the channel keys (kept, never pushed), its faults, a normal
// signalling logout that ends the re-login cycle, the simulated MQTT loss
// on a timer, and a re-entry asked for while MQTT is down. (The signalling
// re-login after a real loss: tst_classwidgetsignalling.)

#include "actionlogreader.h"
#include "classroomtestsupport.h"
#include "coursedialogsrecorder.h"
#include "lessonservice.h"
#include "messagecatcher.h"
#include "scopedtimescale.h"

#include "biz/im/agora/videosdk.h"
#include "mgr/signalqueuemgr.h"
#include "utility/actionlog.h"
#include "utility/translatelanguage.h"
#include "utility/userinfo.h"
#include "widget/student/studentclasswidget.h"
#include "widget/widgetclassroom.h"

#include <QJsonObject>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

using namespace ClassroomTestSupport;

class TestClassWidgetServices : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();

    void keyRenewal_data();
    void keyRenewal();
    void normalLogoutEndsTheCycle();
    void simulatedLossLogsInAgainOnATimer();
    void reEntryWhileMqttIsDown();

private:
    static QString text(const char *key) { return Translatelanguage::instance()->getText(QString::fromLatin1(key)); }

    ScopedTimeScale m_fast{ 0.02 };
    LessonService m_service;
    QTemporaryDir m_dir;
    ActionLogReader m_actions;
    StudentClassWidget *page();

    StudentClassWidget *m_page = nullptr;
};

void TestClassWidgetServices::initTestCase()
{
    QVERIFY(m_service.start());
    signInStudent();
    QVERIFY(ActionLog::instance()->init(m_actions.use(m_dir.filePath(QStringLiteral("services.action.log")))));
}

void TestClassWidgetServices::init()
{
    QVERIFY(m_service.reset());
}

void TestClassWidgetServices::cleanup()
{
    if (!m_page)
        return;
    m_page->destoryMode();
    delete m_page;
    m_page = nullptr;
}

StudentClassWidget *TestClassWidgetServices::page()
{
    if (!m_page) {
        m_page = new StudentClassWidget;
        m_page->init();
    }
    return m_page;
}

void TestClassWidgetServices::keyRenewal_data()
{
    QTest::addColumn<QString>("fault");
    QTest::addColumn<QJsonObject>("extra");
    QTest::addColumn<QString>("sigKey");
    QTest::addColumn<QString>("mediaKey");
    QTest::addColumn<bool>("box");
    QTest::newRow("renewed") << QString() << QJsonObject() << QStringLiteral("sig-key-10001-1")
                             << QStringLiteral("media-key-10001-1") << false;
    QTest::newRow("no media key") << QStringLiteral("body")
                                  << QJsonObject{ { "body", R"({"errorCode":200,"errorMsg":"ok","data":{"sig_key":"s2"}})" } }
                                  << QStringLiteral("s2") << QString() << false;
    QTest::newRow("not json") << QStringLiteral("nonjson") << QJsonObject() << QStringLiteral("sig-key")
                              << QStringLiteral("media-key") << true;
    QTest::newRow("server error") << QStringLiteral("status") << QJsonObject{ { "status", 500 } } << QStringLiteral("sig-key")
                                  << QStringLiteral("media-key") << true;
}

void TestClassWidgetServices::keyRenewal()
{
    QFETCH(QString, fault);
    QFETCH(QJsonObject, extra);
    QFETCH(QString, sigKey);
    QFETCH(QString, mediaKey);
    QFETCH(bool, box);
    const QString path = QStringLiteral("/QXV1/PcClass/updateSdkSig");
    if (!fault.isEmpty())
        QVERIFY(m_service.setFault(path, fault, extra));
    CourseDialogsRecorder dialogs;
    MessageCatcher log;
    // A page in a lesson of the fixture class.
    const ClassInfoEntity info = classInfo();
    QScopedPointer<WidgetClassRoom> room(new WidgetClassRoom);
    room->startClass(info);
    StudentClassWidget *page = qobject_cast<StudentClassWidget *>(room->classWidget());
    QVERIFY(page);
    emit VideoSDK::instance()->signal_onReuqestChannelKey();
    QTRY_VERIFY_WITH_TIMEOUT(log.has(QtInfoMsg, QStringLiteral("slot_onFinish_updateSdkSig")), 10000);
    const QJsonObject form = m_service.lastRequest(path).value("form").toObject();
    QCOMPARE(form.value("sid").toString(), QString::fromLatin1(kStudentId));
    QCOMPARE(form.value("source").toString(), QStringLiteral("12"));
    QCOMPARE(form.value("class_id").toString(), QString::fromLatin1(kClassId));
    QCOMPARE(page->getClassInfo().agorainfo.sig_key, sigKey);
    QCOMPARE(page->getClassInfo().agorainfo.media_key, mediaKey);
    QCOMPARE(dialogs.boxes.size(), box ? 1 : 0);
    if (box)
        QCOMPARE(dialogs.boxes.first(), text("velmo") + QLatin1Char('|') + text("videoerrorenteragain"));

    // An answer that says success but does not parse keeps the keys.
    page->slot_onSuccess_updateSdkSig(QStringLiteral("{\"errorCode\":200,"));
    QVERIFY(log.has(QtCriticalMsg, QStringLiteral("from json to AgoraInfo failed")));
    QCOMPARE(page->getClassInfo().agorainfo.sig_key, sigKey);
    QCOMPARE(page->getClassInfo().agorainfo.media_key, mediaKey);
}

void TestClassWidgetServices::normalLogoutEndsTheCycle()
{
    MessageCatcher log;
    page()->slot_onNormalLogut();
    QVERIFY(log.has(QtWarningMsg, QStringLiteral("normal logout")));
    QCOMPARE(log.count(QtWarningMsg, QStringLiteral("relogin")), 0);
}

void TestClassWidgetServices::simulatedLossLogsInAgainOnATimer()
{
    MessageCatcher log;
    page()->slot_mqtt_simulateConnectLost();
    // Back at once: the pause runs on a timer, not on the GUI thread.
    QVERIFY(log.has(QtInfoMsg, QStringLiteral("<simulateConnectLost> start logout mqtt.")));
    QVERIFY(!log.has(QtInfoMsg, QStringLiteral("<simulateConnectLost> start login mqtt.")));
    QTRY_VERIFY(log.has(QtInfoMsg, QStringLiteral("<simulateConnectLost> start login mqtt.")));
}

void TestClassWidgetServices::reEntryWhileMqttIsDown()
{
    page();
    QSignalSpy reEnter(SignalQueueMgr::instance(), &SignalQueueMgr::signal_classroom_reEnter);
    // Nothing to log out: the re-entry goes on at once, once.
    SignalQueueMgr::instance()->signalLogoutMqttToReEnterClassroom();
    QCOMPARE(reEnter.count(), 1);
    // The flag did not stick: a later plain logout is no re-entry.
    page()->slot_mqtt_logoutSuccess(QString::fromLatin1(kStudentId));
    QCOMPARE(reEnter.count(), 1);
}

QTEST_MAIN(TestClassWidgetServices)
#include "tst_classwidgetservices.moc"
