#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>

// The build's guard of the layers: the include check refuses an include
// that goes up a layer (run here on small source trees of its own), and
// the built libraries need only the layers below them.
class TestLayerCheck : public QObject
{
    Q_OBJECT

private slots:
    void includeCheck_data();
    void includeCheck();
    void librariesNeedOnlyLowerLayers_data();
    void librariesNeedOnlyLowerLayers();

private:
    // Runs the check on a tree of files (path relative to src/ -> text).
    bool runCheck(const QMap<QString, QString> &files, QString *output);
};

bool TestLayerCheck::runCheck(const QMap<QString, QString> &files, QString *output)
{
    QTemporaryDir dir;
    if (!dir.isValid())
        return false;
    const QString src = dir.filePath(QStringLiteral("src"));
    for (auto it = files.cbegin(); it != files.cend(); ++it) {
        const QString path = src + QLatin1Char('/') + it.key();
        QDir().mkpath(QFileInfo(path).absolutePath());
        QFile file(path);
        if (!file.open(QIODevice::WriteOnly))
            return false;
        file.write(it.value().toUtf8());
    }
    QProcess cmake;
    cmake.setProcessChannelMode(QProcess::MergedChannels);
    cmake.start(QStringLiteral(LESSONRY_CMAKE_COMMAND),
                { QStringLiteral("-DSOURCE_DIR=") + src, QStringLiteral("-DQT_INCLUDE_DIR=" LESSONRY_QT_INCLUDE_DIR),
                  QStringLiteral("-P"), QStringLiteral(LESSONRY_SOURCE_DIR "/cmake/check-layers.cmake") });
    if (!cmake.waitForFinished(60000))
        return false;
    *output = QString::fromLocal8Bit(cmake.readAll());
    return cmake.exitStatus() == QProcess::NormalExit && cmake.exitCode() == 0;
}

void TestLayerCheck::includeCheck_data()
{
    QTest::addColumn<QString>("file");
    QTest::addColumn<QString>("text");
    // Empty when the tree passes, else the file and include named.
    QTest::addColumn<QString>("refused");

    // Headers every case may include; the case adds one file.
    QTest::newRow("core uses platform") << "utility/helper.cpp" << "#include \"platform/guard.h\"\n#include <QImage>\n" << "";
    QTest::newRow("ui uses core, forms and widgets")
        << "widget/window.cpp" << "#include \"utility/helper.h\"\n#include \"ui_window.h\"\n#include <QWidget>\n" << "";
    QTest::newRow("app uses ui") << "mgr/baseapplication.cpp" << "#include \"widget/window.h\"\n" << "";
    QTest::newRow("vendor stand-in uses platform") << "platform/pdf/document.cpp" << "#include \"platform/guard.h\"\n" << "";
    QTest::newRow("core uses a vendor stand-in") << "biz/pdfdoc.cpp" << "#include \"platform/pdf/document.h\"\n" << "";
    QTest::newRow("header next to the file") << "mgr/http/holder.cpp" << "#include \"holder.h\"\n" << "";

    QTest::newRow("core includes ui") << "utility/helper.cpp" << "#include \"utility/widget/imageutil.h\"\n"
                                      << "src/utility/helper.cpp: #include \"utility/widget/imageutil.h\"";
    QTest::newRow("new file of a ui folder") << "mgr/record.h" << "#include \"widget/newwindow.h\"\n"
                                             << "src/mgr/record.h: #include \"widget/newwindow.h\"";
    QTest::newRow("ui includes an application object") << "widget/window.cpp" << "#include \"mgr/baseapplication.h\"\n"
                                                       << "src/widget/window.cpp: #include \"mgr/baseapplication.h\"";
    QTest::newRow("core includes a widget file of mgr/") << "mgr/logmgr.cpp" << "#include \"mgr/http/networkimagereplyholder.h\"\n"
                                                         << "src/mgr/logmgr.cpp: #include \"mgr/http/networkimagereplyholder.h\"";
    QTest::newRow("platform includes core") << "platform/guard.cpp" << "#include \"utility/helper.h\"\n"
                                            << "src/platform/guard.cpp: #include \"utility/helper.h\"";
    QTest::newRow("core uses QtWidgets") << "biz/service.cpp" << "#include <QLabel>\n" << "src/biz/service.cpp: #include <QLabel>";
    QTest::newRow("core uses QtWidgets by module") << "biz/service.cpp" << "#include <QtWidgets/QLabel>\n"
                                                   << "src/biz/service.cpp: #include <QtWidgets/QLabel>";
    QTest::newRow("platform uses QtGui") << "platform/guard.cpp" << "#include <QImage>\n"
                                         << "src/platform/guard.cpp: #include <QImage>";
    QTest::newRow("vendor stand-ins include each other") << "platform/pdf/document.cpp" << "#include \"platform/rtc/engine.h\"\n"
                                                         << "src/platform/pdf/document.cpp: #include \"platform/rtc/engine.h\"";
}

void TestLayerCheck::includeCheck()
{
    QFETCH(QString, file);
    QFETCH(QString, text);
    QFETCH(QString, refused);

    QMap<QString, QString> files = {
        { QStringLiteral("platform/guard.h"), QString() },
        { QStringLiteral("platform/pdf/document.h"), QString() },
        { QStringLiteral("platform/rtc/engine.h"), QString() },
        { QStringLiteral("utility/helper.h"), QString() },
        { QStringLiteral("utility/widget/imageutil.h"), QString() },
        { QStringLiteral("mgr/http/holder.h"), QString() },
        { QStringLiteral("mgr/http/networkimagereplyholder.h"), QString() },
        { QStringLiteral("mgr/baseapplication.h"), QString() },
        { QStringLiteral("widget/window.h"), QString() },
        { QStringLiteral("widget/newwindow.h"), QString() },
    };
    files.insert(file, text);

    QString output;
    const bool passed = runCheck(files, &output);
    if (refused.isEmpty()) {
        QVERIFY2(passed, qPrintable(output));
    } else {
        QVERIFY2(!passed, qPrintable(output));
        QVERIFY2(output.contains(refused), qPrintable(output));
    }
}

void TestLayerCheck::librariesNeedOnlyLowerLayers_data()
{
    QTest::addColumn<QString>("library");
    QTest::addColumn<QStringList>("forbidden");

    QTest::newRow("platform") << "liblessonry_platform.so"
                              << QStringList{ "liblessonry_core", "liblessonry_ui", "liblessonry_app", "libQt5Gui", "libQt5Widgets" };
    QTest::newRow("core") << "liblessonry_core.so" << QStringList{ "liblessonry_ui", "liblessonry_app", "libQt5Widgets" };
    QTest::newRow("ui") << "liblessonry_ui.so" << QStringList{ "liblessonry_app" };
    QTest::newRow("pdf stand-in") << "liblessonry_pdf.so"
                                  << QStringList{ "liblessonry_core", "liblessonry_ui", "liblessonry_app", "libQt5Widgets" };
}

void TestLayerCheck::librariesNeedOnlyLowerLayers()
{
    QFETCH(QString, library);
    QFETCH(QStringList, forbidden);

    QProcess readelf;
    readelf.start(QStringLiteral("readelf"), { QStringLiteral("-d"), QStringLiteral(LESSONRY_BIN_DIR "/") + library });
    QVERIFY(readelf.waitForFinished(30000));
    QCOMPARE(readelf.exitCode(), 0);
    const QString dynamic = QString::fromLocal8Bit(readelf.readAllStandardOutput());
    QVERIFY(dynamic.contains(QStringLiteral("(NEEDED)")));
    for (const QString &name : forbidden)
        QVERIFY2(!dynamic.contains(QLatin1Char('[') + name), qPrintable(library + QStringLiteral(" needs ") + name));
}

QTEST_GUILESS_MAIN(TestLayerCheck)

#include "tst_layercheck.moc"
