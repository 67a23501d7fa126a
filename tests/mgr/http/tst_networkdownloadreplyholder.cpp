#include <QDir>
#include <QFile>
#include <QJsonObject>
#include <QNetworkAccessManager>
#include <QPointer>
#include <QProcess>
#include <QTimer>
#include <QThread>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QSemaphore>
#include <QSignalSpy>
#include <QTest>

#include <cstdio>
#include <memory>

#include "holderrecorder.h"
#include "lessonservice.h"
#include "messagecatcher.h"
#include "scopedtimescale.h"
#include "mgr/http/httpmgr.h"
#include "mgr/http/networkdownloadreplyholder.h"
#include "mgr/http/networkreplyholder.h"
#include "mgr/singleton.h"
#include "testutil.h"
#include "utility/backgroundqueue.h"
#include "utility/hashutility.h"

namespace {

const char kPdf[] = "courseware.pdf";
const char kPicture[] = "cover.png";

QByteArray fixtureBytes(const QString &name)
{
    QFile file(QStringLiteral(LESSONRY_SOURCE_DIR "/tools/lessonservice/fixtures/") + name);
    if (!file.open(QIODevice::ReadOnly))
        return QByteArray();
    return file.readAll();
}

QByteArray fileBytes(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return QByteArray();
    return file.readAll();
}

// Every file in dir, hidden ones included.
QStringList filesIn(const QString &dir)
{
    return QDir(dir).entryList(QDir::Files | QDir::Hidden | QDir::NoDotAndDotDot);
}

// Bytes written so far to the one file in dir (a download's temporary file).
qint64 bytesOnDisk(const QString &dir)
{
    const QStringList files = filesIn(dir);
    return files.size() == 1 ? QFileInfo(QDir(dir).filePath(files.first())).size() : -1;
}

} // namespace

// Downloads into a cache folder over real HTTP: what ends up on disk, and
// the signals, for complete, incomplete, failed, aborted and killed
// transfers.
class TestNetworkDownloadReplyHolder : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();

    void fileName_data();
    void fileName();
    void hostileUrlStaysInItsFolder_data();
    void hostileUrlStaysInItsFolder();
    void tempPathIsUniquePerCall();
    void contentLength_data();
    void contentLength();
    void progressPercent();

    void completeDownloadAppearsWholeUnderHashedName_data();
    void completeDownloadAppearsWholeUnderHashedName();
    void answerQueuedBeforeStartEventStartsFirst();
    void secondRequestIsAnsweredFromDisk();
    void emptyFileOnDiskIsReplaced();
    void sameUrlTwiceAtOnce();
    void truncatedBodyLeavesNoFile();
    void chunkedBodyWithoutLengthIsAccepted();
    void encodedBodyIsRefused();
    void httpErrorLeavesNoFile();
    void boundsEndTheDownload_data();
    void boundsEndTheDownload();
    void bodyIsWrittenOffTheGuiThread();
    void abortDuringTransferLeavesNoFile_data();
    void abortDuringTransferLeavesNoFile();
    void abortBeforeEventLoopGivesOnlyAbort();
    void abortOfFileOnDiskSaysNothing();
    void killedHolderLeavesNoFile();
    void killedMidTransferLeavesNoFile();
    void holderDeletedInItsOwnSlot_data();
    void holderDeletedInItsOwnSlot();
    void missingFolderFails();
    void blockedFinalNameFailsWithMoveError();
    void emptyUrlIsRefused();
    void staleTempFilesAreRemoved_data();
    void staleTempFilesAreRemoved();
    void killedProcessLeavesTempFileForNextStart();

private:
    QString url(const char *name) const { return m_service.fixtureUrl(QLatin1String(name)); }
    NetWorkDownloadReplyHolder *download(const QString &url, const QString &dir)
    {
        return Singleton<HttpMgr>::instance()->download(&m_parent, url, dir);
    }
    int requestsFor(const QString &path);

    LessonService m_service;
    QObject m_parent;
};

void TestNetworkDownloadReplyHolder::initTestCase()
{
    QVERIFY(m_service.start());
    Singleton<HttpMgr>::instance()->init();
    QVERIFY(!fixtureBytes(QLatin1String(kPdf)).isEmpty());
}

void TestNetworkDownloadReplyHolder::init()
{
    m_service.reset();
}

int TestNetworkDownloadReplyHolder::requestsFor(const QString &path)
{
    int count = 0;
    const QJsonArray requests = m_service.requests();
    for (const QJsonValue &request : requests) {
        if (request.toObject().value("path").toString() == path)
            ++count;
    }
    return count;
}

void TestNetworkDownloadReplyHolder::fileName_data()
{
    QTest::addColumn<QString>("url");
    QTest::addColumn<QString>("suffix");
    QTest::newRow("suffix keeps case, query hashed")
        << "http://127.0.0.1:1/img/photo.JPG?size=2" << ".JPG";
    QTest::newRow("no suffix") << "http://127.0.0.1:1/files/readme" << "";
    QTest::newRow("last suffix") << "http://127.0.0.1:1/files/pack.tar.gz" << ".gz";
    QTest::newRow("encoded name") << "http://127.0.0.1:1/files/a%20b.pdf" << ".pdf";
}

void TestNetworkDownloadReplyHolder::fileName()
{
    QFETCH(QString, url);
    QFETCH(QString, suffix);
    QCOMPARE(NetWorkDownloadReplyHolder::getFileName(url),
             HashUtility::stringToMd5(url + QStringLiteral("_velmo")) + suffix);
    QCOMPARE(NetWorkDownloadReplyHolder::getFilePath(url, QStringLiteral("/data/cache")),
             QStringLiteral("/data/cache/") + NetWorkDownloadReplyHolder::getFileName(url));
}

void TestNetworkDownloadReplyHolder::hostileUrlStaysInItsFolder_data()
{
    QTest::addColumn<QString>("url");
    QTest::newRow("encoded slashes") << "http://127.0.0.1:1/a/x.p%2F..%2F..%2Fevil";
    QTest::newRow("backslash suffix") << "http://127.0.0.1:1/a/x.p%5C..%5Cevil";
    QTest::newRow("dots") << "http://127.0.0.1:1/a/..%2F..%2F.bashrc";
    QTest::newRow("long suffix") << "http://127.0.0.1:1/a/x." + QString(300, 'a');
    QTest::newRow("blank suffix") << "http://127.0.0.1:1/a/x.p%20ng";
}

void TestNetworkDownloadReplyHolder::hostileUrlStaysInItsFolder()
{
    QFETCH(QString, url);
    const QString name = NetWorkDownloadReplyHolder::getFileName(url);
    QVERIFY2(QRegularExpression(QStringLiteral("^[0-9a-f]{32}(\\.[A-Za-z0-9]{1,16})?$"))
                 .match(name)
                 .hasMatch(),
             qPrintable(name));
    QCOMPARE(QFileInfo(NetWorkDownloadReplyHolder::getFilePath(url, QStringLiteral("/data/cache")))
                 .absolutePath(),
             QStringLiteral("/data/cache"));
}

void TestNetworkDownloadReplyHolder::tempPathIsUniquePerCall()
{
    const QString u = QStringLiteral("http://127.0.0.1:1/files/a.pdf");
    const QString finalPath = NetWorkDownloadReplyHolder::getFilePath(u, QStringLiteral("/d"));
    const QString first = NetWorkDownloadReplyHolder::getTempFilePath(u, QStringLiteral("/d"));
    const QString second = NetWorkDownloadReplyHolder::getTempFilePath(u, QStringLiteral("/d"));
    QVERIFY(first.startsWith(finalPath + QStringLiteral(".zumixo{")));
    QVERIFY(first.endsWith(QLatin1Char('}')));
    QVERIFY(first != second);
}

void TestNetworkDownloadReplyHolder::contentLength_data()
{
    QTest::addColumn<QByteArray>("header");
    QTest::addColumn<qint64>("length");
    QTest::newRow("plain") << QByteArray("1000") << qint64(1000);
    QTest::newRow("repeated") << QByteArray("1000, 1000") << qint64(1000);
    QTest::newRow("last wins") << QByteArray("5,7") << qint64(7);
    QTest::newRow("blanks") << QByteArray(" 42 ") << qint64(42);
    QTest::newRow("large") << QByteArray("5000000000") << qint64(5000000000LL);
    QTest::newRow("absent") << QByteArray() << qint64(-1);
    QTest::newRow("garbage") << QByteArray("abc") << qint64(0);
    QTest::newRow("negative") << QByteArray("-5") << qint64(0);
}

void TestNetworkDownloadReplyHolder::contentLength()
{
    QFETCH(QByteArray, header);
    QFETCH(qint64, length);
    QCOMPARE(NetWorkDownloadReplyHolder::parseContentLength(header), length);
}

void TestNetworkDownloadReplyHolder::progressPercent()
{
    QTemporaryDir dir;
    NetWorkDownloadReplyHolder holder(nullptr, QStringLiteral("http://127.0.0.1:1/x.pdf"),
                                      dir.path(), nullptr);
    QSignalSpy progress(&holder, &NetWorkDownloadReplyHolder::signal_downloadProgress);
    holder.slot_downloadProgress(250, 1000);
    QCOMPARE(progress.count(), 1);
    QCOMPARE(progress.first().at(0).toDouble(), 25.0);
    holder.slot_downloadProgress(0, 1000);
    // Neither the reply nor a header knows the total.
    holder.slot_downloadProgress(250, -1);
    QCOMPARE(progress.count(), 1);
}

void TestNetworkDownloadReplyHolder::completeDownloadAppearsWholeUnderHashedName_data()
{
    QTest::addColumn<QString>("folder");
    QTest::newRow("plain folder") << "";
    // The final path is not found again by cutting the temporary one at
    // its marker: a folder may carry the marker in its name.
    QTest::newRow("folder named like a temporary file") << "cache.zumixo{1}";
}

void TestNetworkDownloadReplyHolder::completeDownloadAppearsWholeUnderHashedName()
{
    QFETCH(QString, folder);
    QTemporaryDir root;
    const QString dir = QDir(root.path()).filePath(folder);
    QVERIFY(QDir().mkpath(dir));
    const QString u = url(kPdf);
    NetWorkDownloadReplyHolder *holder = download(u, dir);
    QVERIFY(holder);
    QCOMPARE(holder->parent(), &m_parent);
    HolderRecorder recorder(holder);
    QTRY_VERIFY(recorder.ended());
    QCOMPARE(recorder.events, (QStringList{"start", "success", "finish"}));
    QCOMPARE(recorder.filePath, NetWorkDownloadReplyHolder::getFilePath(u, dir));
    QCOMPARE(fileBytes(recorder.filePath), fixtureBytes(QLatin1String(kPdf)));
    QCOMPARE(filesIn(dir), QStringList{NetWorkDownloadReplyHolder::getFileName(u)});
    QVERIFY(recorder.progressCount > 0);
    QCOMPARE(recorder.lastPercent, 100.0);

    const QJsonObject request = m_service.lastRequest(QStringLiteral("/files/") + kPdf);
    QCOMPARE(request.value("headers").toObject().value("accept-encoding").toString(),
             QStringLiteral("identity"));
    delete holder;
}

void TestNetworkDownloadReplyHolder::answerQueuedBeforeStartEventStartsFirst()
{
    // The toolkit sends a request at once; on loopback the whole answer can
    // be queued before the holder posts its start event.
    QTemporaryDir dir;
    const QString u = url(kPicture);
    QNetworkAccessManager manager;
    // A first request brings the manager up; later ones leave at once.
    QNetworkReply *warmUp = manager.get(QNetworkRequest(QUrl(u)));
    QSignalSpy warmedUp(warmUp, &QNetworkReply::finished);
    QVERIFY(warmedUp.wait());
    delete warmUp;

    QNetworkReply *reply = manager.get(QNetworkRequest(QUrl(u)));
    QThread::msleep(300);
    std::unique_ptr<NetWorkDownloadReplyHolder> holder(
        new NetWorkDownloadReplyHolder(nullptr, u, dir.path(), reply));
    HolderRecorder recorder(holder.get());
    QTRY_VERIFY(recorder.ended());
    TestUtil::drainEvents();
    QCOMPARE(recorder.events, (QStringList{"start", "success", "finish"}));
}

void TestNetworkDownloadReplyHolder::secondRequestIsAnsweredFromDisk()
{
    QTemporaryDir dir;
    const QString u = url(kPicture);
    std::unique_ptr<NetWorkDownloadReplyHolder> first(download(u, dir.path()));
    HolderRecorder firstRecorder(first.get());
    QTRY_VERIFY(firstRecorder.ended());
    QCOMPARE(requestsFor(QStringLiteral("/files/") + kPicture), 1);

    std::unique_ptr<NetWorkDownloadReplyHolder> second(download(u, dir.path()));
    HolderRecorder recorder(second.get());
    QTRY_VERIFY(recorder.ended());
    QCOMPARE(recorder.events, (QStringList{"start", "success", "finish"}));
    QCOMPARE(recorder.filePath, firstRecorder.filePath);
    QCOMPARE(requestsFor(QStringLiteral("/files/") + kPicture), 1);
}

void TestNetworkDownloadReplyHolder::emptyFileOnDiskIsReplaced()
{
    QTemporaryDir dir;
    const QString u = url(kPicture);
    const QString finalPath = NetWorkDownloadReplyHolder::getFilePath(u, dir.path());
    QFile empty(finalPath);
    QVERIFY(empty.open(QIODevice::WriteOnly));
    empty.close();
    QVERIFY(!NetWorkDownloadReplyHolder::isFileAlreadyDownloaded(u, dir.path()));

    std::unique_ptr<NetWorkDownloadReplyHolder> holder(download(u, dir.path()));
    HolderRecorder recorder(holder.get());
    QTRY_VERIFY(recorder.ended());
    QCOMPARE(recorder.events, (QStringList{"start", "success", "finish"}));
    QCOMPARE(fileBytes(finalPath), fixtureBytes(QLatin1String(kPicture)));
    QVERIFY(NetWorkDownloadReplyHolder::isFileAlreadyDownloaded(u, dir.path()));
}

void TestNetworkDownloadReplyHolder::sameUrlTwiceAtOnce()
{
    QTemporaryDir dir;
    const QString u = url(kPdf);
    std::unique_ptr<NetWorkDownloadReplyHolder> first(download(u, dir.path()));
    std::unique_ptr<NetWorkDownloadReplyHolder> second(download(u, dir.path()));
    HolderRecorder a(first.get());
    HolderRecorder b(second.get());
    QTRY_VERIFY(a.ended() && b.ended());
    QCOMPARE(a.events, (QStringList{"start", "success", "finish"}));
    QCOMPARE(b.events, (QStringList{"start", "success", "finish"}));
    QCOMPARE(fileBytes(a.filePath), fixtureBytes(QLatin1String(kPdf)));
    QCOMPARE(filesIn(dir.path()).size(), 1);
}

void TestNetworkDownloadReplyHolder::truncatedBodyLeavesNoFile()
{
    QTemporaryDir dir;
    m_service.setFault(QStringLiteral("/files/") + kPdf, QStringLiteral("truncate"));
    std::unique_ptr<NetWorkDownloadReplyHolder> holder(download(url(kPdf), dir.path()));
    HolderRecorder recorder(holder.get());
    QTRY_VERIFY(recorder.ended());
    QCOMPARE(recorder.events.size(), 3);
    QCOMPARE(recorder.events.first(), QStringLiteral("start"));
    QVERIFY2(recorder.events.at(1).startsWith(QLatin1String("failure:-")),
             qPrintable(recorder.events.join(',')));
    QCOMPARE(recorder.events.last(), QStringLiteral("finish"));
    QVERIFY(filesIn(dir.path()).isEmpty());
}

void TestNetworkDownloadReplyHolder::chunkedBodyWithoutLengthIsAccepted()
{
    QTemporaryDir dir;
    m_service.setFault(QStringLiteral("/files/") + kPicture, QStringLiteral("chunked"));
    std::unique_ptr<NetWorkDownloadReplyHolder> holder(download(url(kPicture), dir.path()));
    HolderRecorder recorder(holder.get());
    QTRY_VERIFY(recorder.ended());
    QCOMPARE(recorder.events, (QStringList{"start", "success", "finish"}));
    QCOMPARE(fileBytes(recorder.filePath), fixtureBytes(QLatin1String(kPicture)));
}

void TestNetworkDownloadReplyHolder::encodedBodyIsRefused()
{
    // Asked for the plain body, given a compressed one: storing it would
    // pass the size check with the wrong bytes.
    QTemporaryDir dir;
    m_service.setFault(QStringLiteral("/files/") + kPicture, QStringLiteral("gzip"));
    std::unique_ptr<NetWorkDownloadReplyHolder> holder(download(url(kPicture), dir.path()));
    HolderRecorder recorder(holder.get());
    QTRY_VERIFY(recorder.ended());
    QCOMPARE(recorder.events, (QStringList{"start", "failure:-998", "finish"}));
    QVERIFY(filesIn(dir.path()).isEmpty());
}

void TestNetworkDownloadReplyHolder::httpErrorLeavesNoFile()
{
    QTemporaryDir dir;
    m_service.setFault(QStringLiteral("/files/") + kPdf, QStringLiteral("status"),
                       QJsonObject{{"status", 404}});
    std::unique_ptr<NetWorkDownloadReplyHolder> holder(download(url(kPdf), dir.path()));
    HolderRecorder recorder(holder.get());
    QTRY_VERIFY(recorder.ended());
    QCOMPARE(recorder.events, (QStringList{"start", "failure:-203", "finish"}));
    QVERIFY(filesIn(dir.path()).isEmpty());
}

void TestNetworkDownloadReplyHolder::boundsEndTheDownload_data()
{
    QTest::addColumn<QString>("fault");
    QTest::addColumn<qint64>("announced");
    QTest::addColumn<qint64>("maxBytes");
    QTest::addColumn<int>("maxDurationMs");
    QTest::addColumn<int>("code");
    QTest::addColumn<QString>("logged");
    const qint64 tenGiB = qint64(10) << 30;
    // Nothing of the body is written: the announced length is refused.
    QTest::newRow("announced beyond the default maximum")
        << "announce" << tenGiB << qint64(0) << 0 << int(NetWorkDownloadReplyHolder::DOWNLOAD_TOO_LARGE)
        << "is more than";
    QTest::newRow("announced beyond the caller's cap")
        << "announce" << qint64(5000) << qint64(4999) << 0 << int(NetWorkDownloadReplyHolder::DOWNLOAD_TOO_LARGE)
        << "is more than";
    QTest::newRow("announced beyond the free space")
        << "announce" << (qint64(1) << 52) << (qint64(1) << 53) << 0
        << int(NetWorkDownloadReplyHolder::DOWNLOAD_NO_SPACE) << "free on the disk";
    // Half the body, then nothing: the read time-out (30 s, scaled).
    QTest::newRow("no byte for the read time-out")
        << "stall" << qint64(0) << qint64(0) << 0 << -int(QNetworkReply::TimeoutError) << "no byte came";
    // Bytes that trickle keep the read time-out away: the overall one ends it.
    QTest::newRow("longer than the overall time-out")
        << "stall" << qint64(0) << qint64(0) << 5000 << -int(QNetworkReply::TimeoutError) << "it took too long";
}

// Each bound fails the download with its own code and leaves no file; the
// time-outs run scaled through the one time seam.
void TestNetworkDownloadReplyHolder::boundsEndTheDownload()
{
    QFETCH(QString, fault);
    QFETCH(qint64, announced);
    QFETCH(qint64, maxBytes);
    QFETCH(int, maxDurationMs);
    QFETCH(int, code);
    QFETCH(QString, logged);
    ScopedTimeScale fast(0.01);
    QTemporaryDir dir;
    QJsonObject extra;
    if (announced > 0)
        extra.insert(QStringLiteral("length"), double(announced));
    QVERIFY(m_service.setFault(QStringLiteral("/files/") + kPdf, fault, extra));
    MessageCatcher catcher;
    std::unique_ptr<NetWorkDownloadReplyHolder> holder(download(url(kPdf), dir.path()));
    if (maxBytes > 0)
        holder->setMaxBytes(maxBytes);
    if (maxDurationMs > 0)
        holder->setMaxDuration(maxDurationMs);
    HolderRecorder recorder(holder.get());
    QTRY_VERIFY_WITH_TIMEOUT(recorder.ended(), 10000);
    QCOMPARE(recorder.events, (QStringList{"start", QStringLiteral("failure:%1").arg(code), "finish"}));
    QVERIFY(catcher.has(QtCriticalMsg, logged));
    QVERIFY(filesIn(dir.path()).isEmpty());
    if (announced > 0)
        QVERIFY(!catcher.has(QtCriticalMsg, QStringLiteral("write download file failed")));
    m_service.reset();
}

// The body reaches the disk on the writer's thread: while that thread is
// held, the whole transfer arrives, the GUI thread goes on with its events
// and nothing is reported; once it is released the file is there, whole.
void TestNetworkDownloadReplyHolder::bodyIsWrittenOffTheGuiThread()
{
    QTemporaryDir dir;
    QSemaphore release;
    BackgroundQueue::files()->run([&release] { release.acquire(); });
    std::unique_ptr<NetWorkDownloadReplyHolder> holder(download(url(kPdf), dir.path()));
    HolderRecorder recorder(holder.get());
    QSignalSpy progress(holder.get(), &NetWorkDownloadReplyHolder::signal_downloadProgress);
    QTRY_VERIFY(!progress.isEmpty() && progress.last().at(0).toDouble() == 100.0);
    TestUtil::drainEvents();
    QCOMPARE(recorder.events, QStringList{"start"});
    QCOMPARE(bytesOnDisk(dir.path()), qint64(0));
    release.release();
    QTRY_VERIFY(recorder.ended());
    QCOMPARE(recorder.events, (QStringList{"start", "success", "finish"}));
    QCOMPARE(fileBytes(recorder.filePath), fixtureBytes(QLatin1String(kPdf)));
}

void TestNetworkDownloadReplyHolder::abortDuringTransferLeavesNoFile_data()
{
    QTest::addColumn<QString>("fault");
    QTest::addColumn<bool>("partBodyFirst");
    QTest::newRow("before the body") << "hang" << false;
    QTest::newRow("half the body on disk") << "stall" << true;
}

void TestNetworkDownloadReplyHolder::abortDuringTransferLeavesNoFile()
{
    QFETCH(QString, fault);
    QFETCH(bool, partBodyFirst);
    QTemporaryDir dir;
    m_service.setFault(QStringLiteral("/files/") + kPdf, fault);
    std::unique_ptr<NetWorkDownloadReplyHolder> holder(download(url(kPdf), dir.path()));
    HolderRecorder recorder(holder.get());
    QTRY_COMPARE(recorder.events, QStringList{"start"});
    if (partBodyFirst)
        QTRY_VERIFY_WITH_TIMEOUT(bytesOnDisk(dir.path()) > 0, 10000);
    QCOMPARE(filesIn(dir.path()).size(), 1); // the temporary file
    holder->abort();
    QTRY_VERIFY(recorder.ended());
    TestUtil::drainEvents();
    QCOMPARE(recorder.events, (QStringList{"start", "abort"}));
    QVERIFY(filesIn(dir.path()).isEmpty());
}

void TestNetworkDownloadReplyHolder::abortBeforeEventLoopGivesOnlyAbort()
{
    QTemporaryDir dir;
    std::unique_ptr<NetWorkDownloadReplyHolder> holder(download(url(kPdf), dir.path()));
    HolderRecorder recorder(holder.get());
    holder->abort();
    QTRY_VERIFY(recorder.ended());
    TestUtil::drainEvents();
    QCOMPARE(recorder.events, QStringList{"abort"});
    QVERIFY(filesIn(dir.path()).isEmpty());
}

void TestNetworkDownloadReplyHolder::abortOfFileOnDiskSaysNothing()
{
    QTemporaryDir dir;
    const QString u = url(kPicture);
    QFile present(NetWorkDownloadReplyHolder::getFilePath(u, dir.path()));
    QVERIFY(present.open(QIODevice::WriteOnly));
    present.write("cached");
    present.close();

    std::unique_ptr<NetWorkDownloadReplyHolder> holder(download(u, dir.path()));
    HolderRecorder recorder(holder.get());
    holder->abort();
    // The already-on-disk report was queued; it stays silent.
    TestUtil::drainEvents();
    QVERIFY(recorder.events.isEmpty());
    QCOMPARE(fileBytes(present.fileName()), QByteArray("cached"));
    QCOMPARE(requestsFor(QStringLiteral("/files/") + kPicture), 0);
}

void TestNetworkDownloadReplyHolder::killedHolderLeavesNoFile()
{
    QTemporaryDir dir;
    m_service.setFault(QStringLiteral("/files/") + kPdf, QStringLiteral("truncate"),
                       QJsonObject{{"delay_ms", 200}});
    NetWorkDownloadReplyHolder *holder = download(url(kPdf), dir.path());
    HolderRecorder recorder(holder);
    QTRY_COMPARE(recorder.events, QStringList{"start"});
    delete holder;
    QVERIFY(filesIn(dir.path()).isEmpty());
}

void TestNetworkDownloadReplyHolder::killedMidTransferLeavesNoFile()
{
    // Half the file arrives, then the server stalls: the holder is killed
    // with part of the body on disk.
    QTemporaryDir dir;
    m_service.setFault(QStringLiteral("/files/") + kPdf, QStringLiteral("stall"));
    QPointer<NetWorkDownloadReplyHolder> holder = download(url(kPdf), dir.path());
    HolderRecorder recorder(holder);
    QTRY_VERIFY_WITH_TIMEOUT(bytesOnDisk(dir.path()) > 0, 10000);
    QVERIFY(bytesOnDisk(dir.path()) < fixtureBytes(QLatin1String(kPdf)).size());
    delete holder.data();
    QCOMPARE(recorder.events, QStringList{"start"});
    QVERIFY(filesIn(dir.path()).isEmpty());
}

void TestNetworkDownloadReplyHolder::holderDeletedInItsOwnSlot_data()
{
    QTest::addColumn<QString>("fault");
    QTest::addColumn<QString>("event");
    QTest::newRow("start") << "" << "start";
    QTest::newRow("success") << "" << "success";
    QTest::newRow("finish") << "" << "finish";
    QTest::newRow("size failure") << "gzip" << "failure:-998";
    QTest::newRow("http failure") << "status" << "failure:-203";
}

void TestNetworkDownloadReplyHolder::holderDeletedInItsOwnSlot()
{
    QFETCH(QString, fault);
    QFETCH(QString, event);
    QTemporaryDir dir;
    if (!fault.isEmpty())
        m_service.setFault(QStringLiteral("/files/") + kPdf, fault, QJsonObject{{"status", 404}});
    QPointer<NetWorkDownloadReplyHolder> holder = download(url(kPdf), dir.path());
    HolderRecorder recorder(holder);
    auto deleteOn = [&](const QString &seen) {
        if (seen == event)
            delete holder.data();
    };
    connect(holder, &NetWorkDownloadReplyHolder::signal_onStart, this, [=] { deleteOn("start"); });
    connect(holder, &NetWorkDownloadReplyHolder::signal_onSuccess, this,
            [=] { deleteOn("success"); });
    connect(holder, &NetWorkDownloadReplyHolder::signal_onFailure, this,
            [=](int code) { deleteOn(QStringLiteral("failure:%1").arg(code)); });
    connect(holder, &NetWorkDownloadReplyHolder::signal_onFinish, this,
            [=] { deleteOn("finish"); });
    QTRY_VERIFY(holder.isNull());
    TestUtil::drainEvents();
    QCOMPARE(recorder.events.last(), event);
    // Whatever ended it, no partial file stays behind.
    for (const QString &name : filesIn(dir.path()))
        QVERIFY2(!name.contains(QLatin1String(".zumixo")), qPrintable(name));
}

void TestNetworkDownloadReplyHolder::missingFolderFails()
{
    QTemporaryDir dir;
    const QString missing = dir.filePath(QStringLiteral("not/there"));
    m_service.setFault(QStringLiteral("/files/") + kPicture, QStringLiteral("chunked"));
    std::unique_ptr<NetWorkDownloadReplyHolder> holder(download(url(kPicture), missing));
    HolderRecorder recorder(holder.get());
    QTRY_VERIFY(recorder.ended());
    QCOMPARE(recorder.events, (QStringList{"start", "failure:-998", "finish"}));
    QVERIFY(!QFileInfo::exists(missing));
}

void TestNetworkDownloadReplyHolder::blockedFinalNameFailsWithMoveError()
{
    QTemporaryDir dir;
    const QString u = url(kPicture);
    // A folder (with content, so it cannot be removed) stands at the final name.
    const QString finalPath = NetWorkDownloadReplyHolder::getFilePath(u, dir.path());
    QVERIFY(QDir().mkpath(finalPath + QStringLiteral("/inner")));

    std::unique_ptr<NetWorkDownloadReplyHolder> holder(download(u, dir.path()));
    HolderRecorder recorder(holder.get());
    QTRY_VERIFY(recorder.ended());
    QCOMPARE(recorder.events, (QStringList{"start", "failure:-999", "finish"}));
    QCOMPARE(filesIn(dir.path()), QStringList());
}

void TestNetworkDownloadReplyHolder::emptyUrlIsRefused()
{
    QTemporaryDir dir;
    std::unique_ptr<NetWorkDownloadReplyHolder> holder(download(QString(), dir.path()));
    QVERIFY(holder);
    HolderRecorder recorder(holder.get());
    QTRY_VERIFY(recorder.ended());
    QCOMPARE(recorder.events,
             (QStringList{"start", QStringLiteral("failure:%1").arg(REQUEST_REFUSED_ERROR_CODE),
                          "finish"}));
    QVERIFY(filesIn(dir.path()).isEmpty());
}

void TestNetworkDownloadReplyHolder::staleTempFilesAreRemoved_data()
{
    QTest::addColumn<QString>("name"); // %1: a temporary name getTempFilePath() makes
    QTest::addColumn<bool>("removed");
    QTest::newRow("temporary file") << "%1" << true;
    QTest::newRow("temporary file in a sub-folder") << "lesson 7/%1" << true;
    QTest::newRow("finished download") << "0123456789abcdef0123456789abcdef.pdf" << false;
    QTest::newRow("finished download without suffix") << "0123456789abcdef0123456789abcdef" << false;
    QTest::newRow("user's file with the marker")
        << "notes.zumixo{01234567-89ab-cdef-0123-456789abcdef}" << false;
    QTest::newRow("marker without the identifier") << "0123456789abcdef0123456789abcdef.pdf.zumixo" << false;
    QTest::newRow("something after the identifier")
        << "0123456789abcdef0123456789abcdef.zumixo{01234567-89ab-cdef-0123-456789abcdef}.txt" << false;
}

void TestNetworkDownloadReplyHolder::staleTempFilesAreRemoved()
{
    QFETCH(QString, name);
    QFETCH(bool, removed);
    QTemporaryDir folder;
    const QString temp = QFileInfo(NetWorkDownloadReplyHolder::getTempFilePath(
                                       QStringLiteral("http://127.0.0.1:1/files/a.pdf"), folder.path()))
                             .fileName();
    const QString path = folder.filePath(name.arg(temp));
    QVERIFY(QDir().mkpath(QFileInfo(path).absolutePath()));
    QVERIFY(TestUtil::writeFile(path, "partial"));

    QCOMPARE(NetWorkDownloadReplyHolder::removeStaleTempFiles(folder.path()), removed ? 1 : 0);
    QCOMPARE(QFileInfo::exists(path), !removed);
}

// A client killed in the middle of a download (no chance to clean up)
// leaves its temporary file; the next start removes it.
void TestNetworkDownloadReplyHolder::killedProcessLeavesTempFileForNextStart()
{
    m_service.setFault(QStringLiteral("/files/") + kPdf, QStringLiteral("stall"));
    QTemporaryDir folder;
    QProcess client;
    client.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    client.start(QCoreApplication::applicationFilePath(),
                 {QStringLiteral("--download-until-killed"), url(kPdf), folder.path()});
    QVERIFY(client.waitForStarted());
    QByteArray output;
    QTRY_VERIFY_WITH_TIMEOUT((output += client.readAllStandardOutput()).contains("receiving"), 10000);
    client.kill(); // SIGKILL
    QVERIFY(client.waitForFinished());

    const QStringList left = filesIn(folder.path());
    QCOMPARE(left.size(), 1);
    QVERIFY(NetWorkDownloadReplyHolder::isTempFileName(left.first()));
    QCOMPARE(NetWorkDownloadReplyHolder::removeStaleTempFiles(folder.path()), 1);
    QVERIFY(filesIn(folder.path()).isEmpty());
}

namespace {

// Helper run: downloads url into folder, says "receiving" once the first
// bytes are on disk, and waits to be killed.
int downloadUntilKilled(int &argc, char **argv)
{
    QCoreApplication app(argc, argv);
    Singleton<HttpMgr>::instance()->init();
    QObject owner;
    const QString folder = QString::fromLocal8Bit(argv[3]);
    Singleton<HttpMgr>::instance()->download(&owner, QString::fromLocal8Bit(argv[2]), folder);
    QTimer poll;
    QObject::connect(&poll, &QTimer::timeout, [&] {
        if (bytesOnDisk(folder) > 0) {
            std::printf("receiving\n");
            std::fflush(stdout);
            poll.stop();
        }
    });
    poll.start(10);
    return app.exec();
}

} // namespace

int main(int argc, char *argv[])
{
    if (argc > 3 && qstrcmp(argv[1], "--download-until-killed") == 0)
        return downloadUntilKilled(argc, argv);
    QCoreApplication app(argc, argv);
    TestNetworkDownloadReplyHolder test;
    return QTest::qExec(&test, argc, argv);
}
#include "tst_networkdownloadreplyholder.moc"
