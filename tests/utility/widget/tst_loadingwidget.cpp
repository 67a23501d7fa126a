#include "utility/widget/loadingwidget.h"

#include <QLabel>
#include <QListWidget>
#include <QMovie>
#include <QPushButton>
#include <QSignalSpy>
#include <QTranslator>
#include <QVBoxLayout>
#include <QTest>

namespace {

// A list and the panel that stands in for it, sharing one layout.
struct ListWithPanel
{
    ListWithPanel()
    {
        window.resize(600, 400);
        layout = new QVBoxLayout(&window);
        list = new QListWidget(&window);
        layout->addWidget(list);
        panel = new LoadingWidget(layout, &window);
        window.show();
    }

    QWidget *page(const char *name) const { return panel->findChild<QWidget *>(QLatin1String(name)); }

    QWidget window;
    QVBoxLayout *layout;
    QListWidget *list;
    LoadingWidget *panel;
};

} // namespace

class TestLoadingWidget : public QObject
{
    Q_OBJECT

private slots:
    void startsShowingTheContent();
    void states_data();
    void states();
    void unknownStateKeepsPage_data();
    void unknownStateKeepsPage();
    void panelAloneInLayout();
    void standaloneOverlay();
    void retryEmitsReloadAndKeepsPage();
    void stateTexts();
    void animationRunsOnlyWhileLoading();
    void styleColors();
    void chineseTexts();
};

void TestLoadingWidget::startsShowingTheContent()
{
    ListWithPanel f;
    QCOMPARE(f.panel->getLoadingState(), 3);
    QCOMPARE(f.layout->indexOf(f.panel), 1);
    QVERIFY(f.list->isVisible());
    QVERIFY(!f.panel->isVisible());

    // Out of the box the pages are see-through: the window shows behind
    // the animation.
    f.panel->setLoadingState(0);
    QWidget *page = f.page("widgetLoading");
    const QImage image = f.window.grab().toImage();
    QCOMPARE(QColor(image.pixel(page->mapTo(&f.window, QPoint(2, 2)))),
             f.window.palette().color(QPalette::Window));
}

void TestLoadingWidget::states_data()
{
    QTest::addColumn<int>("state");
    QTest::addColumn<bool>("contentShown");
    QTest::addColumn<QString>("page"); // the one page shown, empty for none

    QTest::newRow("loading") << 0 << false << "widgetLoading";
    QTest::newRow("network failure") << 1 << false << "widgetLoadingFailure";
    QTest::newRow("no data") << 2 << false << "widgetNoData";
    QTest::newRow("content") << 3 << true << "";
    QTest::newRow("hidden") << 4 << true << "";
}

void TestLoadingWidget::states()
{
    QFETCH(int, state);
    QFETCH(bool, contentShown);
    QFETCH(QString, page);

    ListWithPanel f;
    // From every other state, so no page is left over from before.
    for (int from : { 0, 1, 2, 3, 4 }) {
        f.panel->setLoadingState(from);
        f.panel->setLoadingState(state);
        QCOMPARE(f.panel->getLoadingState(), state);
        QCOMPARE(f.list->isVisible(), contentShown);
        QCOMPARE(f.panel->isVisible(), !contentShown);
        for (const char *name : { "widgetLoading", "widgetLoadingFailure", "widgetNoData" })
            QCOMPARE(f.page(name)->isVisibleTo(f.panel), page == QLatin1String(name));
    }
}

void TestLoadingWidget::unknownStateKeepsPage_data()
{
    QTest::addColumn<int>("state");
    QTest::newRow("above 4") << 7;
    QTest::newRow("negative") << -1;
}

void TestLoadingWidget::unknownStateKeepsPage()
{
    QFETCH(int, state);

    ListWithPanel f;
    f.panel->setLoadingState(1);
    f.panel->setLoadingState(state);
    QCOMPARE(f.panel->getLoadingState(), state);
    QVERIFY(f.page("widgetLoadingFailure")->isVisible());
    QVERIFY(!f.page("widgetLoading")->isVisible());
    QVERIFY(!f.page("widgetNoData")->isVisible());
    QVERIFY(!f.list->isVisible());
    QVERIFY(f.panel->isVisible());
}

void TestLoadingWidget::panelAloneInLayout()
{
    QWidget window;
    QVBoxLayout *layout = new QVBoxLayout(&window);
    LoadingWidget *panel = new LoadingWidget(layout, &window);
    window.show();
    panel->setLoadingState(0);
    QVERIFY(panel->isVisible());
    panel->setLoadingState(3);
    QVERIFY(!panel->isVisible());
}

void TestLoadingWidget::standaloneOverlay()
{
    QWidget window;
    window.resize(600, 400);
    window.show();
    LoadingWidget *panel = new LoadingWidget(&window);
    QCOMPARE(panel->windowModality(), Qt::WindowModal);
    QVERIFY(!panel->isVisible());
    panel->setLoadingState(0);
    QVERIFY(panel->isVisible());
    panel->setLoadingState(4);
    QVERIFY(!panel->isVisible());
    panel->setLoadingState(2);
    QVERIFY(panel->isVisible());
}

void TestLoadingWidget::retryEmitsReloadAndKeepsPage()
{
    ListWithPanel f;
    f.panel->setLoadingState(1);
    QSignalSpy reload(f.panel, &LoadingWidget::signal_reload);
    QPushButton *retry = f.panel->findChild<QPushButton *>(QStringLiteral("pushButtonReload"));
    QVERIFY(retry);
    QTest::mouseClick(retry, Qt::LeftButton);
    QCOMPARE(reload.count(), 1);
    QCOMPARE(f.panel->getLoadingState(), 1);
    QVERIFY(f.page("widgetLoadingFailure")->isVisible());
}

void TestLoadingWidget::stateTexts()
{
    ListWithPanel f;
    const char *labels[] = { "labelLoadingNum", "labelLoadingFailure", "labelLoadingNoData" };
    QCOMPARE(f.panel->findChild<QLabel *>(QLatin1String(labels[0]))->text(), QStringLiteral("Loading..."));
    QCOMPARE(f.panel->findChild<QLabel *>(QLatin1String(labels[1]))->text(), QStringLiteral("The network is busy"));
    QCOMPARE(f.panel->findChild<QLabel *>(QLatin1String(labels[2]))->text(), QStringLiteral("There is nothing"));

    for (int state = 0; state < 3; ++state) {
        const QString text = QStringLiteral("text %1").arg(state);
        f.panel->setStateText(text, state);
        QCOMPARE(f.panel->findChild<QLabel *>(QLatin1String(labels[state]))->text(), text);
    }
    f.panel->setStateText(QStringLiteral("ignored"), 3);
    f.panel->setStateText(QStringLiteral("ignored"), -1);
    for (int state = 0; state < 3; ++state)
        QCOMPARE(f.panel->findChild<QLabel *>(QLatin1String(labels[state]))->text(), QStringLiteral("text %1").arg(state));
}

// The animation runs only while the loading page is on screen: a panel that
// shows its content (or is hidden with its window) does not wake the
// client; another animation replaces the first instead of running beside it.
void TestLoadingWidget::animationRunsOnlyWhileLoading()
{
    ListWithPanel f;
    QLabel *animation = f.panel->findChild<QLabel *>(QStringLiteral("labelClassLoading"));
    QVERIFY(animation->movie());
    QCOMPARE(animation->movie()->fileName(), QStringLiteral(":/image/class/classLoading.gif"));
    QVERIFY(animation->movie()->isValid());
    QCOMPARE(animation->movie()->state(), QMovie::NotRunning);

    f.panel->setLoadingState(LoadingWidget::StateLoading);
    QCOMPARE(animation->movie()->state(), QMovie::Running);
    f.window.hide();
    QCOMPARE(animation->movie()->state(), QMovie::NotRunning);
    f.window.show();
    QCOMPARE(animation->movie()->state(), QMovie::Running);

    f.panel->playGif(QStringLiteral(":/image/class/classLoading_greyBG.gif"));
    QCOMPARE(animation->movie()->fileName(), QStringLiteral(":/image/class/classLoading_greyBG.gif"));
    QVERIFY(animation->movie()->isValid());
    QVERIFY(animation->movie()->frameCount() > 1);
    QCOMPARE(animation->movie()->state(), QMovie::Running);
    QCOMPARE(f.panel->findChildren<QMovie *>().size(), 1);

    for (int state : { LoadingWidget::StateNetworkFailure, LoadingWidget::StateNoData, LoadingWidget::StateContent,
                       LoadingWidget::StateHidden }) {
        f.panel->setLoadingState(state);
        QCOMPARE(animation->movie()->state(), QMovie::NotRunning);
    }
}

void TestLoadingWidget::styleColors()
{
    ListWithPanel f;
    // The colours the course window uses for its overlay.
    f.panel->setStyleColor(QStringLiteral("#ffffff"), QStringLiteral(" rgb(70, 68, 68)"),
                           QStringLiteral("rgba(70, 68, 68, 0.2)"));
    QCOMPARE(f.panel->findChild<QLabel *>(QStringLiteral("labelLoadingNum"))->styleSheet(),
             QStringLiteral("QLabel\n{\ncolor:#ffffff;\nfont-size:18px;\n}\n"));
    QCOMPARE(f.panel->findChild<QLabel *>(QStringLiteral("labelLoadingNoData"))->styleSheet(),
             QStringLiteral("QLabel\n{\ncolor:#ffffff;\nfont-size:14px;\n}\n"));
    QCOMPARE(f.page("widgetLoading")->styleSheet(), QStringLiteral("QWidget\n{\nbackground-color:rgb(70, 68, 68);\n}\n"));
    QCOMPARE(f.page("widget")->styleSheet(), QStringLiteral("QWidget\n{\nbackground-color:rgba(70, 68, 68, 0.2);\n}\n"));

    // On screen: the loading page is filled with the page colour.
    f.panel->setStyleColor(QStringLiteral("#ffffff"), QStringLiteral("#123456"), QStringLiteral("rgba(0, 0, 0, 0)"));
    f.panel->setLoadingState(0);
    QWidget *page = f.page("widgetLoading");
    const QImage image = f.window.grab().toImage();
    QCOMPARE(QColor(image.pixel(page->mapTo(&f.window, QPoint(2, 2)))), QColor(0x12, 0x34, 0x56));
    QCOMPARE(QColor(image.pixel(page->mapTo(&f.window, QPoint(page->width() - 3, page->height() - 3)))),
             QColor(0x12, 0x34, 0x56));

    // And the retry button keeps its own colour.
    f.panel->setLoadingState(1);
    QPushButton *retry = f.panel->findChild<QPushButton *>(QStringLiteral("pushButtonReload"));
    QCOMPARE(retry->size(), QSize(120, 34));
    QCOMPARE(QColor(retry->grab().toImage().pixel(60, 4)), QColor(0xf0, 0x64, 0x50));
}

void TestLoadingWidget::chineseTexts()
{
    QTranslator translator;
    QVERIFY(translator.load(QStringLiteral(":/languages/change_language_CN.qm")));
    QCoreApplication::installTranslator(&translator);
    ListWithPanel f;
    QCoreApplication::removeTranslator(&translator);

    QCOMPARE(f.panel->findChild<QLabel *>(QStringLiteral("labelLoadingNum"))->text(), QStringLiteral("加载中..."));
    QCOMPARE(f.panel->findChild<QLabel *>(QStringLiteral("labelLoadingFailure"))->text(), QStringLiteral("网络繁忙"));
    QCOMPARE(f.panel->findChild<QLabel *>(QStringLiteral("labelLoadingNoData"))->text(), QStringLiteral("暂无内容"));
    QCOMPARE(f.panel->findChild<QPushButton *>(QStringLiteral("pushButtonReload"))->text(), QStringLiteral("点击重试"));
}

QTEST_MAIN(TestLoadingWidget)
#include "tst_loadingwidget.moc"
