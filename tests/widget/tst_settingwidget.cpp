#include "lessonservice.h"
#include "mgr/http/httpmgr.h"
#include "mgr/singleton.h"
#include "mgr/upgrademgr.h"
#include "utility/translatelanguage.h"
#include "widget/loginactions.h"
#include "widget/settingwidget.h"
#include "widget/upgradedialogs.h"

#include "utility/appdirs.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QProcess>
#include <QPushButton>
#include <QSignalSpy>
#include <QTabWidget>
#include <QTemporaryDir>

#include <unistd.h>
#include <QTest>
#include <QWidget>

#include <memory>

// The settings window's check for updates.
class TestSettingWidget : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void cleanupTestCase();
    void init();

    void manualCheckSaysLatestVersion();
    void checkOfAnotherWindowShowsNothingHere();
    void pagesAndTheVersion();
    void clearDeletesEveryFileKeepsFoldersAndFollowsNoLink();
    void clearKeepsHiddenFiles();
    void clearThatFailsSaysSo();
    void openHandsTheFolderToTheFileManager();

private:
    struct Notice
    {
        QWidget *parent = nullptr;
        QString title;
        QString text;
    };

    LessonService m_service;
    QList<Notice> m_notices;
};

void TestSettingWidget::initTestCase()
{
    QVERIFY(m_service.start());
    Singleton<HttpMgr>::instance()->init();
    Singleton<UpgradeMgr>::instance()->setUi(std::make_unique<UpgradeDialogs>());
    LoginActions::setNoticeHandler([this](QWidget *parent, const QString &title, const QString &text) {
        m_notices.append({ parent, title, text });
    });
}

void TestSettingWidget::cleanupTestCase()
{
    LoginActions::setNoticeHandler(nullptr);
}

void TestSettingWidget::init()
{
    m_notices.clear();
}

void TestSettingWidget::manualCheckSaysLatestVersion()
{
    SettingWidget settings;
    UpgradeMgr *upgrade = Singleton<UpgradeMgr>::instance();
    QSignalSpy noNew(upgrade, &UpgradeMgr::signal_on_no_new_version);
    settings.on_pushButtonChecChecUpgrade_clicked();
    QCOMPARE(upgrade->promptWidget(), &settings);
    QVERIFY(noNew.wait());
    QCOMPARE(m_notices.size(), 1);
    QCOMPARE(m_notices.first().parent, &settings);
    QCOMPARE(m_notices.first().title, Translatelanguage::instance()->getText(QStringLiteral("velmo")));
    QCOMPARE(m_notices.first().text, Translatelanguage::instance()->getText(QStringLiteral("alreadylatestversion")));
    QVERIFY(!m_notices.first().text.isEmpty());
}

void TestSettingWidget::checkOfAnotherWindowShowsNothingHere()
{
    SettingWidget settings;
    QWidget course;
    UpgradeMgr *upgrade = Singleton<UpgradeMgr>::instance();
    upgrade->setPromptWidget(&course);
    QSignalSpy noNew(upgrade, &UpgradeMgr::signal_on_no_new_version);
    upgrade->goCheck();
    QVERIFY(noNew.wait());
    QVERIFY(m_notices.isEmpty());
    upgrade->clearPromptWidget(&course);
}

void TestSettingWidget::pagesAndTheVersion()
{
    SettingWidget settings;
    auto *tabs = settings.findChild<QTabWidget *>("tabWidget");
    auto *version = settings.findChild<QLabel *>("labelVersion");
    QCOMPARE(tabs->currentIndex(), 0);
    QCOMPARE(version->text(), QStringLiteral("version:1.0.0"));
    settings.findChild<QPushButton *>("pushButtonAbout")->click();
    QCOMPARE(tabs->currentIndex(), 2);
    QCOMPARE(version->text(), QStringLiteral("version:1.1.5.1"));
    QVERIFY(!settings.findChild<QPushButton *>("pushButtonDevice")->isChecked());
    settings.findChild<QPushButton *>("pushButtonFile")->click();
    QCOMPARE(tabs->currentIndex(), 1);
    QCOMPARE(settings.findChild<QLineEdit *>("lineEditFileName")->text(), getDownloadResourceDir());
    QVERIFY(QFileInfo(getDownloadResourceDir()).isDir());
}

void TestSettingWidget::clearDeletesEveryFileKeepsFoldersAndFollowsNoLink()
{
    const QString root = getDownloadResourceDir();
    QVERIFY(QDir().mkpath(root + "/a/b"));
    for (const QString &file : { root + "/top.pdf", root + "/a/one.mp4", root + "/a/b/two.mp3" }) {
        QFile f(file);
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write("x");
    }
    // A link out of the folder: the link goes, what it points at stays.
    QTemporaryDir outside;
    QFile kept(outside.filePath("keep.txt"));
    QVERIFY(kept.open(QIODevice::WriteOnly));
    kept.close();
    QVERIFY(QFile::link(outside.path(), root + "/linked"));

    SettingWidget settings;
    settings.findChild<QPushButton *>("pushButtonFile")->click();
    settings.findChild<QPushButton *>("pushButtonClear")->click();
    QCOMPARE(m_notices.size(), 1);
    QCOMPARE(m_notices.first().text, Translatelanguage::instance()->getText(QStringLiteral("allclear")));
    QVERIFY(QFileInfo(root + "/a/b").isDir());
    QCOMPARE(QDir(root + "/a/b").entryList(QDir::Files).size(), 0);
    QVERIFY(!QFileInfo::exists(root + "/top.pdf"));
    QVERIFY(!QFileInfo(root + "/linked").isSymLink());
    QVERIFY(QFile::exists(outside.filePath("keep.txt")));

    // An empty folder gets the notice too.
    settings.findChild<QPushButton *>("pushButtonClear")->click();
    QCOMPARE(m_notices.size(), 2);
}

void TestSettingWidget::clearKeepsHiddenFiles()
{
    const QString root = getDownloadResourceDir();
    QVERIFY(QDir().mkpath(root + "/a"));
    QVERIFY(QDir().mkpath(root + "/.cache"));
    const QStringList deleted { root + "/top.pdf", root + "/a/one.mp4" };
    const QStringList kept { root + "/.keep", root + "/a/.hidden.pdf", root + "/.cache/inner.pdf" };
    for (const QString &file : deleted + kept) {
        QFile f(file);
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write("x");
    }
    SettingWidget settings;
    settings.findChild<QPushButton *>("pushButtonFile")->click();
    settings.findChild<QPushButton *>("pushButtonClear")->click();
    QCOMPARE(m_notices.size(), 1);
    QCOMPARE(m_notices.first().text, Translatelanguage::instance()->getText(QStringLiteral("allclear")));
    for (const QString &file : deleted)
        QVERIFY2(!QFile::exists(file), qPrintable(file));
    for (const QString &file : kept) {
        QVERIFY2(QFile::exists(file), qPrintable(file));
        QVERIFY(QFile::remove(file));
    }
}

void TestSettingWidget::clearThatFailsSaysSo()
{
    const QString root = getDownloadResourceDir();
    QVERIFY(QDir().mkpath(root + "/locked"));
    const QString file = root + "/locked/file.pdf";
    QFile f(file);
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.close();
    // A file that cannot be deleted: an immutable one as root (who may
    // delete from a read-only folder), a read-only folder otherwise.
    const bool asRoot = geteuid() == 0;
    if (asRoot) {
        if (QProcess::execute("chattr", { "+i", file }) != 0)
            QSKIP("no immutable files on this file system");
    } else {
        QFile::setPermissions(root + "/locked", QFile::ReadOwner | QFile::ExeOwner);
    }
    SettingWidget settings;
    settings.findChild<QPushButton *>("pushButtonFile")->click();
    settings.findChild<QPushButton *>("pushButtonClear")->click();
    if (asRoot)
        QCOMPARE(QProcess::execute("chattr", { "-i", file }), 0);
    else
        QFile::setPermissions(root + "/locked", QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    QVERIFY(QFile::exists(file));
    QCOMPARE(m_notices.size(), 1);
    QCOMPARE(m_notices.first().text, Translatelanguage::instance()->getText(QStringLiteral("clearfailed")));
    QVERIFY(m_notices.first().text != Translatelanguage::instance()->getText(QStringLiteral("allclear")));
    QVERIFY(QFile::remove(file));
}

void TestSettingWidget::openHandsTheFolderToTheFileManager()
{
    QStringList opened;
    SettingWidget::setFolderOpenerForTests([&](const QString &path) {
        opened << path;
        return true;
    });
    SettingWidget settings;
    settings.findChild<QPushButton *>("pushButtonOpenFile")->click(); // no path yet: only a log line
    QVERIFY(opened.isEmpty());
    settings.findChild<QPushButton *>("pushButtonFile")->click();
    settings.findChild<QPushButton *>("pushButtonOpenFile")->click();
    SettingWidget::setFolderOpenerForTests(nullptr);
    QCOMPARE(opened, QStringList { QDir::toNativeSeparators(getDownloadResourceDir()) });
}

QTEST_MAIN(TestSettingWidget)
#include "tst_settingwidget.moc"
