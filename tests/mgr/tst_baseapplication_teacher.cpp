#include "biz/httpapi/teacherapis.h"
#include "mgr/logmgr.h"
#include "mgr/singleton.h"
#include "mgr/teacherapplication.h"
#include "mgr/teachercurrentuser.h"
#include "mgr/teacherdownloadresourcemgr.h"
#include "utility/serverconfig.h"
#include "widget/teacher/teacherloginwidget.h"

#include <QApplication>
#include <QFile>
#include <QPointer>
#include <QTemporaryDir>
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
        Singleton<LogMgr>::instance()->flush();
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

    // The teacher client is in English; the table covers both server
    // environments a build can have.
    void serverSettingsNoticeNamesWhatFails_data()
    {
        QTest::addColumn<int>("environment"); // 2 production, 0 development
        QTest::addColumn<QStringList>("missing"); // keys left out of a full file
        QTest::addColumn<QStringList>("failing"); // the notice's first lines; empty: no notice

        const QString signIn = QStringLiteral("The server settings cannot be used, so signing in and lessons will not work until they are fixed.");
        const QString some = QStringLiteral("Signing in works, but some server settings are missing or wrong. Until they are fixed:");
        QTest::newRow("complete") << 2 << QStringList() << QStringList();
        QTest::newRow("production without the main host") << 2 << QStringList{"main"} << QStringList{signIn};
        QTest::newRow("production without the development host") << 2 << QStringList{"development"} << QStringList();
        QTest::newRow("production without a line")
            << 2 << QStringList{"europe"} << QStringList{some, "- the network settings cannot switch to Line 3"};
        QTest::newRow("production without the site and its broker")
            << 2 << QStringList{"site", "production_host"}
            << QStringList{some, "- the help and FAQ pages will not open", "- lesson messages will not reach the classroom"};
        QTest::newRow("development without its host") << 0 << QStringList{"development"} << QStringList{signIn};
        QTest::newRow("development without the line hosts")
            << 0 << QStringList{"main", "us", "europe", "singapore", "production_port"} << QStringList();
        QTest::newRow("development without its broker")
            << 0 << QStringList{"development_port"} << QStringList{some, "- lesson messages will not reach the classroom"};
    }

    void serverSettingsNoticeNamesWhatFails()
    {
        QFETCH(int, environment);
        QFETCH(QStringList, missing);
        QFETCH(QStringList, failing);
        QTemporaryDir folder;
        const QString path = folder.filePath(QStringLiteral("servers.ini"));
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly));
        const QStringList lines = {"[api]", "main=http://127.0.0.1:1", "us=http://127.0.0.1:1",
                                   "europe=http://127.0.0.1:1", "singapore=http://127.0.0.1:1",
                                   "development=http://127.0.0.1:1", "[web]", "site=http://127.0.0.1:1",
                                   "[mqtt]", "production_host=127.0.0.1", "production_port=1883",
                                   "development_host=127.0.0.1", "development_port=1883"};
        for (const QString &line : lines) {
            if (!missing.contains(line.section(QLatin1Char('='), 0, 0)))
                file.write(line.toUtf8() + '\n');
        }
        file.close();

        const ServerConfig config = ServerConfig::load(path);
        QCOMPARE(config.isValid(), missing.isEmpty());
        const QString notice = BaseApplication::serverSettingsNotice(config, environment);
        if (failing.isEmpty()) {
            QCOMPARE(notice, QString());
            return;
        }
        const QStringList shown = notice.split(QLatin1Char('\n'));
        QCOMPARE(shown.mid(0, failing.size()), failing);
        // Then each problem, as the file spells its entries.
        for (const QString &key : missing)
            QVERIFY2(notice.contains(QStringLiteral("] %1 is missing").arg(key)), qPrintable(notice));
    }
};

QTEST_MAIN(TestBaseApplicationTeacher)

#include "tst_baseapplication_teacher.moc"
