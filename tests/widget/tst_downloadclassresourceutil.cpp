// The download status control of the teacher's course window against the
// real download queue and the stand-in lesson service: "Download", "n%"
// and "Complete" on a class's button, the turning picture of the
// download-all label, and one resource aborting the other.
#include "lessonservice.h"
#include "scopedtimescale.h"

#include "mgr/http/networkdownloadreplyholder.h"
#include "mgr/teacherdownloadresourcemgr.h"
#include "utility/appdirs.h"
#include "widget/downloadclassresourceutil.h"

#include <QDir>
#include <QFile>
#include <QLabel>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>

class TestDownloadClassResourceUtil : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();
    void refreshShowsTheFilesOnDisk_data();
    void refreshShowsTheFilesOnDisk();
    void buttonCountsUpToComplete();
    void downloadAllTurnsThePictureAndAbortsTheClass();
    void refreshAdoptsTheRunningDownload();
    void pressWhileIdleNeverCountsAsDownloading();

private:
    QVector<DownloadFileInfo> files(const QStringList &names) const;
    void putOnDisk(const DownloadFileInfo &file, const QByteArray &data = QByteArray("x"));

    LessonService service;
    QString folder;
};

void TestDownloadClassResourceUtil::initTestCase()
{
    QVERIFY(service.start());
    folder = getDownloadResourceDir();
}

void TestDownloadClassResourceUtil::init()
{
    service.reset();
    QDir(folder).removeRecursively();
    QDir().mkpath(folder);
}

void TestDownloadClassResourceUtil::cleanup()
{
    DownloadResourceMgr::instance()->abort();
}

QVector<DownloadFileInfo> TestDownloadClassResourceUtil::files(const QStringList &names) const
{
    QVector<DownloadFileInfo> result;
    for (const QString &name : names)
        result.append({ service.fixtureUrl(name), folder });
    return result;
}

void TestDownloadClassResourceUtil::putOnDisk(const DownloadFileInfo &file, const QByteArray &data)
{
    QFile out(NetWorkDownloadReplyHolder::getFilePath(file.url, file.dirPath));
    QVERIFY(out.open(QIODevice::WriteOnly));
    out.write(data);
}

void TestDownloadClassResourceUtil::refreshShowsTheFilesOnDisk_data()
{
    QTest::addColumn<int>("present");
    QTest::addColumn<int>("total");
    QTest::addColumn<QString>("text");
    QTest::newRow("all present") << 3 << 3 << "Complete";
    QTest::newRow("some present, not downloading") << 1 << 3 << "Download";
    QTest::newRow("none present") << 0 << 3 << "Download";
    QTest::newRow("no files") << 0 << 0 << "Complete";
}

void TestDownloadClassResourceUtil::refreshShowsTheFilesOnDisk()
{
    QFETCH(int, present);
    QFETCH(int, total);
    QFETCH(QString, text);
    const QVector<DownloadFileInfo> all
        = files({ "courseware.pdf", "lesson-audio.mp3", "lesson-video.mp4" }).mid(0, total);
    for (int i = 0; i < present; ++i)
        putOnDisk(all.at(i));
    QPushButton button;
    DownloadClassResourceUtil util(nullptr);
    util.init(&button, nullptr, false);
    util.refreshDownloadStatus(QStringLiteral("10001"), all);
    QCOMPARE(button.text(), text);
    QCOMPARE(button.styleSheet(), text == QLatin1String("Complete") ? DownloadClassResourceUtil::completeLook()
                                                                     : DownloadClassResourceUtil::downloadLook());
    QVERIFY(!util.isDownloading());
    // Nothing was fetched for it.
    QCOMPARE(DownloadResourceMgr::instance()->getResourceId(), QString());
}

void TestDownloadClassResourceUtil::buttonCountsUpToComplete()
{
    QPushButton button;
    DownloadClassResourceUtil util(nullptr);
    util.init(&button, nullptr, false);
    const QVector<DownloadFileInfo> three = files({ "courseware.pdf", "lesson-audio.mp3", "lesson-video.mp4" });
    util.refreshDownloadStatus(QStringLiteral("10001"), three);
    QCOMPARE(button.text(), QStringLiteral("Download"));

    // What the button shows after each progress report of its resource.
    QStringList texts;
    DownloadResourceMgr *mgr = DownloadResourceMgr::instance();
    connect(mgr, &DownloadResourceMgr::signal_downloadProgress, &button,
            [&](const QString &, double) { texts << button.text(); });
    QSignalSpy success(mgr, &DownloadResourceMgr::signal_onSuccess);
    util.start();
    QVERIFY(util.isDownloading());
    QVERIFY(success.wait(20000));
    QTRY_COMPARE(button.text(), QStringLiteral("Complete"));
    QCOMPARE(button.styleSheet(), DownloadClassResourceUtil::completeLook());
    QVERIFY2(texts.contains(QStringLiteral("0%")), qPrintable(texts.join(',')));
    QVERIFY2(texts.contains(QStringLiteral("33%")), qPrintable(texts.join(',')));
    QVERIFY2(texts.contains(QStringLiteral("66%")), qPrintable(texts.join(',')));
    QCOMPARE(texts.last(), QStringLiteral("Complete"));
    QVERIFY(!util.isDownloading());
}

void TestDownloadClassResourceUtil::downloadAllTurnsThePictureAndAbortsTheClass()
{
    ScopedTimeScale fast(0.1);
    // A file of each resource hangs, so their downloads are still running.
    QVERIFY(service.setFault(QStringLiteral("/files/lesson-audio.mp3"), QStringLiteral("hang")));
    QVERIFY(service.setFault(QStringLiteral("/files/lesson-video-sound.mp3"), QStringLiteral("hang")));
    QPushButton classButton;
    DownloadClassResourceUtil classUtil(nullptr);
    classUtil.init(&classButton, nullptr, false);
    QPushButton allButton;
    QLabel allLabel;
    allLabel.hide();
    DownloadClassResourceUtil allUtil(nullptr);
    allUtil.init(&allButton, &allLabel, true);

    classUtil.refreshDownloadStatus(QStringLiteral("10001"), files({ "courseware.pdf", "lesson-audio.mp3" }));
    DownloadResourceMgr *mgr = DownloadResourceMgr::instance();
    QSignalSpy aborted(mgr, &DownloadResourceMgr::signal_abort);
    classUtil.start();
    QTRY_COMPARE(classButton.text(), QStringLiteral("50%"));

    allUtil.refreshDownloadStatus(QStringLiteral("velmo"), files({ "lesson-video.mp4", "lesson-video-sound.mp3" }));
    QVERIFY(allLabel.isHidden());
    allUtil.start();
    QCOMPARE(aborted.size(), 1);
    QCOMPARE(aborted.first().at(0).toString(), QStringLiteral("10001"));
    QVERIFY(!classUtil.isDownloading());
    QVERIFY(allUtil.isDownloading());
    QVERIFY(allUtil.isAnimating());
    QVERIFY(!allLabel.isHidden());
    // The label-mode control shows no percent on its button.
    QVERIFY(!allButton.text().endsWith(QLatin1Char('%')));
    // The picture turns a quarter every step.
    QTRY_VERIFY(!allLabel.pixmap(Qt::ReturnByValue).isNull());
    const QImage shown = allLabel.pixmap(Qt::ReturnByValue).toImage();
    QCOMPARE(shown.size(), QImage(QLatin1String(DownloadClassResourceUtil::kDownloadingImage)).size());
    QTRY_VERIFY(allLabel.pixmap(Qt::ReturnByValue).toImage() != shown);

    // Stopping from the course window hides the picture again.
    mgr->abort();
    QVERIFY(!allUtil.isAnimating());
    QVERIFY(allLabel.isHidden());

    // A download of all that arrives ends on the finished picture.
    allUtil.refreshDownloadStatus(QStringLiteral("velmo"), files({ "lesson-video.mp4" }));
    QSignalSpy success(mgr, &DownloadResourceMgr::signal_onSuccess);
    allUtil.start();
    QTRY_VERIFY_WITH_TIMEOUT(!success.isEmpty(), 20000);
    QCOMPARE(success.first().at(0).toString(), QStringLiteral("velmo"));
    QTRY_VERIFY(!allUtil.isAnimating());
    QVERIFY(!allLabel.isHidden());
    QCOMPARE(allLabel.pixmap(Qt::ReturnByValue).toImage(),
             QPixmap(QLatin1String(DownloadClassResourceUtil::kCompleteImage)).toImage());
}

void TestDownloadClassResourceUtil::refreshAdoptsTheRunningDownload()
{
    QVERIFY(service.setFault(QStringLiteral("/files/lesson-audio.mp3"), QStringLiteral("hang")));
    QPushButton button;
    DownloadClassResourceUtil util(nullptr);
    util.init(&button, nullptr, false);
    util.refreshDownloadStatus(QStringLiteral("10001"), files({ "courseware.pdf", "lesson-audio.mp3" }));
    util.start();
    QTRY_COMPARE(button.text(), QStringLiteral("50%"));
    // A share of a file shows in its shortest form.
    util.setDownloadLabelPercent(45.5);
    QCOMPARE(button.text(), QStringLiteral("45.5%"));
    util.setDownloadLabelPercent(99.5);
    QCOMPARE(button.text(), QStringLiteral("Complete"));
    // The course window reloads its list while the class downloads: the
    // running download takes the new list and the button keeps counting.
    const QVector<DownloadFileInfo> more = files({ "courseware.pdf", "lesson-audio.mp3", "lesson-video.mp4" });
    util.refreshDownloadStatus(QStringLiteral("10001"), more);
    QCOMPARE(DownloadResourceMgr::instance()->currentFiles().size(), 3);
    QTRY_COMPARE(button.text(), QStringLiteral("33%"));
}

void TestDownloadClassResourceUtil::pressWhileIdleNeverCountsAsDownloading()
{
    // A control that was never given a resource is not the idle manager's.
    QPushButton button;
    DownloadClassResourceUtil util(nullptr);
    util.init(&button, nullptr, false);
    QVERIFY(!util.isDownloading());
    util.setDownloadLabelPercent(45.5);
    QCOMPARE(button.text(), QString());
}

QTEST_MAIN(TestDownloadClassResourceUtil)
#include "tst_downloadclassresourceutil.moc"
