#include "utility/widget/clickablelabel.h"
#include "utility/widget/closesignalwidget.h"
#include "utility/widget/ellipsislabel.h"
#include "utility/widget/usercheckbox.h"

#include <QCloseEvent>
#include <QSignalSpy>
#include <QTest>

namespace {

// Subclasses announce their closing themselves.
class ClosingPanel : public CloseSignalWidget
{
protected:
    void closeEvent(QCloseEvent *event) override
    {
        emit signal_close();
        CloseSignalWidget::closeEvent(event);
    }
};

} // namespace

class TestSmallWidgets : public QObject
{
    Q_OBJECT

private slots:
    void clickableLabelClick();
    void clickableLabelDragOff();
    void clickableLabelReleaseWithoutPress();
    void ellipsisLabel();
    void ellipsisLabelPaintsElidedText();
    void userCheckBox_data();
    void userCheckBox();
    void userCheckBoxReportsCurrentUid();
    void closeSignalWidget();
};

void TestSmallWidgets::clickableLabelClick()
{
    ClickableLabel label;
    label.resize(80, 20);
    QSignalSpy pressed(&label, &ClickableLabel::pressed);
    QSignalSpy clicked(&label, &ClickableLabel::clicked);

    QTest::mousePress(&label, Qt::LeftButton);
    QCOMPARE(pressed.count(), 1);
    QCOMPARE(clicked.count(), 0);
    QTest::mouseRelease(&label, Qt::LeftButton);
    QCOMPARE(clicked.count(), 1);
    QVERIFY(label.toggleState());

    QTest::mouseClick(&label, Qt::LeftButton);
    QCOMPARE(clicked.count(), 2);
    QVERIFY(!label.toggleState());
}

void TestSmallWidgets::clickableLabelDragOff()
{
    QWidget window;
    window.resize(300, 100);
    ClickableLabel *label = new ClickableLabel(&window);
    label->setGeometry(10, 10, 80, 20);
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    QSignalSpy clicked(label, &ClickableLabel::clicked);

    // The release goes to the label that took the press.
    QTest::mousePress(window.windowHandle(), Qt::LeftButton, Qt::NoModifier, QPoint(30, 20));
    QTest::mouseMove(window.windowHandle(), QPoint(200, 70));
    QTest::mouseRelease(window.windowHandle(), Qt::LeftButton, Qt::NoModifier, QPoint(200, 70));
    QCOMPARE(clicked.count(), 1);
    QVERIFY(label->toggleState());
}

void TestSmallWidgets::clickableLabelReleaseWithoutPress()
{
    ClickableLabel label;
    QSignalSpy clicked(&label, &ClickableLabel::clicked);
    QTest::mouseRelease(&label, Qt::LeftButton);
    QCOMPARE(clicked.count(), 0);
    QVERIFY(label.toggleState());
}

void TestSmallWidgets::ellipsisLabel()
{
    EllipsisLabel label;
    QCOMPARE(label.sizePolicy().horizontalPolicy(), QSizePolicy::Ignored);
    const QString text = QStringLiteral("Introduction to fractions and decimals, lesson four");
    const int fullWidth = label.fontMetrics().horizontalAdvance(text);

    label.resize(fullWidth / 3, 22);
    label.show();
    QVERIFY(QTest::qWaitForWindowExposed(&label));
    label.setFullText(text);
    QCOMPARE(label.text(), text);
    const QString narrow = label.elidedText();
    QVERIFY(narrow.endsWith(QChar(0x2026)));
    QVERIFY(label.fontMetrics().horizontalAdvance(narrow) <= label.width());
    // The label never asks for the width of its whole text.
    QCOMPARE(label.sizePolicy().horizontalPolicy(), QSizePolicy::Ignored);

    label.resize(fullWidth * 2 / 3, 22);
    const QString wider = label.elidedText();
    QVERIFY(wider.endsWith(QChar(0x2026)));
    QVERIFY(wider.length() > narrow.length());

    label.resize(fullWidth + 10, 22);
    QCOMPARE(label.elidedText(), text);
}

void TestSmallWidgets::ellipsisLabelPaintsElidedText()
{
    EllipsisLabel label;
    label.setStyleSheet(QStringLiteral("color: #ff0000; background: #ffffff;"));
    label.setFullText(QStringLiteral("WWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWW"));
    label.resize(120, 24);
    const QImage image = label.grab().toImage();
    // Text reaches the right part of the label (the ellipsis) and is drawn
    // in the style's colour; nothing is drawn past the label's width.
    bool redNearRight = false;
    for (int x = 90; x < 120 && !redNearRight; ++x) {
        for (int y = 0; y < 24; ++y) {
            const QColor c(image.pixel(x, y));
            if (c.red() > 200 && c.green() < 120)
                redNearRight = true;
        }
    }
    QVERIFY(redNearRight);
}

void TestSmallWidgets::userCheckBox_data()
{
    QTest::addColumn<int>("state");
    QTest::addColumn<bool>("checked");
    QTest::newRow("checked") << int(Qt::Checked) << true;
    QTest::newRow("partly checked counts as checked") << int(Qt::PartiallyChecked) << true;
    QTest::newRow("unchecked") << int(Qt::Unchecked) << false;
}

void TestSmallWidgets::userCheckBox()
{
    QFETCH(int, state);
    QFETCH(bool, checked);

    UserCheckBox box(QStringLiteral("Tom"));
    box.setTristate(true);
    box.setUid(QStringLiteral("10086"));
    // Start from a different state so the change is reported.
    box.setCheckState(state == Qt::Checked ? Qt::Unchecked : Qt::Checked);
    QSignalSpy spy(&box, &UserCheckBox::signal_stateChanged);
    box.setCheckState(Qt::CheckState(state));
    QCOMPARE(spy.count(), 1);
    QCOMPARE(spy.first().at(0).toString(), QStringLiteral("10086"));
    QCOMPARE(spy.first().at(1).toBool(), checked);
}

void TestSmallWidgets::userCheckBoxReportsCurrentUid()
{
    UserCheckBox box(QStringLiteral("Tom"));
    QCOMPARE(box.text(), QStringLiteral("Tom"));
    box.setUid(QStringLiteral("1"));
    box.setUserData(42);
    QCOMPARE(box.getUserData(), quint32(42));
    QSignalSpy spy(&box, &UserCheckBox::signal_stateChanged);

    QTest::mouseClick(&box, Qt::LeftButton, Qt::NoModifier, QPoint(5, box.height() / 2));
    box.setUid(QStringLiteral("2"));
    QTest::mouseClick(&box, Qt::LeftButton, Qt::NoModifier, QPoint(5, box.height() / 2));
    QCOMPARE(spy.count(), 2);
    QCOMPARE(spy.at(0), QVariantList() << QStringLiteral("1") << true);
    QCOMPARE(spy.at(1), QVariantList() << QStringLiteral("2") << false);
}

void TestSmallWidgets::closeSignalWidget()
{
    ClosingPanel panel;
    panel.show();
    QSignalSpy spy(&panel, &CloseSignalWidget::signal_close);
    panel.close();
    QCOMPARE(spy.count(), 1);
}

QTEST_MAIN(TestSmallWidgets)
#include "tst_smallwidgets.moc"
