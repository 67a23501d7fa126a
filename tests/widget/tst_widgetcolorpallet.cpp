// The pen colour palette: its twelve buttons, the choice and its signals,
// the action record, the selected look, and hiding on leave.
#include "utility/actionlog.h"
#include "utility/globalconstants.h"
#include "widget/colorbutton.h"
#include "widget/widgetcolorpallet.h"

#include <QFile>
#include <QGridLayout>
#include <QLabel>
#include <QPushButton>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

#include <algorithm>

namespace {

QList<ColorButton *> buttonsOf(const WidgetColorPallet &pallet)
{
    QList<ColorButton *> buttons = pallet.findChildren<ColorButton *>();
    std::sort(buttons.begin(), buttons.end(),
              [](const ColorButton *a, const ColorButton *b) { return a->getIndex() < b->getIndex(); });
    return buttons;
}

QList<int> selectedIndices(const WidgetColorPallet &pallet)
{
    QList<int> selected;
    for (const ColorButton *button : buttonsOf(pallet)) {
        if (button->isSelected())
            selected << button->getIndex();
    }
    return selected;
}

QString style(int index, int offset)
{
    return QStringLiteral("border-image: url(:/image/class/%1) 0 0 0 %2 repeat").arg(g_penImages.at(index)).arg(offset);
}

} // namespace

class TestWidgetColorPallet : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void buildsTwelveButtonsWithRedSelected();
    void choosingAColourSignalsAndHides_data();
    void choosingAColourSignalsAndHides();
    void onlyTheChosenButtonLooksSelected();
    void choosingTheSelectedColourAgain();
    void leavingHidesWithoutAChoice();
    void closeButtonHides();
    void selectedLookShowsOnScreen();

private:
    QString actionLogText() const;

    QTemporaryDir m_dir;
    QString m_actionLog;
};

void TestWidgetColorPallet::initTestCase()
{
    m_actionLog = m_dir.filePath(QStringLiteral("test.action.log"));
    QVERIFY(ActionLog::instance()->init(m_actionLog));
}

QString TestWidgetColorPallet::actionLogText() const
{
    QFile file(m_actionLog);
    return file.open(QIODevice::ReadOnly) ? QString::fromUtf8(file.readAll()) : QString();
}

void TestWidgetColorPallet::buildsTwelveButtonsWithRedSelected()
{
    WidgetColorPallet pallet(nullptr);
    QVERIFY(pallet.windowFlags() & Qt::FramelessWindowHint);
    QCOMPARE(pallet.size(), QSize(522, 368));
    const QList<ColorButton *> buttons = buttonsOf(pallet);
    QCOMPARE(buttons.size(), 12);
    auto *grid = pallet.findChild<QGridLayout *>(QStringLiteral("gridLayout"));
    QVERIFY(grid);
    for (int i = 0; i < 12; ++i) {
        ColorButton *button = buttons.at(i);
        QCOMPARE(button->getIndex(), i);
        QCOMPARE(button->getColor(), g_penColors.at(i));
        QCOMPARE(button->isSelected(), i == 0);
        QCOMPARE(button->styleSheet(), style(i, i == 0 ? 80 : 0));
        QCOMPARE(grid->itemAtPosition(i / 4, i % 4)->widget(), button);
    }
    QCOMPARE(g_penColors.at(5), QColor(30, 101, 242));
    QCOMPARE(pallet.findChild<QLabel *>(QStringLiteral("label"))->text(), QStringLiteral("Select color"));
}

void TestWidgetColorPallet::choosingAColourSignalsAndHides_data()
{
    QTest::addColumn<int>("index");
    QTest::addColumn<QString>("info");
    QTest::newRow("Red") << 0 << QStringLiteral("{value:fff54330}");
    QTest::newRow("Blue") << 5 << QStringLiteral("{value:ff1e65f2}");
    QTest::newRow("Black") << 9 << QStringLiteral("{value:ff 0 0 0}");
    QTest::newRow("Gray") << 10 << QStringLiteral("{value:ff777777}");
    QTest::newRow("White") << 11 << QStringLiteral("{value:ffffffff}");
}

void TestWidgetColorPallet::choosingAColourSignalsAndHides()
{
    QFETCH(int, index);
    QFETCH(QString, info);
    WidgetColorPallet pallet(nullptr);
    pallet.show();
    QVERIFY(QTest::qWaitForWindowExposed(&pallet));

    // Colour first, then index, each once.
    QStringList order;
    QColor color;
    int chosenIndex = -1;
    connect(&pallet, &WidgetColorPallet::getColor, this, [&](QColor c) { order << "color"; color = c; });
    connect(&pallet, &WidgetColorPallet::signal_getColorIndex, this, [&](int i) { order << "index"; chosenIndex = i; });
    QSignalSpy hidden(&pallet, &WidgetColorPallet::signal_ColorPalletHidden);

    QTest::mouseClick(buttonsOf(pallet).at(index), Qt::LeftButton);
    QCOMPARE(order, QStringList({ "color", "index" }));
    QCOMPARE(color, g_penColors.at(index));
    QCOMPARE(chosenIndex, index);
    QVERIFY(!pallet.isVisible());
    QCOMPARE(hidden.count(), 1);
    const QString log = actionLogText();
    QVERIFY2(log.contains(QStringLiteral(",click_select_color,") + info), qPrintable(log.right(200)));
}

void TestWidgetColorPallet::onlyTheChosenButtonLooksSelected()
{
    WidgetColorPallet pallet(nullptr);
    const QList<ColorButton *> buttons = buttonsOf(pallet);
    buttons.at(5)->click();
    QCOMPARE(selectedIndices(pallet), QList<int>({ 5 }));
    buttons.at(2)->click();
    QCOMPARE(selectedIndices(pallet), QList<int>({ 2 }));
    for (const ColorButton *button : buttons)
        QCOMPARE(button->styleSheet(), style(button->getIndex(), button->getIndex() == 2 ? 80 : 0));
}

void TestWidgetColorPallet::choosingTheSelectedColourAgain()
{
    WidgetColorPallet pallet(nullptr);
    QSignalSpy colors(&pallet, &WidgetColorPallet::getColor);
    QSignalSpy indices(&pallet, &WidgetColorPallet::signal_getColorIndex);
    const QList<ColorButton *> buttons = buttonsOf(pallet);
    buttons.at(0)->click();
    buttons.at(0)->click();
    QCOMPARE(colors.count(), 2);
    QCOMPARE(indices.count(), 2);
    QCOMPARE(indices.at(1).at(0).toInt(), 0);
    QCOMPARE(selectedIndices(pallet), QList<int>({ 0 }));
    QCOMPARE(buttons.at(0)->styleSheet(), style(0, 80));
}

void TestWidgetColorPallet::leavingHidesWithoutAChoice()
{
    WidgetColorPallet pallet(nullptr);
    QSignalSpy shown(&pallet, &WidgetColorPallet::signal_ColorPalletShowed);
    QSignalSpy hidden(&pallet, &WidgetColorPallet::signal_ColorPalletHidden);
    QSignalSpy colors(&pallet, &WidgetColorPallet::getColor);
    QSignalSpy indices(&pallet, &WidgetColorPallet::signal_getColorIndex);
    pallet.show();
    QCOMPARE(shown.count(), 1);

    QEvent enter(QEvent::Enter);
    QApplication::sendEvent(&pallet, &enter);
    QCOMPARE(pallet.cursor().shape(), Qt::ArrowCursor);
    QVERIFY(pallet.isVisible());
    QEvent leave(QEvent::Leave);
    QApplication::sendEvent(&pallet, &leave);
    QVERIFY(!pallet.isVisible());
    QCOMPARE(hidden.count(), 1);
    QCOMPARE(colors.count(), 0);
    QCOMPARE(indices.count(), 0);
    QCOMPARE(selectedIndices(pallet), QList<int>({ 0 }));
}

void TestWidgetColorPallet::closeButtonHides()
{
    WidgetColorPallet pallet(nullptr);
    QSignalSpy hidden(&pallet, &WidgetColorPallet::signal_ColorPalletHidden);
    pallet.show();
    QTest::mouseClick(pallet.findChild<QPushButton *>(QStringLiteral("pushButtonClose")), Qt::LeftButton);
    QVERIFY(!pallet.isVisible());
    QCOMPARE(hidden.count(), 1);
}

void TestWidgetColorPallet::selectedLookShowsOnScreen()
{
    WidgetColorPallet pallet(nullptr);
    pallet.show();
    QVERIFY(QTest::qWaitForWindowExposed(&pallet));
    const QList<ColorButton *> buttons = buttonsOf(pallet);
    buttons.at(5)->click();
    pallet.show();

    // Every button shows its colour swatch in its middle; only the chosen
    // one has the dark ring around it, and nothing is drawn at its right
    // end, where the strip's next cell would show.
    const QColor ink(0x2f, 0x32, 0x44);
    for (ColorButton *button : buttons) {
        const QImage image = button->grab().toImage();
        const QPoint centre(55, 46);
        const QRgb swatch = image.pixel(centre + QPoint(-10, 0));
        QVERIFY2(swatch == button->getColor().rgb(), qPrintable(QString::number(swatch, 16)));
        const QRgb ring = image.pixel(centre + QPoint(22, 0));
        const bool ringed = std::abs(qRed(ring) - ink.red()) < 40 && std::abs(qBlue(ring) - ink.blue()) < 40
            && std::abs(qGreen(ring) - ink.green()) < 40;
        QCOMPARE(ringed, button->getIndex() == 5);
        QCOMPARE(image.pixel(image.width() - 3, 46), 0xFFFFFFFFu);
    }
}

QTEST_MAIN(TestWidgetColorPallet)
#include "tst_widgetcolorpallet.moc"
