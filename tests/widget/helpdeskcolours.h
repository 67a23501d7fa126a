#ifndef HELPDESKCOLOURS_H
#define HELPDESKCOLOURS_H

#include "widget/classwidget.h"
#include "widget/widgetwhiteboard.h"

#include <QCheckBox>
#include <QImage>
#include <QTest>
#include <QTextEdit>

// The problem report as a class page shows it: opened with the board's
// "Help desk" button, under the page's dark board area. Its content area
// (the title bar, the rows and the description box) is white, whatever
// the page around it paints.
template<typename Report>
void checkReportIsWhiteOnTheClassPage(ClassWidget &page)
{
    page.init();
    page.resize(1040, 700);
    page.show();
    QVERIFY(QTest::qWaitForWindowExposed(&page));
    page.getWhiteBoard()->on_btnHelpdesk_clicked();
    auto *report = page.findChild<Report *>();
    QVERIFY(report);
    QTRY_VERIFY(report->isVisible());
    // The student's description box shows once "other" is ticked.
    for (QCheckBox *box : report->template findChildren<QCheckBox *>()) {
        if (box->text() == QStringLiteral("其他") || box->text() == QStringLiteral("Other"))
            box->click();
    }
    auto *content = report->template findChild<QWidget *>(QStringLiteral("widget_content"));
    auto *title = report->template findChild<QWidget *>(QStringLiteral("widgetTitle"));
    auto *description = report->template findChild<QTextEdit *>(QStringLiteral("textEdit"));
    QVERIFY(content && title && description);
    QTRY_VERIFY(description->isVisible());
    const QImage picture = report->grab().toImage();
    const QRect area(content->mapTo(report, QPoint(0, 0)), content->size());
    const QRgb white = qRgb(255, 255, 255);
    // Beside the title, and in the empty description box.
    const QPoint inTitle = title->mapTo(report, QPoint(title->width() / 2, title->height() / 2));
    QCOMPARE(QColor(picture.pixel(inTitle)), QColor(white));
    const QPoint inDescription = description->mapTo(report, QPoint(description->width() / 2, description->height() / 2));
    QCOMPARE(QColor(picture.pixel(inDescription)), QColor(white));
    // Nowhere in the content area the board's colour.
    const QRgb board = qRgb(70, 68, 68);
    int dark = 0;
    for (int y = area.top(); y <= area.bottom(); ++y) {
        for (int x = area.left(); x <= area.right(); ++x)
            dark += picture.pixel(x, y) == board ? 1 : 0;
    }
    QCOMPARE(dark, 0);
    // Outside it, the frame's colour.
    QCOMPARE(QColor(picture.pixel(0, picture.height() / 2)), QColor(185, 180, 180));
}

#endif // HELPDESKCOLOURS_H
