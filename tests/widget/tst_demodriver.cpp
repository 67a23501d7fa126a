#include "lessonservice.h"
#include "loginwindowtestsupport.h"

#include "mgr/http/httpmgr.h"
#include "widget/student/coursemainwidget.h"
#include "widget/student/studentloginwidget.h"

#include <QDir>
#include <QImage>
#include <QTest>

using namespace LoginTest;

// The headless demo's driver: it signs in through the real login window
// and leaves a picture of each window plus a report.
class tst_DemoDriver : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void signsInAndTakesPictures();

private:
    QString reportText() const
    {
        QFile file(m_folder.filePath(QStringLiteral("shots/demo-result.txt")));
        return file.open(QIODevice::ReadOnly) ? QString::fromUtf8(file.readAll()) : QString();
    }

    LessonService m_service;
    QTemporaryDir m_folder;
};

void tst_DemoDriver::initTestCase()
{
    QVERIFY(m_folder.isValid());
    QVERIFY(m_service.start());
    Singleton<HttpMgr>::instance()->init();
    clearSavedLogin();
    qputenv("LESSONRY_DEMO_LOGIN", "13800000001:student123");
    qputenv("LESSONRY_DEMO_SCREENSHOTS", m_folder.filePath(QStringLiteral("shots")).toLocal8Bit());
}

void tst_DemoDriver::signsInAndTakesPictures()
{
    QPointer<studentloginwidget> login = openLoginWindow<studentloginwidget>(true);
    QTRY_COMPARE_WITH_TIMEOUT(visibleWindows<CourseMainWidget>().size(), 1, 10000);
    QVERIFY(login.isNull());

    // The report ends once no new window has come for a while.
    QTRY_VERIFY_WITH_TIMEOUT(reportText().contains(QStringLiteral("result: signed in")), 20000);
    QVERIFY(reportText().contains(QStringLiteral("signing in as 13800000001")));

    const QDir shots(m_folder.filePath(QStringLiteral("shots")));
    const QStringList pictures = shots.entryList({ QStringLiteral("*.png") }, QDir::Files, QDir::Name);
    QVERIFY2(pictures.size() >= 2, qPrintable(pictures.join(QLatin1Char(' '))));
    QCOMPARE(pictures.first(), QStringLiteral("01-login.png"));
    QVERIFY(pictures.contains(QStringLiteral("02-coursemainwidget.png")));
    QCOMPARE(QImage(shots.filePath(pictures.first())).size(), QSize(400, 300));

    const QJsonArray requests = requestsTo(m_service.requests(), QStringLiteral("/QXV1/PcStudents/login"));
    QCOMPARE(requests.size(), 1);
    QCOMPARE(requests.first().toObject().value("form").toObject().value("username").toString(),
             QStringLiteral("13800000001"));
    closeAllWindows();
}

QTEST_MAIN(tst_DemoDriver)
#include "tst_demodriver.moc"
