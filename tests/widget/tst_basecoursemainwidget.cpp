#include "coursedialogsrecorder.h"
#include "eventreports.h"
#include "lessonservice.h"
#include "mgr/http/httpmgr.h"
#include "mgr/logeventmgr.h"
#include "mgr/signalqueuemgr.h"
#include "mgr/singleton.h"
#include "mgr/upgrademgr.h"
#include "platform/systemdescription.h"
#include "widget/basecoursemainwidget.h"
#include "widget/upgradedialogs.h"

#include <QApplication>
#include <QRegularExpression>
#include <QSignalSpy>
#include <QSysInfo>
#include <QTest>

#include <memory>

class TestBaseCourseMainWidget : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();

    void loginAndClassEventsOnTheWire();
    void courseWindowStartsUpgradeCheckOverItself();
    void systemDescriptionKeepsItsFormat();

private:
    LessonService m_service;
    // The course window's device test comes as a modal window.
    CourseDialogsRecorder m_dialogs;
};

void TestBaseCourseMainWidget::initTestCase()
{
    QVERIFY(m_service.start());
    Singleton<HttpMgr>::instance()->init();
    Singleton<UpgradeMgr>::instance()->setUi(std::make_unique<UpgradeDialogs>());
}

void TestBaseCourseMainWidget::init()
{
    QVERIFY(m_service.reset());
}

void TestBaseCourseMainWidget::loginAndClassEventsOnTheWire()
{
    const QString type = QStringLiteral("win/student/1.1.5.1/event");
    QCOMPARE(Singleton<LogEventMgr>::instance()->eventPath(), type);
    {
        BaseCourseMainWidget course;
        QTRY_COMPARE(receivedEvents(m_service).size(), 1);
        course.setCurrentClassId(QStringLiteral("10001"));
        SignalQueueMgr::instance()->signalClassroomOpen();
        SignalQueueMgr::instance()->signalClassroomClose();
        QTRY_COMPARE(receivedEvents(m_service).size(), 3);
    }
    // Each on its own request, one event each, exactly once; the requests
    // run side by side, so their order on arrival is not fixed.
    QTest::qWait(100);
    const QJsonArray events = receivedEvents(m_service);
    QCOMPARE(events.size(), 3);
    QCOMPARE(events.first(), QJsonValue(eventRecord(type, QStringLiteral("user/login"), QStringLiteral("1"))));
    QVERIFY(events.contains(eventRecord(type, QStringLiteral("class/join"), QStringLiteral("10001"))));
    QVERIFY(events.contains(eventRecord(type, QStringLiteral("class/exit"), QStringLiteral("10001"))));
    const QJsonObject request = m_service.lastRequest(QStringLiteral("/QXV1/Public/kv"));
    QCOMPARE(request.value(QStringLiteral("method")).toString(), QStringLiteral("POST"));
    QCOMPARE(request.value(QStringLiteral("form_order")).toArray(), QJsonArray({ QStringLiteral("json_str") }));

    // A closed course window reports nothing more.
    SignalQueueMgr::instance()->signalClassroomClose();
    QTest::qWait(100);
    QCOMPARE(receivedEvents(m_service).size(), 3);
}

void TestBaseCourseMainWidget::courseWindowStartsUpgradeCheckOverItself()
{
    UpgradeMgr *upgrade = Singleton<UpgradeMgr>::instance();
    QSignalSpy noNew(upgrade, &UpgradeMgr::signal_on_no_new_version);
    {
        BaseCourseMainWidget course;
        QCOMPARE(upgrade->promptWidget(), &course);
        QVERIFY(noNew.wait());
        QVERIFY(!m_service.lastRequest(QStringLiteral("/QXV1/Public/pcNewUpdate")).isEmpty());
    }
    QCOMPARE(upgrade->promptWidget(), nullptr);
}

void TestBaseCourseMainWidget::systemDescriptionKeepsItsFormat()
{
    // The first number is the Windows version: 0 on this system.
    QCOMPARE(getSystemDescription(),
             QStringLiteral("version:0, production name:%1, kernel version:%2, cpu architecture:%3")
                 .arg(QSysInfo::prettyProductName(), QSysInfo::kernelVersion(), QSysInfo::currentCpuArchitecture()));
}

QTEST_MAIN(TestBaseCourseMainWidget)
#include "tst_basecoursemainwidget.moc"
