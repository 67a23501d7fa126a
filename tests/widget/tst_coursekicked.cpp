// The course window's answer when the signalling account is signed in on
// another device.

#include "coursedialogsrecorder.h"

#include "biz/im/agora/agoraloginmgr.h"
#include "mgr/http/httpmgr.h"
#include "mgr/singleton.h"
#include "widget/basecoursemainwidget.h"

#include <QApplication>
#include <QPointer>
#include <QTest>

class TestCourseKicked : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void kickIsToldAndTheWindowStays();
};

void TestCourseKicked::initTestCase()
{
    // Before the course window's own requests: as at start-up, the HTTP
    // layer outlives whoever made them.
    Singleton<HttpMgr>::instance()->init();
}

void TestCourseKicked::kickIsToldAndTheWindowStays()
{
    CourseDialogsRecorder dialogs;
    const QStringList &notices = dialogs.boxes;
    QPointer<BaseCourseMainWidget> course = new BaseCourseMainWidget;
    course->show();
    QTest::ignoreMessage(QtInfoMsg, "slot_onKicked");
    emit AgoraLoginMgr::instance()->signal_onKicked();
    // The student client speaks Chinese.
    QCOMPARE(notices, QStringList { QStringLiteral("Lessonry|您的账号已在其他设备登录。") });
    QVERIFY(course);
    QVERIFY(course->isVisible());

    // A closed window no longer answers.
    delete course;
    emit AgoraLoginMgr::instance()->signal_onKicked();
    QCOMPARE(notices.size(), 1);
}

QTEST_MAIN(TestCourseKicked)
#include "tst_coursekicked.moc"
