#include "utility/appdirs.h"

#include "testutil.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QTest>

// Each test gets a fresh, empty XDG data home, so "first start" is real.
class TestAppDirs : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void dataRootIsUnderXdgDataHome();
    void dataRootIsNotCreated();
    void firstLogDirCreatesRootAndFolder();
    void folderFunctions_data();
    void folderFunctions();
    void fileFunctionsCreateNothing();
    void deviceConfigCreatesFolderOnly();
    void fileAtFolderPathCountsAsExisting();
    void downloadResourceDirIgnoresItem();
    void installationFolderPaths();
    void absoluteFilePath_data();
    void absoluteFilePath();
    void makePathLeavesExistingAlone();

private:
    QString dataRoot() const;

    QTemporaryDir *m_xdg = nullptr;
};

void TestAppDirs::init()
{
    m_xdg = new QTemporaryDir();
    QVERIFY(m_xdg->isValid());
    qputenv("XDG_DATA_HOME", m_xdg->path().toUtf8());
}

void TestAppDirs::cleanup()
{
    delete m_xdg;
    m_xdg = nullptr;
}

QString TestAppDirs::dataRoot() const
{
    return m_xdg->path() + QLatin1Char('/') + QCoreApplication::applicationName();
}

void TestAppDirs::dataRootIsUnderXdgDataHome()
{
    QCOMPARE(getAppDataDir(), dataRoot());
}

void TestAppDirs::dataRootIsNotCreated()
{
    getAppDataDir();
    QVERIFY(!QFileInfo::exists(dataRoot()));
}

void TestAppDirs::firstLogDirCreatesRootAndFolder()
{
    QVERIFY(!QFileInfo::exists(dataRoot()));
    const QString log = getLogDir();
    QCOMPARE(log, dataRoot() + "/log");
    QVERIFY(QFileInfo(log).isDir());
    QCOMPARE(getLogPath(), log);
}

void TestAppDirs::folderFunctions_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("relative");

    QTest::newRow("config") << "config" << "config";
    QTest::newRow("cutImage") << "cutImage" << "cutImage";
    QTest::newRow("log") << "log" << "log";
    QTest::newRow("download image") << "image" << "download/image";
    QTest::newRow("download installer") << "installer" << "download/installer";
    QTest::newRow("download resource") << "resource" << "download/resource";
    QTest::newRow("resource download path") << "resourcePath" << "download/resource";
}

void TestAppDirs::folderFunctions()
{
    QFETCH(QString, name);
    QFETCH(QString, relative);

    const QHash<QString, QString (*)()> functions = {
        { "config", &getConfigDir },
        { "cutImage", &getCutImageDir },
        { "log", &getLogDir },
        { "image", &getDownloadImageDir },
        { "installer", &getDownloadInstallerDir },
        { "resource", static_cast<QString (*)()>(&getDownloadResourceDir) },
        { "resourcePath", &getResourceDownloadPath },
    };
    const QString path = functions.value(name)();
    QCOMPARE(path, dataRoot() + QLatin1Char('/') + relative);
    QVERIFY(QFileInfo(path).isAbsolute());
    QVERIFY(QFileInfo(path).isDir());
    // A second call finds it and returns the same text.
    QCOMPARE(functions.value(name)(), path);
}

void TestAppDirs::fileFunctionsCreateNothing()
{
    QCOMPARE(getResourceConfigFilePath(), dataRoot() + "/resourceConfig.ini");
    QVERIFY(!QFileInfo::exists(dataRoot()));
    getLanguageDocPath();
    QVERIFY(!QFileInfo::exists(dataRoot()));
}

void TestAppDirs::deviceConfigCreatesFolderOnly()
{
    const QString file = getDeviceConfigFilePath();
    QCOMPARE(file, dataRoot() + "/config/newDeviceConfig.ini");
    QVERIFY(QFileInfo(dataRoot() + "/config").isDir());
    QVERIFY(!QFileInfo::exists(file));
}

void TestAppDirs::fileAtFolderPathCountsAsExisting()
{
    QVERIFY(QDir().mkpath(dataRoot()));
    QFile blocker(dataRoot() + "/cutImage");
    QVERIFY(blocker.open(QIODevice::WriteOnly));
    blocker.write("x");
    blocker.close();

    QCOMPARE(getCutImageDir(), dataRoot() + "/cutImage");
    QVERIFY(QFileInfo(blocker.fileName()).isFile());
    QCOMPARE(blocker.size(), qint64(1));
}

void TestAppDirs::downloadResourceDirIgnoresItem()
{
    const QString plain = getDownloadResourceDir();
    QCOMPARE(getDownloadResourceDir(QStringLiteral("lesson-42")), plain);
    QCOMPARE(getDownloadResourceDir(QStringLiteral("../escape")), plain);
    QCOMPARE(getDownloadResourceDir(QString()), plain);
}

void TestAppDirs::installationFolderPaths()
{
    const QString bin = QDir(TestUtil::binDir()).canonicalPath();
    QCOMPARE(QDir(getAppDirPath()).canonicalPath(), bin);
    QCOMPARE(getLanguageDocPath(), getAppDirPath() + "/language/languagesdoc.xml");
    QVERIFY(QFileInfo::exists(getLanguageDocPath()));
    const QString resources = getResourcesDir();
    QCOMPARE(resources, getAppDirPath() + "/resources");
    QVERIFY(QFileInfo(resources).isDir());
}

void TestAppDirs::absoluteFilePath_data()
{
    QTest::addColumn<QString>("folder");
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("expected");

    QTest::newRow("plain") << "/a/b" << "c" << "/a/b/c";
    QTest::newRow("nested") << "/a" << "b/c" << "/a/b/c";
    QTest::newRow("dot dot") << "/a/b" << "../c" << "/a/c";
    QTest::newRow("absolute name") << "/a" << "/x/y" << "/x/y";
}

void TestAppDirs::absoluteFilePath()
{
    QFETCH(QString, folder);
    QFETCH(QString, name);
    QFETCH(QString, expected);
    QCOMPARE(getAbsoluteFilePath(folder, name), expected);
}

void TestAppDirs::makePathLeavesExistingAlone()
{
    const QString deep = m_xdg->path() + "/one/two/three";
    makePathIfMissing(deep);
    QVERIFY(QFileInfo(deep).isDir());

    QFile marker(deep + "/keep.txt");
    QVERIFY(marker.open(QIODevice::WriteOnly));
    marker.close();
    makePathIfMissing(deep);
    QVERIFY(QFileInfo::exists(marker.fileName()));
}

QTEST_GUILESS_MAIN(TestAppDirs)
#include "tst_appdirs.moc"
