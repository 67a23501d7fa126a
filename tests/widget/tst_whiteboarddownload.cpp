// The courseware download of the whiteboard against the stand-in lesson
// service: progress and opening, a file already on disk, the https and
// proxy retries, the stall watchdog, the end of the attempts, and a file
// that downloads but is no courseware.

#include "actionlogreader.h"

#include "utility/actionlog.h"
#include "lessonservice.h"
#include "messagecatcher.h"
#include "testutil.h"

#include "mgr/appcontext.h"
#include "mgr/http/networkdownloadreplyholder.h"
#include "mgr/singleton.h"
#include "utility/appdirs.h"
#include "utility/widget/loadingwidget.h"
#include "widget/widgetwhiteboard.h"

#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

#include <memory>

namespace {

const QString kCoursewarePath = QStringLiteral("/files/courseware.pdf");

// A PDF that opens and claims one page, but whose page tree is a cycle:
// the page tree root's only kid has the root as its only kid. The cross
// reference table is exact, so nothing needs repairing.
QByteArray cyclicPageTreePdf()
{
    const QByteArray objects[] = {
        "<< /Type /Catalog /Pages 2 0 R >>",
        "<< /Type /Pages /Kids [3 0 R] /Count 1 >>",
        "<< /Type /Pages /Parent 2 0 R /Kids [2 0 R] /Count 1 >>",
    };
    QByteArray pdf = "%PDF-1.4\n";
    QByteArray xref = "xref\n0 4\n0000000000 65535 f \n";
    int number = 0;
    for (const QByteArray &object : objects) {
        xref += QByteArray::number(pdf.size()).rightJustified(10, '0') + " 00000 n \n";
        pdf += QByteArray::number(++number) + " 0 obj\n" + object + "\nendobj\n";
    }
    const int xrefOffset = pdf.size();
    pdf += xref + "trailer\n<< /Size 4 /Root 1 0 R >>\nstartxref\n" + QByteArray::number(xrefOffset) + "\n%%EOF\n";
    return pdf;
}

} // namespace

class TestWhiteboardDownload : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();

    void downloadsOpensAndReuses();
    void httpsThenProxyAfterFailures();
    void attemptsEndInTheFailureState();
    void stallTurnsToTheProxy();
    void stallOnTheProxyEnds();
    void downloadedFileThatIsNoCourseware();
    void damagedCachedFileIsFetchedAgain();
    void unreadableFirstPageIsNotOpened_data();
    void unreadableFirstPageIsNotOpened();
    void downloadedFileWithUnreadableFirstPage();
    void cachedFileWithUnreadableFirstPageIsFetchedAgain();
    void emptyAddress();
    void proxyAddress_data();
    void proxyAddress();

private:
    std::unique_ptr<WidgetWhiteBoard> board(const QString &url);
    int requestsFor(const QString &pathPart);
    void configure(const QString &timeout, const QString &proxy);

    LessonService m_service;
    QTemporaryDir m_dir;
    ActionLogReader m_log;
};

void TestWhiteboardDownload::initTestCase()
{
    QVERIFY(m_dir.isValid());
    QVERIFY(m_service.start());
}

void TestWhiteboardDownload::init()
{
    static int run = 0;
    QVERIFY(m_service.reset());
    QVERIFY(ActionLog::instance()->init(m_log.use(m_dir.filePath(QStringLiteral("action%1.log").arg(++run)))));
    // Every test starts without a cached courseware.
    QDir(getResourceDownloadPath()).removeRecursively();
    QDir().mkpath(getResourceDownloadPath());
    configure(QStringLiteral("15"), m_service.baseUrl() + QStringLiteral("/proxy/cdn/"));
}

void TestWhiteboardDownload::configure(const QString &timeout, const QString &proxy)
{
    AppConfigData config;
    config.materialStagnateTimeout = timeout;
    config.materialProxyServer = proxy;
    Singleton<AppContext>::instance()->setAppConfig(config);
}

std::unique_ptr<WidgetWhiteBoard> TestWhiteboardDownload::board(const QString &url)
{
    auto board = std::make_unique<WidgetWhiteBoard>();
    board->setPrerenderEnabled(false);
    board->resize(1190, 840);
    board->show();
    board->setMaterialInfo(QStringLiteral("m1"), url, QString());
    return board;
}

int TestWhiteboardDownload::requestsFor(const QString &pathPart)
{
    int count = 0;
    for (const QJsonValue &request : m_service.requests())
        count += request.toObject().value("path").toString().contains(pathPart);
    return count;
}

void TestWhiteboardDownload::downloadsOpensAndReuses()
{
    const QString url = m_service.fixtureUrl("courseware.pdf");
    auto first = board(url);
    QSignalSpy pages(first.get(), &WidgetWhiteBoard::returnPageNum);
    first->downloadPdf();
    QTRY_VERIFY(first->isDocumentOpen());
    QCOMPARE(first->pageCount(), 4);
    QCOMPARE(pages.size(), 1);
    QCOMPARE(first->loadingPanel()->getLoadingState(), int(LoadingWidget::StateHidden));
    QCOMPARE(first->getDownloadTimes(), 1);
    QCOMPARE(m_log.named("class_download_pdf_start").first().info, "{url:" + url + "}");
    QCOMPARE(m_log.named("class_download_pdf_finish").size(), 1);

    // A second board finds the file on disk and asks the service nothing.
    const int before = requestsFor(kCoursewarePath);
    auto second = board(url);
    QSignalSpy opened(second.get(), &WidgetWhiteBoard::signal_documentOpened);
    second->downloadPdf();
    // Opened on the render thread, not in the call.
    QVERIFY(!second->isDocumentOpen());
    QVERIFY(opened.wait());
    QCOMPARE(opened.first().first().toBool(), true);
    QVERIFY(second->isDocumentOpen());
    QCOMPARE(second->loadingPanel()->getLoadingState(), int(LoadingWidget::StateHidden));
    QCOMPARE(requestsFor(kCoursewarePath), before);
    // The https form of the address counts as the same file too.
    QString https = url;
    https.replace("http://", "https://");
    QVERIFY(QFile::rename(NetWorkDownloadReplyHolder::getFilePath(url, getResourceDownloadPath()),
                          NetWorkDownloadReplyHolder::getFilePath(https, getResourceDownloadPath())));
    QString found;
    QVERIFY(second->isAlreadyDownloaded(found));
    QCOMPARE(found, NetWorkDownloadReplyHolder::getFilePath(https, getResourceDownloadPath()));
}

void TestWhiteboardDownload::httpsThenProxyAfterFailures()
{
    QVERIFY(m_service.setFault(kCoursewarePath, "status", { { "status", 500 }, { "times", 1 } }));
    auto b = board(m_service.fixtureUrl("courseware.pdf"));
    b->downloadPdf();
    // plain (500), https (no TLS on the stand-in), then the proxy.
    QTRY_VERIFY_WITH_TIMEOUT(b->isDocumentOpen(), 15000);
    QCOMPARE(b->getDownloadTimes(), 3);
    QCOMPARE(requestsFor("/proxy/cdn/"), 1);
    QCOMPARE(m_log.named("class_download_pdf_fail").size(), 2);
    QVERIFY(!b->isUsingProxy());
}

// The holder reports finish right after failure: the finish of the failed
// transfer must not clear the proxy flag of the transfer started in its
// place, or the proxy would be tried again and again.
void TestWhiteboardDownload::attemptsEndInTheFailureState()
{
    QVERIFY(m_service.setFault(kCoursewarePath, "status", { { "status", 500 }, { "times", 100 } }));
    QVERIFY(m_service.setFault("/proxy/cdn/files/courseware.pdf", "status", { { "status", 404 }, { "times", 100 } }));
    MessageCatcher log;
    auto b = board(m_service.fixtureUrl("courseware.pdf"));
    b->downloadPdf();
    QTRY_COMPARE_WITH_TIMEOUT(b->loadingPanel()->getLoadingState(), int(LoadingWidget::StateNetworkFailure), 15000);
    TestUtil::drainEvents(); // nothing more may start by itself
    QCOMPARE(b->getDownloadTimes(), 3);
    QVERIFY(log.contains(QStringLiteral("<MaterialDownload> download pdf file through proxy is error! bUseProxy:1")));
    QCOMPARE(requestsFor("/proxy/cdn/"), 1);
    QCOMPARE(m_log.named("class_download_pdf_fail").size(), 3);

    // The panel's reload starts again at the plain address.
    QVERIFY(m_service.reset());
    b->slot_reDownload();
    QTRY_VERIFY_WITH_TIMEOUT(b->isDocumentOpen(), 15000);
    QCOMPARE(b->getDownloadTimes(), 1);
}

void TestWhiteboardDownload::stallTurnsToTheProxy()
{
    configure(QStringLiteral("1"), m_service.baseUrl() + QStringLiteral("/proxy/cdn/"));
    QVERIFY(m_service.setFault(kCoursewarePath, "stall"));
    auto b = board(m_service.fixtureUrl("courseware.pdf"));
    b->downloadPdf();
    QTRY_VERIFY_WITH_TIMEOUT(b->isDocumentOpen(), 15000);
    QCOMPARE(b->getDownloadTimes(), 2);
    QCOMPARE(requestsFor("/proxy/cdn/"), 1);
    QCOMPARE(b->loadingPanel()->getLoadingState(), int(LoadingWidget::StateHidden));
}

void TestWhiteboardDownload::stallOnTheProxyEnds()
{
    configure(QStringLiteral("1"), m_service.baseUrl() + QStringLiteral("/proxy/cdn/"));
    QVERIFY(m_service.setFault(kCoursewarePath, "stall"));
    QVERIFY(m_service.setFault("/proxy/cdn/files/courseware.pdf", "stall"));
    auto b = board(m_service.fixtureUrl("courseware.pdf"));
    b->downloadPdf();
    QTRY_COMPARE_WITH_TIMEOUT(b->loadingPanel()->getLoadingState(), int(LoadingWidget::StateNetworkFailure), 15000);
    QVERIFY(!b->isDocumentOpen());
    QCOMPARE(b->getDownloadTimes(), 2);
}

// A complete download that is no PDF: reported as a failure, and not
// offered again from the cache.
void TestWhiteboardDownload::downloadedFileThatIsNoCourseware()
{
    QVERIFY(m_service.setFault(kCoursewarePath, "redirect", { { "location", "/files/cover.png" }, { "times", 1 } }));
    const QString url = m_service.fixtureUrl("courseware.pdf");
    auto b = board(url);
    b->downloadPdf();
    QTRY_COMPARE_WITH_TIMEOUT(b->loadingPanel()->getLoadingState(), int(LoadingWidget::StateNetworkFailure), 15000);
    QVERIFY(!b->isDocumentOpen());
    QVERIFY(!QFile::exists(NetWorkDownloadReplyHolder::getFilePath(url, getResourceDownloadPath())));
    QCOMPARE(m_log.named("class_download_pdf_finish").size(), 0);

    b->slot_reDownload();
    QTRY_VERIFY_WITH_TIMEOUT(b->isDocumentOpen(), 15000);
}

void TestWhiteboardDownload::damagedCachedFileIsFetchedAgain()
{
    const QString url = m_service.fixtureUrl("courseware.pdf");
    QVERIFY(TestUtil::writeFile(NetWorkDownloadReplyHolder::getFilePath(url, getResourceDownloadPath()), "%PDF-1.4 but nothing else"));
    auto b = board(url);
    b->downloadPdf();
    QTRY_VERIFY_WITH_TIMEOUT(b->isDocumentOpen(), 15000);
    QCOMPARE(requestsFor(kCoursewarePath), 1);
}

void TestWhiteboardDownload::unreadableFirstPageIsNotOpened_data()
{
    QTest::addColumn<QSize>("view");
    QTest::newRow("sized view") << QSize(1190, 840);
    QTest::newRow("view of no size yet") << QSize(0, 0);
}

void TestWhiteboardDownload::unreadableFirstPageIsNotOpened()
{
    QFETCH(QSize, view);
    const QString cyclic = m_dir.filePath("cyclic.pdf");
    QVERIFY(TestUtil::writeFile(cyclic, cyclicPageTreePdf()));

    WidgetWhiteBoard b;
    b.setPrerenderEnabled(false);
    b.setAttribute(Qt::WA_DontShowOnScreen);
    b.setMinimumSize(0, 0);
    b.resize(view);
    // A shown window gets the size of its form: the empty view is not shown.
    if (!view.isEmpty())
        b.show();
    QSignalSpy pages(&b, &WidgetWhiteBoard::returnPageNum);
    QVERIFY(!b.openPdf(cyclic));
    QVERIFY(!b.isDocumentOpen());
    QCOMPARE(b.pageCount(), 0);
    // After a good document too: the bad one replaces it and is refused.
    QVERIFY(b.openPdf(QStringLiteral(LESSONRY_SOURCE_DIR "/tools/lessonservice/fixtures/courseware.pdf")));
    QVERIFY(!b.openPdf(cyclic));
    QVERIFY(!b.isDocumentOpen());
    QVERIFY(b.pageImageSize().isEmpty());
    b.resize(1000, 700);
    QVERIFY(!b.isDocumentOpen());
    QCOMPARE(pages.size(), view.isEmpty() ? 0 : 1);
}

// The service answers with a PDF whose first page cannot be read: no
// success, and the file is not kept for the next start.
void TestWhiteboardDownload::downloadedFileWithUnreadableFirstPage()
{
    QVERIFY(m_service.setFault(kCoursewarePath, "body",
                               { { "body", QString::fromLatin1(cyclicPageTreePdf()) }, { "times", 1 } }));
    const QString url = m_service.fixtureUrl("courseware.pdf");
    auto b = board(url);
    b->downloadPdf();
    QTRY_COMPARE_WITH_TIMEOUT(b->loadingPanel()->getLoadingState(), int(LoadingWidget::StateNetworkFailure), 15000);
    QVERIFY(!b->isDocumentOpen());
    QCOMPARE(m_log.named("class_download_pdf_finish").size(), 0);
    QCOMPARE(m_log.named("class_download_pdf_fail").size(), 1);
    QVERIFY(!QFile::exists(NetWorkDownloadReplyHolder::getFilePath(url, getResourceDownloadPath())));
    QString found;
    QVERIFY(!b->isAlreadyDownloaded(found));

    b->slot_reDownload();
    QTRY_VERIFY_WITH_TIMEOUT(b->isDocumentOpen(), 15000);
    QCOMPARE(requestsFor(kCoursewarePath), 2);
}

void TestWhiteboardDownload::cachedFileWithUnreadableFirstPageIsFetchedAgain()
{
    const QString url = m_service.fixtureUrl("courseware.pdf");
    QVERIFY(TestUtil::writeFile(NetWorkDownloadReplyHolder::getFilePath(url, getResourceDownloadPath()), cyclicPageTreePdf()));
    auto b = board(url);
    b->downloadPdf();
    QTRY_VERIFY_WITH_TIMEOUT(b->isDocumentOpen(), 15000);
    QCOMPARE(requestsFor(kCoursewarePath), 1);
    QCOMPARE(b->pageCount(), 4);
}

void TestWhiteboardDownload::emptyAddress()
{
    auto b = board(QStringLiteral("  "));
    b->downloadPdf();
    QCOMPARE(b->loadingPanel()->getLoadingState(), int(LoadingWidget::StateNoData));
    QCOMPARE(m_log.named("<MaterialDownload> class_download_pdf_fail").first().info, QString("url:empty"));
    QCOMPARE(b->getDownloadTimes(), 0);
}

void TestWhiteboardDownload::proxyAddress_data()
{
    QTest::addColumn<QString>("proxy");
    QTest::addColumn<QString>("url");
    QTest::addColumn<QString>("expected");
    QTest::newRow("no proxy: unchanged") << QString() << "http://cdn.example.com/a/b.pdf" << "http://cdn.example.com/a/b.pdf";
    QTest::newRow("host replaced") << "http://proxy.example.com/p/" << "http://cdn.example.com/a/b.pdf"
                                   << "http://proxy.example.com/p/a/b.pdf";
    QTest::newRow("https host") << "http://proxy.example.com/p/" << "https://cdn.example.com/b.pdf"
                                << "http://proxy.example.com/p/b.pdf";
}

void TestWhiteboardDownload::proxyAddress()
{
    QFETCH(QString, proxy);
    QFETCH(QString, url);
    QFETCH(QString, expected);
    configure(QStringLiteral("15"), proxy);
    WidgetWhiteBoard b;
    QCOMPARE(b.getProxyUrl(url), expected);
}

QTEST_MAIN(TestWhiteboardDownload)
#include "tst_whiteboarddownload.moc"
