// The server environment and the canned-response switch are build
// constants. This test sets them through the build constants' test seam to
// run the catalogue under the other builds.

#include "biz/httpapi/baseapis.h"
#include "biz/httpapi/mockentitynetworkreplyholder.h"
#include "biz/httpapi/mockhttpresponsemgr.h"
#include "biz/httpapi/studentapis.h"
#include "biz/httpapi/teacherapis.h"
#include "buildconstants.h"
#include "lessonservice.h"
#include "mgr/http/entitynetworkreplyholder.h"
#include "mgr/singleton.h"
#include "testutil.h"

#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

#include <functional>

class TestApiBuildSwitches : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanupTestCase();
    void builtValuesAreProductionWithoutCannedResponses();

    void developmentBuildUsesDevelopmentBase();
    void unknownEnvironmentHasNoBase();
    void cannedCallsAnswerWithoutNetwork_data();
    void cannedCallsAnswerWithoutNetwork();

private:
    bool writeIni();

    LessonService m_development;
    LessonService m_production;
    QTemporaryDir m_dir;
    QObject m_owner;
};

bool TestApiBuildSwitches::writeIni()
{
    TestUtil::ServerAddresses addresses;
    addresses.main = m_production.baseUrl();
    addresses.development = m_development.baseUrl();
    return TestUtil::useServersIni(m_dir.filePath(QStringLiteral("servers.ini")), addresses);
}

void TestApiBuildSwitches::initTestCase()
{
    QVERIFY(m_development.start());
    QVERIFY(m_production.start());
    QVERIFY(writeIni());
}

void TestApiBuildSwitches::cleanupTestCase()
{
    BuildConstantsForTests::restore();
}

void TestApiBuildSwitches::init()
{
    BuildConstantsForTests::set(2, false);
    BaseApis::setNetLinkType(NETLINK_MAIN);
    m_development.reset();
    m_production.reset();
}

// The seam changes nothing unless asked, and restore() brings back the
// values the client is built with.
void TestApiBuildSwitches::builtValuesAreProductionWithoutCannedResponses()
{
    BuildConstantsForTests::set(0, true);
    QCOMPARE(getServerEnvironment(), 0);
    QVERIFY(isMockHttpEnabled());
    BuildConstantsForTests::restore();
    QCOMPARE(getServerEnvironment(), 2);
    QVERIFY(!isMockHttpEnabled());
    QCOMPARE(BaseApis::getBaseUrl(), m_production.baseUrl());
}

void TestApiBuildSwitches::developmentBuildUsesDevelopmentBase()
{
    BuildConstantsForTests::set(0, false);
    QCOMPARE(BaseApis::getBaseUrl(), m_development.baseUrl());
    BaseApis::setNetLinkType(NETLINK_SINGAPORE);
    QCOMPARE(BaseApis::getUrl(QStringLiteral("/QXV1/Config/getAll")), m_development.baseUrl() + QStringLiteral("/QXV1/Config/getAll"));

    EntityNetworkReplyHolder *holder = StudentApis::getAppConfig(&m_owner);
    QSignalSpy finished(holder, &EntityNetworkReplyHolder::signal_onFinish);
    QVERIFY(finished.wait(10000));
    QCOMPARE(m_development.lastRequest("/QXV1/Config/getAll").value("method").toString(), QStringLiteral("GET"));
    QVERIFY(m_production.requests().isEmpty());

    // The line test measures the production hosts in every build.
    holder = StudentApis::test(&m_owner, NETLINK_MAIN, 2000);
    QSignalSpy tested(holder, &EntityNetworkReplyHolder::signal_onFinish);
    QVERIFY(tested.wait(10000));
    QCOMPARE(m_production.lastRequest("/QXV1/Public/test").value("method").toString(), QStringLiteral("GET"));
    QCOMPARE(m_development.requests().size(), 1);
}

void TestApiBuildSwitches::unknownEnvironmentHasNoBase()
{
    BuildConstantsForTests::set(1, false);
    BaseApis::setNetLinkType(NETLINK_EUROPE);
    QCOMPARE(BaseApis::getBaseUrl(), QString());
    QCOMPARE(BaseApis::getUrl(QStringLiteral("/QXV1/Config/getAll")), QStringLiteral("/QXV1/Config/getAll"));
}

void TestApiBuildSwitches::cannedCallsAnswerWithoutNetwork_data()
{
    QTest::addColumn<QString>("key");
    QTest::addColumn<int>("call");
    QTest::newRow("teacher login") << QStringLiteral("teacher.login") << 0;
    QTest::newRow("schedule") << QStringLiteral("teacher.schedule") << 1;
    QTest::newRow("class details") << QStringLiteral("teacher.getclassinfo") << 2;
    QTest::newRow("class information") << QStringLiteral("teacher.classinfo") << 3;
}

void TestApiBuildSwitches::cannedCallsAnswerWithoutNetwork()
{
    QFETCH(QString, key);
    QFETCH(int, call);

    BuildConstantsForTests::set(2, true);
    Singleton<MockHttpResponseMgr>::instance()->init();
    const std::function<EntityNetworkReplyHolder *()> calls[] = {
        [this] { return TeacherApis::login(&m_owner, QStringLiteral("teacher@example.com"), QStringLiteral("teacher123")); },
        [this] { return StudentApis::getScheduleByDay(&m_owner, 1700000000u); },
        [this] { return StudentApis::getClassInfo(&m_owner, 8001); },
        [this] { return StudentApis::classInfo(&m_owner, QStringLiteral("8001")); },
    };
    EntityNetworkReplyHolder *holder = calls[call]();
    QVERIFY(qobject_cast<MockEntityNetworkReplyHolder *>(holder));
    QCOMPARE(holder->parent(), &m_owner);

    QSignalSpy started(holder, &EntityNetworkReplyHolder::signal_onStart);
    QSignalSpy succeeded(holder, &EntityNetworkReplyHolder::signal_onSuccess);
    QSignalSpy failed(holder, &EntityNetworkReplyHolder::signal_onFailure);
    QSignalSpy finished(holder, &EntityNetworkReplyHolder::signal_onFinish);
    QVERIFY(succeeded.wait(2000));
    QCOMPARE(succeeded.count(), 1);
    QCOMPARE(succeeded.at(0).at(0).toString(), Singleton<MockHttpResponseMgr>::instance()->getResponse(key).body);
    QVERIFY(!succeeded.at(0).at(0).toString().isEmpty());
    TestUtil::drainEvents();
    QCOMPARE(started.count(), 0);
    QCOMPARE(failed.count(), 0);
    QCOMPARE(finished.count(), 0);
    QVERIFY(m_production.requests().isEmpty());
    QVERIFY(m_development.requests().isEmpty());
    delete holder;
}

QTEST_GUILESS_MAIN(TestApiBuildSwitches)
#include "tst_apibuildswitches.moc"
