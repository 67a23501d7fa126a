#include "biz/httpapi/teacherapis.h"
#include "mgr/logmgr.h"
#include "mgr/singleton.h"
#include "mgr/teacherapplication.h"
#include "mgr/teachercurrentuser.h"
#include "mgr/teacherdownloadresourcemgr.h"
#include "widget/teacher/teacherloginwidget.h"

#include <QApplication>
#include <QFile>
#include <QPointer>
#include <QTest>

namespace {

QString readAll(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? QString::fromUtf8(file.readAll()) : QString();
}

} // namespace

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
        QVERIFY(Singleton<TeacherApis>::isCreated());
        QVERIFY(Singleton<TeacherCurrentUser>::isCreated());
        // The teacher's own services come after the shared ones.
        const QString log = readAll(Singleton<LogMgr>::instance()->logFilePath());
        const int upgrade = log.indexOf(QLatin1String("UpgradeMgr::init:"));
        QVERIFY(upgrade >= 0);
        QVERIFY(log.indexOf(QLatin1String("DownloadResourceMgr init"), upgrade) > upgrade);

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
