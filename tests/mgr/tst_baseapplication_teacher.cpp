#include "mgr/logmgr.h"
#include "mgr/singleton.h"
#include "mgr/teacherapplication.h"
#include "widget/teacher/teacherloginwidget.h"

#include <QApplication>
#include <QFile>
#include <QPointer>
#include <QtTest>

// Start-up of the teacher build.
class TestBaseApplicationTeacher : public QObject
{
    Q_OBJECT

private slots:
    void startsTeacherLoginAndRecordsStart()
    {
        QByteArray program("lessonry-teacher");
        char *argv[] = {program.data(), nullptr};
        TeacherApplication application;
        application.start(1, argv);

        teacherloginwidget *login = nullptr;
        for (QWidget *window : QApplication::topLevelWidgets()) {
            if (auto *candidate = qobject_cast<teacherloginwidget *>(window))
                login = candidate->isVisible() ? candidate : login;
        }
        QVERIFY(login);

        QString actionPath = Singleton<LogMgr>::instance()->logFilePath();
        actionPath.chop(4);
        QFile file(actionPath + QStringLiteral(".action.log"));
        QVERIFY(file.open(QIODevice::ReadOnly));
        const QStringList records = QString::fromUtf8(file.readAll()).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
        QVERIFY(!records.isEmpty());
        QVERIFY(records.last().endsWith(QLatin1String(",app_start,{TeacherApplication}")));

        QPointer<QWidget> guard(login);
        delete guard.data();
    }
};

QTEST_MAIN(TestBaseApplicationTeacher)

#include "tst_baseapplication_teacher.moc"
