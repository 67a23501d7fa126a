#include <QApplication>
#include <QDir>
#include <QFileInfo>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QMouseEvent>
#include <QProcess>
#include <QPushButton>
#include <QRegularExpression>
#include <QScreen>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include "testutil.h"
#include "utility/appdirs.h"
#include "utility/widget/filedialogs.h"
#include "utility/widget/widgetcut.h"
#include "utility/widget/widgetscreen.h"
#include "xvfbdisplay.h"

namespace {

const char kOnDisplay[] = "LESSONRY_SCREENSHOT_ON_DISPLAY";

QImage testScreen()
{
    // Every pixel tells where it is, so a cut shows which part it took.
    QImage image(400, 300, QImage::Format_RGB32);
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x)
            image.setPixel(x, y, qRgb(x % 256, y % 256, (x / 256) * 100 + (y / 256) * 50));
    }
    return image;
}

void mouse(QWidget *target, QEvent::Type type, const QPoint &global, Qt::MouseButton button)
{
    const Qt::MouseButtons buttons = type == QEvent::MouseButtonRelease ? Qt::NoButton : Qt::MouseButtons(button);
    QMouseEvent event(type, target->mapFromGlobal(global), global, type == QEvent::MouseMove ? Qt::NoButton : button,
                      buttons, Qt::NoModifier);
    QApplication::sendEvent(target, &event);
}

void keyRelease(QWidget *target, int key)
{
    QKeyEvent event(QEvent::KeyRelease, key, Qt::NoModifier);
    QApplication::sendEvent(target, &event);
}

WidgetCut *openCut()
{
    for (QWidget *top : QApplication::topLevelWidgets()) {
        if (auto *cut = qobject_cast<WidgetCut *>(top); cut && cut->isVisible())
            return cut;
    }
    return nullptr;
}

QStringList cutFiles()
{
    return QDir(getCutImageDir()).entryList(QDir::Files);
}

} // namespace

// The screenshot tool's parts that need no screen: the geometry helpers, the
// cut window's size text, send and save from a given picture with their
// failures, and the tool without a screen picture. The tool on a real
// screen runs in a child process on a private Xvfb display.
class TestWidgetScreen : public QObject
{
    Q_OBJECT

private slots:
    void cleanup();
    void selectionFromAnyCorner_data();
    void selectionFromAnyCorner();
    void cutWindowGeometry_data();
    void cutWindowGeometry();
    void noScreenPictureEndsAtOnce();
    void sendWritesTheCut();
    void sendFailuresGiveNoResult_data();
    void sendFailuresGiveNoResult();
    void saveIsNeverSent();
    void closingGivesNoResult_data();
    void closingGivesNoResult();
    void onARealDisplay();
};

void TestWidgetScreen::cleanup()
{
    FileDialogs::setSaveHandler({});
    QDir(getCutImageDir()).removeRecursively();
}

void TestWidgetScreen::selectionFromAnyCorner_data()
{
    QTest::addColumn<QPoint>("press");
    QTest::addColumn<QPoint>("current");
    QTest::newRow("top-left to bottom-right") << QPoint(10, 20) << QPoint(110, 70);
    QTest::newRow("bottom-right to top-left") << QPoint(110, 70) << QPoint(10, 20);
    QTest::newRow("top-right to bottom-left") << QPoint(110, 20) << QPoint(10, 70);
    QTest::newRow("bottom-left to top-right") << QPoint(10, 70) << QPoint(110, 20);
}

void TestWidgetScreen::selectionFromAnyCorner()
{
    QFETCH(QPoint, press);
    QFETCH(QPoint, current);
    QCOMPARE(WidgetScreen::selectionRect(press, current), QRect(10, 20, 100, 50));
}

void TestWidgetScreen::cutWindowGeometry_data()
{
    QTest::addColumn<QRect>("selection");
    QTest::addColumn<QRect>("window");
    QTest::addColumn<QString>("text");
    QTest::newRow("full hd") << QRect(0, 20, 1920, 1080) << QRect(0, 0, 1920, 1125) << "1920 * 1080";
    QTest::newRow("small") << QRect(300, 200, 150, 40) << QRect(300, 180, 150, 85) << "150 * 40";
    // Narrower than the tool bar: the buttons stay reachable.
    QTest::newRow("thin") << QRect(5, 25, 30, 200) << QRect(5, 5, 105, 245) << "30 * 200";
    QTest::newRow("empty") << QRect(5, 25, 0, 0) << QRect(5, 5, 105, 45) << "0 * 0";
}

void TestWidgetScreen::cutWindowGeometry()
{
    QFETCH(QRect, selection);
    QFETCH(QRect, window);
    QFETCH(QString, text);
    QCOMPARE(WidgetCut::windowRectFor(selection), window);
    WidgetCut cut;
    cut.setCutSize(selection.width(), selection.height());
    cut.move(selection.left(), selection.top() - WidgetCut::kLabelHeight);
    QCOMPARE(cut.size(), window.size());
    QCOMPARE(cut.findChild<QLabel *>(QStringLiteral("label"))->text(), text);
    QCOMPARE(cut.findChild<QWidget *>(QStringLiteral("widget"))->size(), selection.size());
    QCOMPARE(cut.selectionOnScreen(), selection);
}

// Offscreen the grab is null: the tool ends at once with an empty result,
// and nothing is written (least of all into the home folder).
void TestWidgetScreen::noScreenPictureEndsAtOnce()
{
    WidgetScreen screen;
    QSignalSpy quit(&screen, &WidgetScreen::signal_quit);
    screen.grabScreen();
    QVERIFY(quit.wait());
    QCOMPARE(quit.count(), 1);
    QCOMPARE(quit.first().at(0).toString(), QString());
    QVERIFY(screen.hasEnded());
    QVERIFY(!screen.isVisible());
    QVERIFY(!QFileInfo::exists(QDir::homePath() + QStringLiteral("/screen.png")));
    // Later input changes nothing.
    keyRelease(&screen, Qt::Key_Escape);
    QCOMPARE(quit.count(), 1);
}

// Send writes the selected part under a 17-digit time name in the cut
// folder and hands back that path.
void TestWidgetScreen::sendWritesTheCut()
{
    WidgetCut cut;
    cut.setScreenImage(testScreen(), QPoint(0, 0));
    cut.setCutSize(50, 40);
    cut.move(30, 60 - WidgetCut::kLabelHeight);
    QSignalSpy quit(&cut, &WidgetCut::signal_quit);
    cut.findChild<QPushButton *>(QStringLiteral("btnSend"))->click();
    QCOMPARE(quit.count(), 1);
    const QString path = quit.first().at(0).toString();
    QCOMPARE(QFileInfo(path).absolutePath(), QFileInfo(getCutImageDir()).absoluteFilePath());
    QVERIFY2(QRegularExpression(QStringLiteral("^\\d{17}\\.png$")).match(QFileInfo(path).fileName()).hasMatch(),
             qPrintable(path));
    const QImage written(path);
    QCOMPARE(written.size(), QSize(50, 40));
    QCOMPARE(written.pixel(0, 0), testScreen().pixel(30, 60));
    QCOMPARE(written.pixel(49, 39), testScreen().pixel(79, 99));
    // A second cut in the same folder never takes the first one's file.
    QFile first(WidgetCut::sendFilePath(getCutImageDir()));
    QVERIFY(first.open(QIODevice::WriteOnly));
    first.close();
    QVERIFY(WidgetCut::sendFilePath(getCutImageDir()) != first.fileName());
}

void TestWidgetScreen::sendFailuresGiveNoResult_data()
{
    QTest::addColumn<QString>("failure");
    QTest::newRow("empty selection") << "empty";
    QTest::newRow("no screen picture") << "null";
    QTest::newRow("folder cannot be written") << "unwritable";
}

// Whatever keeps the PNG from being written, the result is empty: the chat
// never uploads a file that does not exist.
void TestWidgetScreen::sendFailuresGiveNoResult()
{
    QFETCH(QString, failure);
    WidgetCut cut;
    cut.setScreenImage(failure == QLatin1String("null") ? QImage() : testScreen(), QPoint(0, 0));
    cut.setCutSize(failure == QLatin1String("empty") ? 0 : 20, failure == QLatin1String("empty") ? 0 : 20);
    cut.move(10, 10);
    if (failure == QLatin1String("unwritable")) {
        // A file where the folder should be: nothing can be written in it.
        const QString folder = getCutImageDir();
        QDir(folder).removeRecursively();
        QFile blocker(folder);
        QVERIFY(blocker.open(QIODevice::WriteOnly));
        blocker.close();
    }
    QSignalSpy quit(&cut, &WidgetCut::signal_quit);
    cut.slot_Send();
    QCOMPARE(quit.count(), 1);
    QCOMPARE(quit.first().at(0).toString(), QString());
    if (failure == QLatin1String("unwritable"))
        QFile::remove(getCutImageDir());
    else
        QCOMPARE(cutFiles(), QStringList());
}

// Saving writes the user's file and ends with an empty result; a cancelled
// save dialog writes nothing and ends the same way.
void TestWidgetScreen::saveIsNeverSent()
{
    QTemporaryDir folder;
    QString answer = folder.filePath(QStringLiteral("mine.png"));
    QStringList captions;
    FileDialogs::setSaveHandler([&](const FileDialogs::Request &request) {
        captions << request.caption;
        return answer;
    });
    for (int round = 0; round < 2; ++round) {
        WidgetCut cut;
        cut.setScreenImage(testScreen(), QPoint(0, 0));
        cut.setCutSize(25, 15);
        cut.move(0, 0);
        QSignalSpy quit(&cut, &WidgetCut::signal_quit);
        cut.findChild<QPushButton *>(QStringLiteral("btnSave"))->click();
        QCOMPARE(quit.count(), 1);
        QCOMPARE(quit.first().at(0).toString(), QString());
        answer.clear();
    }
    QCOMPARE(captions.size(), 2);
    QCOMPARE(QImage(folder.filePath(QStringLiteral("mine.png"))).size(), QSize(25, 15));
    QCOMPARE(QDir(folder.path()).entryList(QDir::Files).size(), 1);
    QCOMPARE(cutFiles(), QStringList());
}

void TestWidgetScreen::closingGivesNoResult_data()
{
    QTest::addColumn<QString>("how");
    QTest::newRow("cancel button") << "cancel";
    QTest::newRow("escape") << "escape";
    QTest::newRow("right button") << "right";
}

void TestWidgetScreen::closingGivesNoResult()
{
    QFETCH(QString, how);
    WidgetCut cut;
    cut.setScreenImage(testScreen(), QPoint(0, 0));
    cut.setCutSize(25, 15);
    QSignalSpy quit(&cut, &WidgetCut::signal_quit);
    if (how == QLatin1String("cancel"))
        cut.findChild<QPushButton *>(QStringLiteral("btnCancel"))->click();
    else if (how == QLatin1String("escape"))
        keyRelease(&cut, Qt::Key_Escape);
    else
        mouse(&cut, QEvent::MouseButtonRelease, cut.mapToGlobal(QPoint(5, 30)), Qt::RightButton);
    QCOMPARE(quit.count(), 1);
    QCOMPARE(quit.first().at(0).toString(), QString());
    cut.slot_Send();
    QCOMPARE(quit.count(), 1);
    QCOMPARE(cutFiles(), QStringList());
}

// The same executable on a private Xvfb display (see main()).
void TestWidgetScreen::onARealDisplay()
{
    XvfbDisplay display;
    QVERIFY(display.start());
    QProcess child;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("xcb"));
    environment.insert(QStringLiteral("DISPLAY"), display.display());
    environment.insert(QLatin1String(kOnDisplay), QStringLiteral("1"));
    child.setProcessEnvironment(environment);
    // Into a file: a full pipe would stop the child in the middle.
    QTemporaryDir logs;
    const QString log = logs.filePath(QStringLiteral("child.txt"));
    child.setProcessChannelMode(QProcess::MergedChannels);
    child.setStandardOutputFile(log);
    child.start(QCoreApplication::applicationFilePath(), { QStringLiteral("-silent") });
    QVERIFY(child.waitForStarted());
    const bool ended = child.waitForFinished(120000);
    if (!ended) {
        child.kill();
        child.waitForFinished(5000);
    }
    QFile file(log);
    file.open(QIODevice::ReadOnly);
    const QByteArray output = file.readAll();
    QVERIFY2(ended && child.exitStatus() == QProcess::NormalExit && child.exitCode() == 0, output.constData());
}

// The tool on a real screen: it grabs, shows the dimmed picture, and a drag
// opens the cut window on the selection, whose buttons and keys end it.
class TestWidgetScreenOnDisplay : public QObject
{
    Q_OBJECT

private slots:
    void cleanup();
    void dragFromAnyCorner_data();
    void dragFromAnyCorner();
    void rightDragAndEscapeGiveNoResult_data();
    void rightDragAndEscapeGiveNoResult();
    void clickWithoutMoveOpensNothing();
    void pressAtOriginCountsAsNone();

private:
    // Drags on the overlay and, once the cut window is open, runs action on it.
    QString dragAndThen(WidgetScreen &screen, const QPoint &from, const QPoint &to,
                        const std::function<void(WidgetCut *)> &action, QRect *cutGeometry = nullptr);
};

void TestWidgetScreenOnDisplay::cleanup()
{
    FileDialogs::setSaveHandler({});
    QDir(getCutImageDir()).removeRecursively();
}

QString TestWidgetScreenOnDisplay::dragAndThen(WidgetScreen &screen, const QPoint &from, const QPoint &to,
                                               const std::function<void(WidgetCut *)> &action, QRect *cutGeometry)
{
    QSignalSpy quit(&screen, &WidgetScreen::signal_quit);
    mouse(&screen, QEvent::MouseButtonPress, from, Qt::LeftButton);
    mouse(&screen, QEvent::MouseMove, (from + to) / 2, Qt::LeftButton);
    mouse(&screen, QEvent::MouseMove, to, Qt::LeftButton);
    // The release runs the cut window's loop: act from inside it.
    QTimer::singleShot(0, [&] {
        WidgetCut *cut = openCut();
        if (!cut) {
            qWarning("no cut window");
            return;
        }
        if (cutGeometry)
            *cutGeometry = QRect(cut->pos(), cut->size());
        action(cut);
    });
    mouse(&screen, QEvent::MouseButtonRelease, to, Qt::LeftButton);
    return quit.count() == 1 ? quit.first().at(0).toString() : QStringLiteral("<no single result>");
}

void TestWidgetScreenOnDisplay::dragFromAnyCorner_data()
{
    QTest::addColumn<QPoint>("from");
    QTest::addColumn<QPoint>("to");
    QTest::addColumn<QString>("action");
    QTest::newRow("down-right, send") << QPoint(200, 150) << QPoint(500, 350) << "send";
    QTest::newRow("up-left, send") << QPoint(500, 350) << QPoint(200, 150) << "send";
    QTest::newRow("down-left, cancel") << QPoint(500, 150) << QPoint(200, 350) << "cancel";
    QTest::newRow("up-right, save") << QPoint(200, 350) << QPoint(500, 150) << "save";
    QTest::newRow("escape on the cut window") << QPoint(200, 150) << QPoint(500, 350) << "escape";
    QTest::newRow("right click on the cut window") << QPoint(200, 150) << QPoint(500, 350) << "right";
}

void TestWidgetScreenOnDisplay::dragFromAnyCorner()
{
    QFETCH(QPoint, from);
    QFETCH(QPoint, to);
    QFETCH(QString, action);
    QTemporaryDir folder;
    const QString saved = folder.filePath(QStringLiteral("saved.png"));
    FileDialogs::setSaveHandler([&](const FileDialogs::Request &) { return saved; });

    WidgetScreen screen;
    screen.grabScreen();
    QVERIFY(screen.isVisible());
    QCOMPARE(screen.geometry(), QGuiApplication::primaryScreen()->geometry());
    QVERIFY(!QFileInfo::exists(QDir::homePath() + QStringLiteral("/screen.png")));
    QString sizeText;
    QRect cutGeometry;
    const QString result = dragAndThen(screen, from, to, [&](WidgetCut *cut) {
        sizeText = cut->findChild<QLabel *>(QStringLiteral("label"))->text();
        if (action == QLatin1String("send"))
            cut->findChild<QPushButton *>(QStringLiteral("btnSend"))->click();
        else if (action == QLatin1String("save"))
            cut->findChild<QPushButton *>(QStringLiteral("btnSave"))->click();
        else if (action == QLatin1String("cancel"))
            cut->findChild<QPushButton *>(QStringLiteral("btnCancel"))->click();
        else if (action == QLatin1String("escape"))
            keyRelease(cut, Qt::Key_Escape);
        else
            mouse(cut, QEvent::MouseButtonRelease, cut->mapToGlobal(QPoint(10, 40)), Qt::RightButton);
    }, &cutGeometry);
    QCOMPARE(sizeText, QStringLiteral("300 * 200"));
    QCOMPARE(cutGeometry, QRect(200, 130, 300, 245));
    QVERIFY(screen.hasEnded());
    QVERIFY(!screen.isVisible());
    if (action == QLatin1String("send")) {
        QVERIFY2(QRegularExpression(QStringLiteral("/\\d{17}\\.png$")).match(result).hasMatch(), qPrintable(result));
        QCOMPARE(QImage(result).size(), QSize(300, 200));
    } else {
        QCOMPARE(result, QString());
        QCOMPARE(cutFiles(), QStringList());
    }
    QCOMPARE(QFileInfo::exists(saved), action == QLatin1String("save"));
}

void TestWidgetScreenOnDisplay::rightDragAndEscapeGiveNoResult_data()
{
    QTest::addColumn<bool>("escape");
    QTest::newRow("right-button drag") << false;
    QTest::newRow("escape") << true;
}

void TestWidgetScreenOnDisplay::rightDragAndEscapeGiveNoResult()
{
    QFETCH(bool, escape);
    WidgetScreen screen;
    QSignalSpy quit(&screen, &WidgetScreen::signal_quit);
    screen.grabScreen();
    if (escape) {
        keyRelease(&screen, Qt::Key_Escape);
    } else {
        mouse(&screen, QEvent::MouseButtonPress, QPoint(50, 50), Qt::RightButton);
        mouse(&screen, QEvent::MouseMove, QPoint(150, 120), Qt::RightButton);
        mouse(&screen, QEvent::MouseButtonRelease, QPoint(150, 120), Qt::RightButton);
    }
    QCOMPARE(quit.count(), 1);
    QCOMPARE(quit.first().at(0).toString(), QString());
    QVERIFY(!openCut());
    QVERIFY(!screen.isVisible());
}

void TestWidgetScreenOnDisplay::clickWithoutMoveOpensNothing()
{
    WidgetScreen screen;
    QSignalSpy quit(&screen, &WidgetScreen::signal_quit);
    screen.grabScreen();
    mouse(&screen, QEvent::MouseButtonPress, QPoint(80, 80), Qt::LeftButton);
    mouse(&screen, QEvent::MouseButtonRelease, QPoint(80, 80), Qt::LeftButton);
    QCOMPARE(quit.count(), 0);
    QVERIFY(!openCut());
    QVERIFY(screen.isVisible());
    keyRelease(&screen, Qt::Key_Escape);
    QCOMPARE(quit.count(), 1);
}

// A press exactly on the screen's first pixel counts as none: the moves
// after it select nothing.
void TestWidgetScreenOnDisplay::pressAtOriginCountsAsNone()
{
    WidgetScreen screen;
    screen.grabScreen();
    mouse(&screen, QEvent::MouseButtonPress, QPoint(0, 0), Qt::LeftButton);
    mouse(&screen, QEvent::MouseMove, QPoint(100, 100), Qt::LeftButton);
    QVERIFY(!screen.findChild<QLabel *>(QStringLiteral("labelCutImage"))->isVisible());
    QCOMPARE(screen.selection(), QRect());
    keyRelease(&screen, Qt::Key_Escape);
}

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    if (qEnvironmentVariableIsSet(kOnDisplay)) {
        TestWidgetScreenOnDisplay onDisplay;
        return QTest::qExec(&onDisplay, argc, argv);
    }
    TestWidgetScreen offscreen;
    return QTest::qExec(&offscreen, argc, argv);
}

#include "tst_widgetscreen.moc"
