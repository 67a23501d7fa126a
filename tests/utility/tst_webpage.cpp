#include "utility/webpage.h"

#include "testutil.h"
#include "testenvironment.h"

#include <QFile>
#include <QTemporaryDir>
#include <QUrl>
#include <QRegularExpression>
#include <QTest>

// Pages of the web site: addresses built from the servers file, and the
// browser launch that refuses an address it could not build.
class TestWebPage : public QObject
{
    Q_OBJECT

private slots:
    void cleanup();
    void addressesComeFromTheSite();
    void missingSiteOpensNothing();

private:
    QTemporaryDir m_dir;
};

void TestWebPage::cleanup()
{
    WebPage::setOpener(WebPage::Opener());
    TestEnvironment::restoreDefaultServersIni();
}

void TestWebPage::addressesComeFromTheSite()
{
    TestUtil::ServerAddresses addresses;
    addresses.main = QStringLiteral("http://127.0.0.1:1");
    addresses.site = QStringLiteral("http://127.0.0.1:2");
    QVERIFY(TestUtil::useServersIni(m_dir.filePath(QStringLiteral("servers.ini")), addresses));

    QCOMPARE(WebPage::url(QStringLiteral("/")), QStringLiteral("http://127.0.0.1:2/"));
    // The student client's help page.
    QCOMPARE(WebPage::helpPageUrl(), QStringLiteral("http://127.0.0.1:2/Web/Index/helph5"));

    QList<QUrl> opened;
    WebPage::setOpener([&opened](const QUrl &url) {
        opened << url;
        return true;
    });
    QVERIFY(WebPage::open(WebPage::helpPageUrl()));
    QCOMPARE(opened, QList<QUrl>{ QUrl(QStringLiteral("http://127.0.0.1:2/Web/Index/helph5")) });
}

void TestWebPage::missingSiteOpensNothing()
{
    const QString path = m_dir.filePath(QStringLiteral("nosite.ini"));
    QVERIFY(TestUtil::writeFile(path, "[api]\nmain=http://127.0.0.1:1\n"));
    qputenv("LESSONRY_SERVERS_INI", QFile::encodeName(path));

    int launches = 0;
    WebPage::setOpener([&launches](const QUrl &) {
        ++launches;
        return true;
    });
    QTest::ignoreMessage(QtCriticalMsg, QRegularExpression(QStringLiteral("^no web site configured")));
    const QString url = WebPage::helpPageUrl();
    QVERIFY(url.isEmpty());
    QVERIFY(!WebPage::open(url));
    QCOMPARE(launches, 0);
}

QTEST_GUILESS_MAIN(TestWebPage)
#include "tst_webpage.moc"
