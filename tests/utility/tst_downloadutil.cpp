#include <QDateTime>
#include <QDir>
#include <QImage>
#include <QJsonArray>
#include <QJsonObject>
#include <QLabel>
#include <QPointer>
#include <QTemporaryDir>
#include <QSignalSpy>
#include <QTest>

#include "../mgr/http/holderrecorder.h"
#include "lessonservice.h"
#include "mgr/http/httpmgr.h"
#include "mgr/http/networkdownloadreplyholder.h"
#include "mgr/http/networkimagereplyholder.h"
#include "mgr/http/networkreplyholder.h"
#include "mgr/singleton.h"
#include "testutil.h"
#include "utility/appdirs.h"
#include "utility/downloadutil.h"
#include "utility/widget/imageutil.h"

namespace {

const char kPicture[] = "cover.png";

QString writePicture(const QString &path, const QColor &color)
{
    QImage image(40, 30, QImage::Format_RGB32);
    image.fill(color);
    image.save(path, "PNG");
    return path;
}

} // namespace

// The download entry points: which folder each kind of file goes to, the
// picture shown in a widget while and after it downloads, and sub-paths
// that must stay inside the resource folder.
class TestDownloadUtil : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();

    void localPictureIsShownWithoutDownload_data();
    void localPictureIsShownWithoutDownload();
    void otherAddressesKeepDefaultPicture_data();
    void otherAddressesKeepDefaultPicture();
    void pictureDownloadShowsLoadingThenPicture();
    void pictureFailureShowsFailureImage();
    void pictureForClosedWidgetIsNotShown();
    void foldersPerKind_data();
    void foldersPerKind();
    void resourceSubPath_data();
    void resourceSubPath();
    void folderBoundDropsOldestFirst();
    void pictureFolderIsTrimmedAfterADownload();

private:
    int requestCount() { return m_service.requests().size(); }

    LessonService m_service;
    QTemporaryDir m_pictures;
    QString m_loadingImage;
    QString m_failureImage;
};

void TestDownloadUtil::initTestCase()
{
    QVERIFY(m_service.start());
    Singleton<HttpMgr>::instance()->init();
    m_loadingImage = writePicture(m_pictures.filePath(QStringLiteral("loading.png")), Qt::gray);
    m_failureImage = writePicture(m_pictures.filePath(QStringLiteral("failed.png")), Qt::red);
}

void TestDownloadUtil::init()
{
    m_service.reset();
}

void TestDownloadUtil::localPictureIsShownWithoutDownload_data()
{
    QTest::addColumn<bool>("asBackground");
    QTest::addColumn<QString>("property");
    QTest::newRow("border image") << false << "border-image";
    QTest::newRow("background image") << true << "background-image";
}

// A picture already in the download folder (a saved login's picture from
// an earlier download) is shown without a request.
void TestDownloadUtil::localPictureIsShownWithoutDownload()
{
    QFETCH(bool, asBackground);
    QFETCH(QString, property);
    const QString local = writePicture(QDir(getDownloadImageDir()).filePath(QStringLiteral("local.png")), Qt::blue);
    QLabel label;
    label.resize(20, 20);

    QCOMPARE(DownloadUtil::downloadImage(&label, local, &label, QStringLiteral("QLabel"),
                                         asBackground, m_failureImage, m_loadingImage),
             static_cast<NetworkImageReplyHolder *>(nullptr));
    // Decoded off the GUI thread.
    QTRY_VERIFY(label.styleSheet().contains(property));
    QVERIFY(label.styleSheet().contains(ImageUtil::croppedImageFilePath(local, 20, 20)));
    TestUtil::drainEvents();
    QCOMPARE(requestCount(), 0);
}

// Saved logins and servers hand us the address: anything that is neither
// http(s) nor one of our own downloads is not read, not cropped beside the
// file, not requested, and the widget keeps its default picture.
void TestDownloadUtil::otherAddressesKeepDefaultPicture_data()
{
    QTest::addColumn<QString>("address"); // %1: a picture outside our folders, %2: the download folder
    QTest::newRow("path elsewhere") << "%1";
    QTest::newRow("file address elsewhere") << "file://%1";
    QTest::newRow("climbing out of the download folder") << "%2/../../../../../../../..%1";
    QTest::newRow("link in the download folder") << "%2/link.png";
    QTest::newRow("ftp address") << "ftp://127.0.0.1/cover.png";
    QTest::newRow("http without a host") << "http:cover.png";
    QTest::newRow("scheme only begins with http") << "httpx://127.0.0.1/cover.png";
    QTest::newRow("file in download folder missing") << "%2/absent.png";
}

void TestDownloadUtil::otherAddressesKeepDefaultPicture()
{
    QFETCH(QString, address);
    const QString outside = writePicture(m_pictures.filePath(QStringLiteral("elsewhere.png")), Qt::green);
    const QString link = QDir(getDownloadImageDir()).filePath(QStringLiteral("link.png"));
    QFile::remove(link);
    QVERIFY(QFile::link(outside, link));
    address = address.arg(outside, getDownloadImageDir());

    QLabel label;
    label.setStyleSheet(QStringLiteral("QLabel { border-image: url(:/default.png); }"));
    label.resize(20, 20);
    const QString before = label.styleSheet();
    QCOMPARE(DownloadUtil::downloadImage(&label, address, &label, QStringLiteral("QLabel"), false,
                                         m_failureImage, m_loadingImage),
             static_cast<NetworkImageReplyHolder *>(nullptr));
    QCOMPARE(label.styleSheet(), before);
    QVERIFY(!QFileInfo::exists(ImageUtil::croppedImageFilePath(outside, 20, 20)));
    QVERIFY(!QFileInfo::exists(ImageUtil::croppedImageFilePath(link, 20, 20)));
    TestUtil::drainEvents();
    QCOMPARE(requestCount(), 0);
}

void TestDownloadUtil::pictureDownloadShowsLoadingThenPicture()
{
    QLabel label;
    label.resize(24, 24);
    // The scheme in capitals is still a download.
    QString url = m_service.fixtureUrl(QLatin1String(kPicture));
    url.replace(0, 4, QStringLiteral("HTTP"));

    NetworkImageReplyHolder *holder = DownloadUtil::downloadImage(
        &label, url, &label, QStringLiteral("QLabel"), false, m_failureImage, m_loadingImage);
    QVERIFY(holder);
    QString sheetAtStart;
    connect(holder, &NetworkImageReplyHolder::signal_onStart, this,
            [&] { sheetAtStart = label.styleSheet(); });
    QSignalSpy success(holder, &NetworkImageReplyHolder::signal_onSuccess);
    QSignalSpy finished(holder, &NetworkImageReplyHolder::signal_onFinish);
    QTRY_COMPARE(finished.count(), 1);
    QCOMPARE(success.count(), 1);

    const QString filePath = success.first().at(0).toString();
    QCOMPARE(filePath, DownloadUtil::getImageFilePath(url));
    QCOMPARE(QFileInfo(filePath).absolutePath(), getDownloadImageDir());
    QVERIFY(sheetAtStart.contains(ImageUtil::croppedImageFilePath(m_loadingImage, 24, 24)));
    QVERIFY(label.styleSheet().contains(ImageUtil::croppedImageFilePath(filePath, 24, 24)));
}

void TestDownloadUtil::pictureFailureShowsFailureImage()
{
    m_service.setFault(QStringLiteral("/files/") + kPicture, QStringLiteral("status"),
                       QJsonObject{{"status", 404}});
    QLabel label;
    label.resize(16, 16);
    // A URL never fetched before, so nothing is on disk yet.
    const QString url = m_service.fixtureUrl(QLatin1String(kPicture)) + "?v=failure";
    NetworkImageReplyHolder *holder = DownloadUtil::downloadImage(
        &label, url, &label, QStringLiteral("QLabel"), true, m_failureImage, QString());
    QVERIFY(holder);
    QSignalSpy failure(holder, &NetworkImageReplyHolder::signal_onFailure);
    QTRY_COMPARE(failure.count(), 1);
    QCOMPARE(failure.first().at(0).toInt(), -203);
    QVERIFY(label.styleSheet().contains(ImageUtil::croppedImageFilePath(m_failureImage, 16, 16)));
    QVERIFY(!QFileInfo::exists(DownloadUtil::getImageFilePath(url)));
}

void TestDownloadUtil::pictureForClosedWidgetIsNotShown()
{
    QObject owner;
    auto *label = new QLabel;
    label->resize(10, 10);
    const QString url = m_service.fixtureUrl(QLatin1String(kPicture)) + "?v=closed";
    NetworkImageReplyHolder *holder = DownloadUtil::downloadImage(
        &owner, url, label, QStringLiteral("QLabel"), false, QString(), QString());
    QSignalSpy success(holder, &NetworkImageReplyHolder::signal_onSuccess);
    delete label;
    QTRY_COMPARE(success.count(), 1);
    QVERIFY(QFileInfo::exists(success.first().at(0).toString()));
}

void TestDownloadUtil::foldersPerKind_data()
{
    QTest::addColumn<QString>("kind");
    QTest::addColumn<QString>("folder");
    QTest::newRow("courseware") << "pdf" << getResourceDownloadPath();
    QTest::newRow("installer") << "installer" << getDownloadInstallerDir();
    QTest::newRow("teacher audio") << "audio" << getDownloadResourceDir();
}

void TestDownloadUtil::foldersPerKind()
{
    QFETCH(QString, kind);
    QFETCH(QString, folder);
    QObject owner;
    const QString url = m_service.fixtureUrl(QLatin1String(kPicture)) + "?kind=" + kind;
    NetWorkDownloadReplyHolder *holder = nullptr;
    if (kind == QLatin1String("pdf"))
        holder = DownloadUtil::downloadPdf(&owner, url);
    else if (kind == QLatin1String("installer"))
        holder = DownloadUtil::downloadInstaller(&owner, url);
    else
        holder = DownloadUtil::downloadTeacherAudio(&owner, url, QStringLiteral("voice-501"));
    QVERIFY(holder);
    QCOMPARE(holder->parent(), &owner);
    HolderRecorder recorder(holder);
    QTRY_VERIFY(recorder.ended());
    QCOMPARE(recorder.events, (QStringList{"start", "success", "finish"}));
    QCOMPARE(recorder.filePath, NetWorkDownloadReplyHolder::getFilePath(url, folder));
    QVERIFY(QFileInfo::exists(recorder.filePath));
}

void TestDownloadUtil::resourceSubPath_data()
{
    QTest::addColumn<QString>("subPath");
    QTest::addColumn<bool>("allowed");
    QTest::newRow("nested") << "class-10001/audio" << true;
    QTest::newRow("dot dot inside") << "a/../b" << true;
    QTest::newRow("empty") << "" << true;
    QTest::newRow("parent") << "../escaped" << false;
    QTest::newRow("deep parent") << "a/../../escaped" << false;
    QTest::newRow("absolute") << QDir::tempPath() + "/escaped" << false;
    QTest::newRow("sibling prefix") << "../resource-evil" << false;
}

void TestDownloadUtil::resourceSubPath()
{
    QFETCH(QString, subPath);
    QFETCH(bool, allowed);
    QObject owner;
    const QString resourceDir = getDownloadResourceDir();
    const QString folder = QDir::cleanPath(getAbsoluteFilePath(resourceDir, subPath));
    const QString url = m_service.fixtureUrl(QLatin1String(kPicture)) + "?sub=" + subPath;

    NetWorkDownloadReplyHolder *holder = DownloadUtil::downloadResource(&owner, url, subPath);
    QVERIFY(holder);
    HolderRecorder recorder(holder);
    QTRY_VERIFY(recorder.ended());
    if (allowed) {
        QCOMPARE(recorder.events, (QStringList{"start", "success", "finish"}));
        QCOMPARE(QFileInfo(recorder.filePath).absolutePath(), folder);
    } else {
        QCOMPARE(recorder.events,
                 (QStringList{"start",
                              QStringLiteral("failure:%1").arg(REQUEST_REFUSED_ERROR_CODE),
                              "finish"}));
        QVERIFY(!QFileInfo::exists(folder));
        QCOMPARE(requestCount(), 0);
    }
}

// Beyond the bound the least recently written files go first, until the
// rest fit; a download still being written is never touched.
void TestDownloadUtil::folderBoundDropsOldestFirst()
{
    QTemporaryDir dir;
    const QDateTime now = QDateTime::currentDateTime();
    const auto write = [&](const QString &name, int bytes, int ageSeconds) {
        QFile file(dir.filePath(name));
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(QByteArray(bytes, 'x'));
        QVERIFY(file.flush());
        QVERIFY(file.setFileTime(now.addSecs(-ageSeconds), QFileDevice::FileModificationTime));
    };
    write(QStringLiteral("oldest.png"), 400, 400);
    write(QStringLiteral("older.png"), 300, 300);
    write(NetWorkDownloadReplyHolder::getTempFilePath(QStringLiteral("http://h/x.png"), dir.path()).section(QLatin1Char('/'), -1),
          500, 1000);
    write(QStringLiteral("newer.png"), 200, 200);
    write(QStringLiteral("newest.png"), 100, 100);
    QCOMPARE(DownloadUtil::trimFolder(dir.path(), 1500), 0);
    QCOMPARE(DownloadUtil::trimFolder(dir.path(), 1000), 2);
    QStringList left = QDir(dir.path()).entryList(QDir::Files);
    QCOMPARE(left.size(), 3);
    QVERIFY(left.contains(QStringLiteral("newer.png")));
    QVERIFY(left.contains(QStringLiteral("newest.png")));
    QVERIFY(!left.contains(QStringLiteral("older.png")));
}

// Every downloaded picture keeps the picture folder within its bound.
void TestDownloadUtil::pictureFolderIsTrimmedAfterADownload()
{
    const QString folder = getDownloadImageDir();
    QFile old(QDir(folder).filePath(QStringLiteral("old-filler.bin")));
    QVERIFY(old.open(QIODevice::WriteOnly));
    QVERIFY(old.resize(DownloadUtil::kMaxImageFolderBytes));
    QVERIFY(old.flush());
    QVERIFY(old.setFileTime(QDateTime::currentDateTime().addDays(-1), QFileDevice::FileModificationTime));
    old.close();
    QLabel label;
    label.resize(12, 12);
    const QString url = m_service.fixtureUrl(QLatin1String(kPicture)) + "?v=trim";
    NetworkImageReplyHolder *holder = DownloadUtil::downloadImage(&label, url, &label, QStringLiteral("QLabel"), false,
                                                                  QString(), QString());
    QSignalSpy success(holder, &NetworkImageReplyHolder::signal_onSuccess);
    QTRY_COMPARE(success.count(), 1);
    QTRY_VERIFY(!QFileInfo::exists(old.fileName()));
    QVERIFY(QFileInfo::exists(DownloadUtil::getImageFilePath(url)));
}

QTEST_MAIN(TestDownloadUtil)
#include "tst_downloadutil.moc"
