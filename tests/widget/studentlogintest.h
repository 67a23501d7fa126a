#ifndef STUDENTLOGINTEST_H
#define STUDENTLOGINTEST_H

#include "loginwindowtestsupport.h"

#include "mgr/studentcurrentuser.h"
#include "widget/student/studentloginwidget.h"

#include <QObject>
#include <QString>

// What the student login window tests share: the fixture account, the
// bench (stand-in service, action records, caught browser and notices)
// and the steps around every test. A test class derives from it; the
// source that defines it includes "moc_studentlogintest.cpp" once.
class StudentLoginTest : public QObject, protected LoginTest::LoginWindowBench<studentloginwidget>
{
    Q_OBJECT

public:
    StudentLoginTest()
        : LoginWindowBench(kLoginPath)
    {
    }

    inline static const QString kLoginPath = QStringLiteral("/QXV1/PcStudents/login");
    inline static const QString kUser = QString::fromLatin1(LessonService::kStudentPhone);
    inline static const QString kPassword = QString::fromLatin1(LessonService::kStudentPassword);

private slots:
    void initTestCase() { startBench(); }
    void init()
    {
        resetBench();
        Singleton<StudentCurrentUser>::instance()->setUserInfo(StudentLoginDataEntity());
    }
    void cleanup() { LoginTest::closeAllWindows(); }
};

#endif // STUDENTLOGINTEST_H
