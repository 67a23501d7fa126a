#include "coursedialogsrecorder.h"
#include "eventreports.h"
#include "lessonservice.h"
#include "mgr/http/httpmgr.h"
#include "mgr/logeventmgr.h"
#include "mgr/singleton.h"
#include "widget/basecoursemainwidget.h"

#include <QTest>

// The teacher build reports its events under its own type path.
class TestBaseCourseMainWidgetTeacher : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void loginEventCarriesTeacherPath();

private:
    LessonService m_service;
    // The course window's device test comes as a modal window.
    CourseDialogsRecorder m_dialogs;
};

void TestBaseCourseMainWidgetTeacher::initTestCase()
{
    QVERIFY(m_service.start());
    Singleton<HttpMgr>::instance()->init();
}

void TestBaseCourseMainWidgetTeacher::loginEventCarriesTeacherPath()
{
    const QString type = QStringLiteral("win/teacher/1.1.5.1/event");
    QCOMPARE(Singleton<LogEventMgr>::instance()->eventPath(), type);
    BaseCourseMainWidget course;
    QTRY_COMPARE(receivedEvents(m_service), QJsonArray({ eventRecord(type, QStringLiteral("user/login"), QStringLiteral("1")) }));
    QCOMPARE(m_service.lastRequest(QStringLiteral("/QXV1/Public/pcNewUpdate"))
                 .value(QStringLiteral("query")).toObject().value(QStringLiteral("source")).toString(),
             QStringLiteral("13"));
}

QTEST_MAIN(TestBaseCourseMainWidgetTeacher)
#include "tst_basecoursemainwidget_teacher.moc"
