// The class-resource download queue against the lesson service: files
// already present, progress in whole percent of files, the retry of a
// failing file, one resource at a time, abort, and the local file names.
#include "lessonservice.h"
#include "messagecatcher.h"
#include "mgr/http/networkdownloadreplyholder.h"
#include "mgr/http/networkreplyholder.h"
#include "mgr/teacherdownloadresourcemgr.h"
#include "scopedtimescale.h"
#include "testutil.h"
#include "utility/appdirs.h"
#include "utility/hashutility.h"
#include "utility/multifilesdownloadutil.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QSignalSpy>
#include <QTest>

namespace {

int requestsFor(LessonService &service, const QString &path)
{
    int count = 0;
    for (const QJsonValue &request : service.requests())
        count += request.toObject().value(QStringLiteral("path")).toString() == path;
    return count;
}

QList<int> percents(const QSignalSpy &spy, const QString &resourceId)
{
    QList<int> result;
    for (const QList<QVariant> &args : spy) {
        if (args.at(0).toString() == resourceId)
            result << int(args.at(1).toDouble());
    }
    return result;
}

} // namespace

class TestDownloadResourceMgr : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();
    void threeFilesInOrder();
    void allPresentNeedsNoTransfer();
    void emptyListSucceeds();
    void zeroSizeFileIsFetchedAgain();
    void failingFileIsRetried();
    void hugeAnnouncementIsRefusedOnce();
    void anotherResourceAbortsTheFirst();
    void abortCancelsPendingRetry();
    void abortWhileIdleDoesNothing();
    void refusedTransferCountsAsFailure();
    void localNames_data();
    void localNames();
    void multiFilesStopsAtFirstFailure();

private:
    QVector<DownloadFileInfo> threeFiles() const;

    LessonService service;
    QString folder;
};

void TestDownloadResourceMgr::initTestCase()
{
    QVERIFY(service.start());
    folder = getDownloadResourceDir();
}

void TestDownloadResourceMgr::init()
{
    service.reset();
    QDir(folder).removeRecursively();
    QDir().mkpath(folder);
}

void TestDownloadResourceMgr::cleanup()
{
    DownloadResourceMgr::instance()->abort();
}

QVector<DownloadFileInfo> TestDownloadResourceMgr::threeFiles() const
{
    QVector<DownloadFileInfo> files;
    for (const char *name : { "courseware.pdf", "lesson-audio.mp3", "lesson-video.mp4" })
        files.append({ service.fixtureUrl(QLatin1String(name)), folder });
    return files;
}

void TestDownloadResourceMgr::threeFilesInOrder()
{
    DownloadResourceMgr *mgr = DownloadResourceMgr::instance();
    QSignalSpy progress(mgr, &DownloadResourceMgr::signal_downloadProgress);
    QSignalSpy success(mgr, &DownloadResourceMgr::signal_onSuccess);
    mgr->download(QStringLiteral("10001"), threeFiles());
    QCOMPARE(mgr->getResourceId(), QStringLiteral("10001"));
    QVERIFY(progress.isEmpty()); // deferred until the caller has returned
    QVERIFY(success.wait(10000));
    QCOMPARE(success.first().at(0).toString(), QStringLiteral("10001"));
    QCOMPARE(mgr->getResourceId(), QString());
    const QList<int> seen = percents(progress, QStringLiteral("10001"));
    QCOMPARE(seen.first(), 0);
    QCOMPARE(seen.last(), 100);
    for (int i = 1; i < seen.size(); ++i)
        QVERIFY2(seen.at(i) >= seen.at(i - 1), qPrintable(QString::number(seen.at(i))));
    QVERIFY(seen.contains(33));
    QVERIFY(seen.contains(66));
    for (const DownloadFileInfo &file : threeFiles())
        QVERIFY(NetWorkDownloadReplyHolder::isFileAlreadyDownloaded(file.url, file.dirPath));
}

void TestDownloadResourceMgr::allPresentNeedsNoTransfer()
{
    DownloadResourceMgr *mgr = DownloadResourceMgr::instance();
    QSignalSpy success(mgr, &DownloadResourceMgr::signal_onSuccess);
    mgr->download(QStringLiteral("velmo"), threeFiles());
    QVERIFY(success.wait(10000));
    service.reset();
    QSignalSpy progress(mgr, &DownloadResourceMgr::signal_downloadProgress);
    success.clear();
    mgr->download(QStringLiteral("velmo"), threeFiles());
    QVERIFY(success.wait(5000));
    QCOMPARE(percents(progress, QStringLiteral("velmo")), QList<int>{ 100 });
    QCOMPARE(service.requests().size(), 0);
    QSet<QString> present;
    QCOMPARE(mgr->calculateDownloadProgress(QStringLiteral("velmo"), threeFiles(), present), 100);
    QCOMPARE(present.size(), 3);
}

void TestDownloadResourceMgr::emptyListSucceeds()
{
    DownloadResourceMgr *mgr = DownloadResourceMgr::instance();
    QSignalSpy progress(mgr, &DownloadResourceMgr::signal_downloadProgress);
    QSignalSpy success(mgr, &DownloadResourceMgr::signal_onSuccess);
    mgr->download(QStringLiteral("today's_resource"), {});
    QVERIFY(success.wait(5000));
    QCOMPARE(percents(progress, QStringLiteral("today's_resource")), QList<int>{ 100 });
}

void TestDownloadResourceMgr::zeroSizeFileIsFetchedAgain()
{
    const QVector<DownloadFileInfo> files = threeFiles().mid(0, 1);
    QFile empty(NetWorkDownloadReplyHolder::getFilePath(files.first().url, folder));
    QVERIFY(empty.open(QIODevice::WriteOnly));
    empty.close();
    QSet<QString> present;
    QCOMPARE(DownloadResourceMgr::instance()->calculateDownloadProgress(QStringLiteral("x"), files, present), 0);
    QSignalSpy success(DownloadResourceMgr::instance(), &DownloadResourceMgr::signal_onSuccess);
    DownloadResourceMgr::instance()->download(QStringLiteral("x"), files);
    QVERIFY(success.wait(10000));
    QCOMPARE(requestsFor(service, QStringLiteral("/files/courseware.pdf")), 1);
    QVERIFY(QFileInfo(empty.fileName()).size() > 0);
}

// A class video whose server announces 10 GiB is refused before a byte is
// written, reported once and not fetched again; the other
// files still arrive, and the resource ends without success.
void TestDownloadResourceMgr::hugeAnnouncementIsRefusedOnce()
{
    // Real durations: a read time-out scaled down would fail the video on a
    // busy machine before its announcement came, a passing failure that is
    // tried again. A refusal arms no retry, so nothing here waits them out.
    MessageCatcher log;
    QVERIFY(service.setFault(QStringLiteral("/files/lesson-video.mp4"), QStringLiteral("announce"),
                             QJsonObject{ { "length", double(qint64(10) << 30) } }));
    DownloadResourceMgr *mgr = DownloadResourceMgr::instance();
    QSignalSpy failure(mgr, &DownloadResourceMgr::signal_onFailure);
    QSignalSpy success(mgr, &DownloadResourceMgr::signal_onSuccess);
    QSignalSpy ended(mgr, &DownloadResourceMgr::signal_abort);
    const QVector<DownloadFileInfo> files = threeFiles();
    mgr->download(QStringLiteral("10001"), { files.at(2), files.at(0), files.at(1) });
    QTRY_COMPARE_WITH_TIMEOUT(ended.size(), 1, 15000);
    QCOMPARE(mgr->getResourceId(), QString());
    QCOMPARE(failure.size(), 1);
    QCOMPARE(failure.first().at(1).toInt(), int(NetWorkDownloadReplyHolder::DOWNLOAD_TOO_LARGE));
    QVERIFY(success.isEmpty());
    QVERIFY(!mgr->isRetryPending());
    QVERIFY(NetWorkDownloadReplyHolder::isFileAlreadyDownloaded(files.at(0).url, folder));
    QVERIFY(NetWorkDownloadReplyHolder::isFileAlreadyDownloaded(files.at(1).url, folder));
    QCOMPARE(QDir(folder).entryList(QDir::Files | QDir::Hidden).size(), 2);
    // No retry is armed: nothing more can come.
    TestUtil::drainEvents();
    QVERIFY(!mgr->isRetryPending());
    // Fetched once (the service may count a request the network layer sent
    // again on a closed keep-alive connection: that is not a retry).
    QCOMPARE(log.count(QtInfoMsg, QStringLiteral("download urlString:") + files.at(2).url), 1);
    QVERIFY(requestsFor(service, QStringLiteral("/files/lesson-video.mp4")) >= 1);
    QCOMPARE(failure.size(), 1);
}

void TestDownloadResourceMgr::failingFileIsRetried()
{
    ScopedTimeScale fast(0.02);
    QVERIFY(service.setFault(QStringLiteral("/files/lesson-audio.mp3"), QStringLiteral("status"),
                             QJsonObject{ { "status", 500 }, { "times", 2 } }));
    DownloadResourceMgr *mgr = DownloadResourceMgr::instance();
    QSignalSpy failure(mgr, &DownloadResourceMgr::signal_onFailure);
    QSignalSpy success(mgr, &DownloadResourceMgr::signal_onSuccess);
    mgr->download(QStringLiteral("10001"), threeFiles());
    QTRY_VERIFY_WITH_TIMEOUT(!success.isEmpty(), 15000);
    QCOMPARE(failure.size(), 2);
    QCOMPARE(failure.first().at(0).toString(), QStringLiteral("10001"));
    QCOMPARE(requestsFor(service, QStringLiteral("/files/lesson-audio.mp3")), 3);
    // Every file once, the failing one until it came: nothing twice.
    QCOMPARE(requestsFor(service, QStringLiteral("/files/lesson-video.mp4")), 1);
    QVERIFY(!mgr->isRetryPending());
}

void TestDownloadResourceMgr::anotherResourceAbortsTheFirst()
{
    ScopedTimeScale fast(0.02);
    // The first resource fails on its first file and waits for its retry.
    QVERIFY(service.setFault(QStringLiteral("/files/courseware.pdf"), QStringLiteral("status"),
                             QJsonObject{ { "status", 500 } }));
    DownloadResourceMgr *mgr = DownloadResourceMgr::instance();
    QSignalSpy failure(mgr, &DownloadResourceMgr::signal_onFailure);
    QSignalSpy events(mgr, &DownloadResourceMgr::signal_abort);
    QSignalSpy progress(mgr, &DownloadResourceMgr::signal_downloadProgress);
    QSignalSpy success(mgr, &DownloadResourceMgr::signal_onSuccess);
    mgr->download(QStringLiteral("10001"), threeFiles());
    QVERIFY(failure.wait(10000));
    const int progressBefore = progress.size();
    const QVector<DownloadFileInfo> other{ { service.fixtureUrl(QStringLiteral("cover.png")), folder } };
    mgr->download(QStringLiteral("velmo"), other);
    QCOMPARE(events.size(), 1);
    QCOMPARE(events.first().at(0).toString(), QStringLiteral("10001"));
    QCOMPARE(progress.size(), progressBefore); // the abort came before any progress of the new one
    QVERIFY(success.wait(10000));
    QCOMPARE(success.last().at(0).toString(), QStringLiteral("velmo"));
    // The first resource's retry did not run after it was replaced.
    const int pdfRequests = requestsFor(service, QStringLiteral("/files/courseware.pdf"));
    QSignalSpy second(mgr, &DownloadResourceMgr::signal_onSuccess);
    mgr->download(QStringLiteral("velmo"), other);
    QVERIFY(second.wait(5000));
    QCOMPARE(requestsFor(service, QStringLiteral("/files/courseware.pdf")), pdfRequests);
    QVERIFY(!mgr->isRetryPending());
}

void TestDownloadResourceMgr::abortCancelsPendingRetry()
{
    QVERIFY(service.setFault(QStringLiteral("/files/courseware.pdf"), QStringLiteral("status"),
                             QJsonObject{ { "status", 500 } }));
    DownloadResourceMgr *mgr = DownloadResourceMgr::instance();
    QSignalSpy failure(mgr, &DownloadResourceMgr::signal_onFailure);
    QSignalSpy aborted(mgr, &DownloadResourceMgr::signal_abort);
    mgr->download(QStringLiteral("10001"), threeFiles());
    QVERIFY(failure.wait(10000));
    QVERIFY(mgr->isRetryPending());
    mgr->abort();
    QCOMPARE(aborted.size(), 1);
    QVERIFY(!mgr->isRetryPending());
    QCOMPARE(mgr->getResourceId(), QString());
    QVERIFY(mgr->pendingFiles().isEmpty());
}

void TestDownloadResourceMgr::abortWhileIdleDoesNothing()
{
    DownloadResourceMgr *mgr = DownloadResourceMgr::instance();
    QSignalSpy aborted(mgr, &DownloadResourceMgr::signal_abort);
    QSignalSpy progress(mgr, &DownloadResourceMgr::signal_downloadProgress);
    mgr->abort();
    mgr->abort();
    QVERIFY(aborted.isEmpty());
    QVERIFY(progress.isEmpty());
    QVERIFY(!mgr->isRetryPending());
}

void TestDownloadResourceMgr::refusedTransferCountsAsFailure()
{
    // An address that cannot even be fetched is refused for good: reported
    // once, not tried again, and the resource ends without success.
    DownloadResourceMgr *mgr = DownloadResourceMgr::instance();
    QSignalSpy failure(mgr, &DownloadResourceMgr::signal_onFailure);
    QSignalSpy success(mgr, &DownloadResourceMgr::signal_onSuccess);
    QSignalSpy aborted(mgr, &DownloadResourceMgr::signal_abort);
    mgr->download(QStringLiteral("10001"), { { QStringLiteral("notascheme:thing"), folder } });
    QVERIFY(failure.wait(5000));
    QCOMPARE(failure.first().at(1).toInt(), REQUEST_REFUSED_ERROR_CODE);
    QVERIFY(!mgr->isRetryPending());
    QTRY_COMPARE(aborted.size(), 1);
    QCOMPARE(aborted.first().at(0).toString(), QStringLiteral("10001"));
    QCOMPARE(mgr->getResourceId(), QString());
    TestUtil::drainEvents();
    QCOMPARE(failure.size(), 1);
    QVERIFY(success.isEmpty());
}

void TestDownloadResourceMgr::localNames_data()
{
    QTest::addColumn<QString>("url");
    QTest::addColumn<QString>("suffix");
    QTest::newRow("mp4") << "http://127.0.0.1/v/a.mp4" << ".mp4";
    QTest::newRow("no dot") << "http://127.0.0.1/v/video" << "";
    QTest::newRow("query ignored") << "http://127.0.0.1/v/a.mp3?x=1.exe" << ".mp3";
    QTest::newRow("encoded separator") << "http://127.0.0.1/v/a.m%5C..%5Cp4" << "";
    QTest::newRow("encoded slash") << "http://127.0.0.1/v/a.mp4%2F..%2F..%2Fx" << "";
    QTest::newRow("long suffix") << "http://127.0.0.1/v/a.abcdefghijklmnopqrstuvwxyz" << "";
}

void TestDownloadResourceMgr::localNames()
{
    QFETCH(QString, url);
    QFETCH(QString, suffix);
    const QString md5 = QString::fromLatin1(
        QCryptographicHash::hash((url + QStringLiteral("_velmo")).toLocal8Bit(), QCryptographicHash::Md5).toHex());
    const QString name = NetWorkDownloadReplyHolder::getFileName(url);
    QCOMPARE(name, md5 + suffix);
    QCOMPARE(QFileInfo(NetWorkDownloadReplyHolder::getFilePath(url, folder)).absolutePath(),
             QFileInfo(folder).absoluteFilePath());
}

void TestDownloadResourceMgr::multiFilesStopsAtFirstFailure()
{
    MultiFilesDownloadUtil util(nullptr);
    QSignalSpy failure(&util, &MultiFilesDownloadUtil::signal_onFailure);
    QSignalSpy success(&util, &MultiFilesDownloadUtil::signal_onSuccess);
    QSignalSpy progress(&util, &MultiFilesDownloadUtil::signal_downloadProgress);
    QVERIFY(service.setFault(QStringLiteral("/files/lesson-video-sound.mp3"), QStringLiteral("status"),
                             QJsonObject{ { "status", 404 }, { "times", 1 } }));
    const QVector<DownloadFileInfo> files{ { service.fixtureUrl(QStringLiteral("lesson-video-sound.mp3")), folder },
                                           { service.fixtureUrl(QStringLiteral("lesson-video.mp4")), folder } };
    util.download(files);
    QVERIFY(failure.wait(10000));
    QVERIFY(success.isEmpty());
    QCOMPARE(requestsFor(service, QStringLiteral("/files/lesson-video.mp4")), 0);
    // Started over: both arrive, the progress reaching the whole.
    util.download(files);
    QVERIFY(success.wait(10000));
    QCOMPARE(int(progress.last().at(0).toDouble()), 100);
    // Present files finish at once, without a transfer.
    service.reset();
    success.clear();
    util.download(files);
    QVERIFY(success.wait(5000));
    QCOMPARE(service.requests().size(), 0);
}

QTEST_MAIN(TestDownloadResourceMgr)
#include "tst_teacherdownloadresourcemgr.moc"
