#include "lessonservice.h"
#include "mgr/http/httpmgr.h"
#include "mgr/singleton.h"
#include "mgr/upgrademgr.h"
#include "mgr/upgradeui.h"
#include "utility/appdirs.h"
#include "utility/hashutility.h"
#include "utility/translatelanguage.h"
#include "widget/upgradedialogs.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QPointer>
#include <QProgressDialog>
#include <QPushButton>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QUrl>

#include <memory>

namespace {

// The dialogs of the upgrade, scripted: questions are answered from a list
// (No once it is used up) and everything shown is recorded.
class ScriptedUpgradeUi : public UpgradeUi
{
public:
    QStringList answers; // "yes" / "no", one per question
    QStringList shown;   // "ask:<text>", "critical:<text>", "toast:<text>", "progress", "close", "quit:<code>"
    QList<int> progress;
    std::function<void()> cancel;
    QWidget *widget = nullptr;

    void setPromptWidget(QWidget *w) override { widget = w; }
    QWidget *promptWidget() const override { return widget; }

    bool askYesNo(const QString &, const QString &text, bool) override
    {
        shown << QStringLiteral("ask:") + text;
        return !answers.isEmpty() && answers.takeFirst() == QLatin1String("yes");
    }
    void showCritical(const QString &, const QString &text) override { shown << QStringLiteral("critical:") + text; }
    void showToast(const QString &text) override { shown << QStringLiteral("toast:") + text; }
    void openProgress(const QString &, const QString &, const QString &, const std::function<void()> &onCanceled) override
    {
        shown << QStringLiteral("progress");
        cancel = onCanceled;
    }
    void setProgress(int percent) override { progress << percent; }
    void closeProgress() override
    {
        shown << QStringLiteral("close");
        // Like QProgressDialog: closing reports a cancel.
        if (cancel) {
            const std::function<void()> report = cancel;
            cancel = nullptr;
            report();
        }
    }
    void quit(int exitCode) override { shown << QStringLiteral("quit:%1").arg(exitCode); }

    int count(const QString &prefix) const
    {
        int n = 0;
        for (const QString &entry : shown)
            n += entry.startsWith(prefix) ? 1 : 0;
        return n;
    }
};

QString text(const char *key)
{
    return Translatelanguage::instance()->getText(QLatin1String(key));
}

} // namespace

class TestUpgradeMgr : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();

    void versionComparison_data();
    void versionComparison();

    void noNewerVersionOffersNothing();
    void failedCheckOffersNothing_data();
    void failedCheckOffersNothing();
    void secondCheckReplacesTheFirst();
    void declinedOfferDownloadsNothing();
    void acceptedOfferInstallsAndQuits();
    void wrongMd5DeletesFileAndKeepsRunning();
    void unreachableMainUrlAsksToRetryTheSameUrl();
    void cancelAbortsWithoutRetryQuestion();
    void installerThatCannotStartKeepsRunning();
    void installerOutsideTheWebIsNeitherCopiedNorRun_data();
    void installerOutsideTheWebIsNeitherCopiedNorRun();
    void progressDialogClosedAfterFinishDoesNotAbort();

private:
    int requestsFor(const QString &path);
    QStringList installerRuns();

    LessonService m_service;
    QTemporaryDir m_recordDir;
    QString m_record;
    UpgradeMgr *m_upgrade = nullptr;
    ScriptedUpgradeUi *m_ui = nullptr;
};

void TestUpgradeMgr::initTestCase()
{
    QVERIFY(m_service.start());
    Singleton<HttpMgr>::instance()->init();
    m_record = m_recordDir.filePath(QStringLiteral("installer-runs.txt"));
    qputenv("LESSONRY_INSTALLER_RECORD", QFile::encodeName(m_record));
}

void TestUpgradeMgr::init()
{
    QVERIFY(m_service.reset());
    QFile::remove(m_record);
    QDir(getDownloadInstallerDir()).removeRecursively();
    m_upgrade = new UpgradeMgr;
    auto ui = std::make_unique<ScriptedUpgradeUi>();
    m_ui = ui.get();
    m_upgrade->setUi(std::move(ui));
}

void TestUpgradeMgr::cleanup()
{
    delete m_upgrade;
    m_upgrade = nullptr;
    m_ui = nullptr;
}

int TestUpgradeMgr::requestsFor(const QString &path)
{
    int n = 0;
    for (const QJsonValue &request : m_service.requests())
        n += request.toObject().value(QStringLiteral("path")).toString() == path ? 1 : 0;
    return n;
}

QStringList TestUpgradeMgr::installerRuns()
{
    QFile file(m_record);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return QString::fromUtf8(file.readAll()).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
}

void TestUpgradeMgr::versionComparison_data()
{
    QTest::addColumn<QString>("version");
    QTest::addColumn<bool>("newer");
    QTest::newRow("last part, compared as numbers") << "1.1.5.10" << true;
    QTest::newRow("next build") << "1.1.5.2" << true;
    QTest::newRow("next minor") << "1.2.0.0" << true;
    QTest::newRow("next major") << "2.0.0.0" << true;
    QTest::newRow("same") << "1.1.5.1" << false;
    QTest::newRow("older") << "1.1.4.9" << false;
    QTest::newRow("older major, newer rest") << "0.9.9.9" << false;
    QTest::newRow("two parts") << "2.0" << false;
    QTest::newRow("three parts") << "1.1.6" << false;
    QTest::newRow("five parts") << "1.1.5.1.1" << false;
    QTest::newRow("empty part") << "1.1..9" << false;
    QTest::newRow("text part counts as 0") << "1.1.5.x" << false;
    QTest::newRow("text part, newer before it") << "1.1.6.x" << true;
    QTest::newRow("empty") << "" << false;
}

void TestUpgradeMgr::versionComparison()
{
    QFETCH(QString, version);
    QFETCH(bool, newer);
    QCOMPARE(m_upgrade->hasNewVersion(version), newer);
}

void TestUpgradeMgr::noNewerVersionOffersNothing()
{
    QSignalSpy noNew(m_upgrade, &UpgradeMgr::signal_on_no_new_version);
    m_upgrade->goCheck();
    QVERIFY(noNew.wait());
    QVERIFY(m_ui->shown.isEmpty());
    const QJsonObject request = m_service.lastRequest(QStringLiteral("/QXV1/Public/pcNewUpdate"));
    QCOMPARE(request.value(QStringLiteral("method")).toString(), QStringLiteral("GET"));
    QCOMPARE(request.value(QStringLiteral("query")).toObject().value(QStringLiteral("source")).toString(), QStringLiteral("12"));
}

void TestUpgradeMgr::failedCheckOffersNothing_data()
{
    QTest::addColumn<QString>("mode");
    QTest::addColumn<QJsonObject>("upgrade");
    QTest::newRow("server error") << "status" << QJsonObject();
    QTest::newRow("not JSON") << "nonjson" << QJsonObject();
    QTest::newRow("newest version in two parts") << "" << QJsonObject{ { "LatestVer", "2.0" } };
}

void TestUpgradeMgr::failedCheckOffersNothing()
{
    QFETCH(QString, mode);
    QFETCH(QJsonObject, upgrade);
    if (!mode.isEmpty())
        QVERIFY(m_service.setFault(QStringLiteral("/QXV1/Public/pcNewUpdate"), mode));
    if (!upgrade.isEmpty())
        QVERIFY(m_service.setUpgradeAnswer(upgrade));
    QSignalSpy noNew(m_upgrade, &UpgradeMgr::signal_on_no_new_version);
    m_upgrade->goCheck();
    QVERIFY(noNew.wait());
    QCOMPARE(noNew.size(), 1);
    QVERIFY(m_ui->shown.isEmpty());
}

void TestUpgradeMgr::secondCheckReplacesTheFirst()
{
    QVERIFY(m_service.setFault(QStringLiteral("/QXV1/Public/pcNewUpdate"), QStringLiteral("delay"),
                               { { QStringLiteral("delay_ms"), 500 }, { QStringLiteral("times"), 1 } }));
    QSignalSpy noNew(m_upgrade, &UpgradeMgr::signal_on_no_new_version);
    m_upgrade->goCheck();
    m_upgrade->goCheck();
    QVERIFY(noNew.wait());
    // The first answer, had it come, would be a second signal.
    QTest::qWait(800);
    QCOMPARE(noNew.size(), 1);
}

void TestUpgradeMgr::declinedOfferDownloadsNothing()
{
    QVERIFY(m_service.setUpgradeAnswer({ { "offer", "installer" } }));
    m_ui->answers = QStringList{ QStringLiteral("no") };
    m_upgrade->goCheck();
    QTRY_COMPARE(m_ui->count(QStringLiteral("ask:")), 1);
    const QString offer = m_ui->shown.first();
    QVERIFY(offer.contains(QLatin1String("1.1.5.10")));
    QVERIFY(offer.contains(QLatin1String("Smoother whiteboard.")));
    QTest::qWait(100);
    QCOMPARE(requestsFor(QStringLiteral("/files/lessonry-setup.sh")), 0);
    QCOMPARE(m_ui->count(QStringLiteral("progress")), 0);
}

void TestUpgradeMgr::acceptedOfferInstallsAndQuits()
{
    // The service sends the MD5 in capitals; the file's is in small letters.
    QVERIFY(m_service.setUpgradeAnswer({ { "offer", "installer" } }));
    m_ui->answers = QStringList{ QStringLiteral("yes") };
    m_upgrade->goCheck();
    QTRY_VERIFY(m_ui->shown.contains(QStringLiteral("quit:124")));

    QCOMPARE(m_ui->shown, QStringList({ m_ui->shown.first(), QStringLiteral("progress"),
                                        QStringLiteral("toast:") + text("downloadedtoinstall"),
                                        QStringLiteral("quit:124"), QStringLiteral("close") }));
    QVERIFY(!m_ui->progress.isEmpty());
    QCOMPARE(m_ui->progress.last(), 100);
    QCOMPARE(requestsFor(QStringLiteral("/files/lessonry-setup.sh")), 1);
    QCOMPARE(requestsFor(QStringLiteral("/proxy/backup/lessonry-setup.sh")), 0);

    // The installer got its execute permission and ran as a process of its own.
    const QStringList installers = QDir(getDownloadInstallerDir()).entryList({ QStringLiteral("*.sh") }, QDir::Files);
    QCOMPARE(installers.size(), 1);
    QVERIFY(QFileInfo(QDir(getDownloadInstallerDir()).filePath(installers.first())).isExecutable());
    QTRY_COMPARE(installerRuns().size(), 1);
    QVERIFY(installerRuns().first().contains(installers.first()));
}

void TestUpgradeMgr::wrongMd5DeletesFileAndKeepsRunning()
{
    QVERIFY(m_service.setUpgradeAnswer({ { "offer", "installer" }, { "FileMd5", "00000000000000000000000000000000" } }));
    m_ui->answers = QStringList{ QStringLiteral("yes") };
    m_upgrade->goCheck();
    QTRY_VERIFY(m_ui->shown.contains(QStringLiteral("critical:") + text("filedamaged")));
    QTRY_VERIFY(m_ui->shown.contains(QStringLiteral("close")));
    QVERIFY(!m_ui->shown.contains(QStringLiteral("quit:124")));
    // The damaged file is gone, so the next attempt downloads it again.
    QVERIFY(QDir(getDownloadInstallerDir()).entryList(QDir::Files).isEmpty());
    QTest::qWait(200);
    QVERIFY(installerRuns().isEmpty());

    m_ui->answers = QStringList{ QStringLiteral("yes") };
    m_upgrade->goCheck();
    QTRY_COMPARE(m_ui->count(QStringLiteral("critical:")), 2);
    QCOMPARE(requestsFor(QStringLiteral("/files/lessonry-setup.sh")), 2);
}

void TestUpgradeMgr::unreachableMainUrlAsksToRetryTheSameUrl()
{
    // The main address fails, the second one would work: only the main
    // address is ever tried, once more after the user asks for it.
    QVERIFY(m_service.setUpgradeAnswer({ { "offer", "installer" }, { "DownLoadMainUrl", m_service.baseUrl() + "/files/no-such-setup.sh" } }));
    m_ui->answers = QStringList{ QStringLiteral("yes"), QStringLiteral("yes"), QStringLiteral("no") };
    m_upgrade->goCheck();
    QTRY_COMPARE(m_ui->count(QStringLiteral("ask:")), 3);
    QCOMPARE(m_ui->count(QStringLiteral("ask:") + text("downloadingfailedtoretry")), 2);
    QTRY_COMPARE(requestsFor(QStringLiteral("/files/no-such-setup.sh")), 2);
    QCOMPARE(requestsFor(QStringLiteral("/proxy/backup/lessonry-setup.sh")), 0);
    QVERIFY(!m_ui->shown.contains(QStringLiteral("quit:124")));
}

void TestUpgradeMgr::cancelAbortsWithoutRetryQuestion()
{
    // The download stalls half-way, and the user cancels the dialog.
    QVERIFY(m_service.setUpgradeAnswer({ { "offer", "installer" } }));
    QVERIFY(m_service.setFault(QStringLiteral("/files/lessonry-setup.sh"), QStringLiteral("stall")));
    m_ui->answers = QStringList{ QStringLiteral("yes") };
    m_upgrade->goCheck();
    QTRY_VERIFY(m_ui->shown.contains(QStringLiteral("progress")));
    QVERIFY(m_ui->cancel);
    m_ui->cancel();
    QTest::qWait(200);
    QCOMPARE(m_ui->count(QStringLiteral("ask:")), 1);
    QVERIFY(!m_ui->shown.contains(QStringLiteral("quit:124")));
    QVERIFY(QDir(getDownloadInstallerDir()).entryList({ QStringLiteral("*.sh") }, QDir::Files).isEmpty());
    QVERIFY(m_service.reset());
}

void TestUpgradeMgr::installerThatCannotStartKeepsRunning()
{
    QVERIFY(m_service.setUpgradeAnswer({ { "offer", "broken" } }));
    m_ui->answers = QStringList{ QStringLiteral("yes") };
    m_upgrade->goCheck();
    QTRY_VERIFY(m_ui->shown.contains(QStringLiteral("critical:") + text("upgradingerror")));
    QVERIFY(!m_ui->shown.contains(QStringLiteral("quit:124")));
}

void TestUpgradeMgr::installerOutsideTheWebIsNeitherCopiedNorRun_data()
{
    // A working installer whose MD5 matches, offered at an address that is
    // not on the web.
    QFile installer(QStringLiteral(LESSONRY_SOURCE_DIR "/tools/lessonservice/fixtures/lessonry-setup.sh"));
    QVERIFY(installer.open(QIODevice::ReadOnly));
    const QByteArray content = installer.readAll();
    QTest::addColumn<QString>("address");
    QTest::addColumn<QString>("md5");
    const QString md5 = QString::fromLatin1(QCryptographicHash::hash(content, QCryptographicHash::Md5).toHex().toUpper());
    QTest::newRow("file") << QUrl::fromLocalFile(installer.fileName()).toString() << md5;
    QTest::newRow("data") << QStringLiteral("data:application/x-sh;base64,") + QString::fromLatin1(content.toBase64()) << md5;
}

void TestUpgradeMgr::installerOutsideTheWebIsNeitherCopiedNorRun()
{
    QFETCH(QString, address);
    QFETCH(QString, md5);
    QVERIFY(m_service.setUpgradeAnswer({ { "offer", "installer" }, { "DownLoadMainUrl", address }, { "FileMd5", md5 } }));
    m_ui->answers = QStringList { QStringLiteral("yes"), QStringLiteral("no") };
    m_upgrade->goCheck();
    // Refused as a failed download: the user may retry, nothing is installed.
    QTRY_COMPARE(m_ui->count(QStringLiteral("ask:") + text("downloadingfailedtoretry")), 1);
    QVERIFY(!m_ui->shown.contains(QStringLiteral("quit:124")));
    QVERIFY(QDir(getDownloadInstallerDir()).entryList(QDir::Files).isEmpty());
    QCOMPARE(requestsFor(QStringLiteral("/files/lessonry-setup.sh")), 0);
    QTest::qWait(200);
    QVERIFY(installerRuns().isEmpty());
}

void TestUpgradeMgr::progressDialogClosedAfterFinishDoesNotAbort()
{
    // The real dialog reports a cancel when it is closed; after a finished
    // download that cancel finds no dialog held and aborts nothing.
    auto dialogs = std::make_unique<UpgradeDialogs>();
    UpgradeDialogs *real = dialogs.get();
    m_upgrade->setUi(std::move(dialogs));
    m_ui = nullptr;
    m_upgrade->slot_onStart_download();
    QPointer<QProgressDialog> dialog = real->progressDialog();
    QVERIFY(dialog);
    QCOMPARE(dialog->windowModality(), Qt::WindowModal);
    QCOMPARE(dialog->maximum(), 100);
    m_upgrade->slot_downloadProgress_download(42.9, 429, 1000);
    QCOMPARE(dialog->value(), 42);

    QTest::ignoreMessage(QtInfoMsg, "cancelled by failure");
    m_upgrade->slot_onFinish_download();
    QVERIFY(!real->progressDialog());
    QTRY_VERIFY(dialog.isNull());

    // The user's cancel closes the dialog for good, not only hides it.
    m_upgrade->slot_onStart_download();
    dialog = real->progressDialog();
    QVERIFY(dialog);
    QPushButton *cancel = dialog->findChild<QPushButton *>();
    QVERIFY(cancel);
    cancel->click();
    QVERIFY(!real->progressDialog());
    QTRY_VERIFY(dialog.isNull());
}

QTEST_MAIN(TestUpgradeMgr)
#include "tst_upgrademgr.moc"
