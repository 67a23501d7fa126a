// The tiles' tool bars in the student program, where they only show the
// speaking level, and the level indicator itself.

#include "messagecatcher.h"

#include "widget/widgetvideotoolstudentrole.h"
#include "widget/widgetvideotoolteacherrole.h"
#include "widget/widgetvolumechange.h"

#include <QPushButton>
#include <QTest>

class TestWidgetVideoTool : public QObject
{
    Q_OBJECT

private slots:
    void levelHeights_data();
    void levelHeights();
    void levelOnlyAtItsSize();
    void studentProgramShowsOnlyTheLevel();

private:
    static QImage paint(WidgetVolumeChange &indicator);
};

QImage TestWidgetVideoTool::paint(WidgetVolumeChange &indicator)
{
    QImage image(indicator.size(), QImage::Format_ARGB32);
    image.fill(Qt::transparent);
    // Only what the indicator paints, not the window background behind it.
    indicator.render(&image, QPoint(), QRegion(), QWidget::DrawChildren);
    return image;
}

void TestWidgetVideoTool::levelHeights_data()
{
    QTest::addColumn<int>("level");
    QTest::addColumn<int>("dark");
    QTest::newRow("silent") << 0 << 0;
    QTest::newRow("half, truncated") << 128 << 12;
    QTest::newRow("full") << 255 << 24;
    // The engine's reports are other participants' numbers: held to range.
    QTest::newRow("above the range") << 100000 << 24;
    QTest::newRow("below the range") << -40 << 0;
}

void TestWidgetVideoTool::levelHeights()
{
    QFETCH(int, level);
    QFETCH(int, dark);
    WidgetVolumeChange indicator;
    indicator.resize(34, 34);
    indicator.setLevel(level);
    const QImage image = paint(indicator);
    const QColor darkColour(47, 50, 68);
    int darkRows = 0;
    int whiteRows = 0;
    for (int y = 0; y < 34; ++y) {
        const QColor pixel = image.pixelColor(16, y);
        if (pixel == darkColour)
            ++darkRows;
        else if (pixel == QColor(Qt::white))
            ++whiteRows;
    }
    QCOMPARE(darkRows, dark);
    // The column is 24 rows from y 5 to 28, dark from the bottom up.
    QCOMPARE(darkRows + whiteRows, 24);
    if (dark > 0)
        QCOMPARE(image.pixelColor(16, 28), darkColour);
    QCOMPARE(image.pixelColor(8, 20).alpha(), 0);
    QCOMPARE(image.pixelColor(25, 20).alpha(), 0);
}

void TestWidgetVideoTool::levelOnlyAtItsSize()
{
    MessageCatcher log;
    WidgetVolumeChange indicator;
    indicator.resize(34, 35);
    indicator.setLevel(255);
    const QImage image = paint(indicator);
    for (int y = 0; y < image.height(); ++y)
        QCOMPARE(image.pixelColor(16, y).alpha(), 0);
    QVERIFY(log.has(QtWarningMsg, QStringLiteral("widget's width and height is not equal 34.")));
}

void TestWidgetVideoTool::studentProgramShowsOnlyTheLevel()
{
    WidgetVideoToolStudentRole student;
    WidgetVideoToolTeacherRole teacher;
    for (bool hover : { false, true }) {
        student.showTool(hover, true);
        teacher.showTool(hover, true);
        QVERIFY(!student.findChild<QWidget *>(QStringLiteral("widget_bg"))->isHidden());
        for (const char *name : { "btnDraw", "btnPraise", "btnZoom", "btnVideo", "widget_spacer" })
            QVERIFY2(student.findChild<QWidget *>(QLatin1String(name))->isHidden(), name);
        QVERIFY(!student.findChild<QPushButton *>(QStringLiteral("btnAudio"))->isEnabled());
        QVERIFY(!teacher.findChild<QWidget *>(QStringLiteral("widget_bg"))->isHidden());
        QVERIFY(teacher.findChild<QWidget *>(QStringLiteral("btnVideo"))->isHidden());
        QVERIFY(!teacher.findChild<QPushButton *>(QStringLiteral("btnAudio"))->isEnabled());
    }
    // Out of the channel not even the level shows.
    student.showTool(true, false);
    teacher.showTool(true, false);
    QVERIFY(student.findChild<QWidget *>(QStringLiteral("widget_bg"))->isHidden());
    QVERIFY(teacher.findChild<QWidget *>(QStringLiteral("widget_bg"))->isHidden());
}

QTEST_MAIN(TestWidgetVideoTool)
#include "tst_widgetvideotool.moc"
