#include "utility/widget/widgettitlebar.h"

#include "utility/webpage.h"

#include <QPushButton>
#include <QTest>

// The teacher client shows the English help sprite and opens the FAQ page.
class TestWidgetTitleBarTeacher : public QObject
{
    Q_OBJECT

private slots:
    void helpSpriteAndPage();
};

void TestWidgetTitleBarTeacher::helpSpriteAndPage()
{
    QWidget window;
    WidgetTitleBar bar(&window, false);
    const QString sheet = bar.findChild<QPushButton *>(QStringLiteral("pushButtonHelp"))->styleSheet();
    QVERIFY(sheet.contains(QStringLiteral("border-image:url(:/image/class/helpImgEn.png) 0 0 0 0 repeat;")));
    QVERIFY(sheet.contains(QStringLiteral("border-image:url(:/image/class/helpImgEn.png) 0 0 0 80 repeat;")));
    QVERIFY(!sheet.contains(QStringLiteral("icon_help.png")));

    QList<QUrl> opened;
    WebPage::setOpener([&opened](const QUrl &url) {
        opened.append(url);
        return true;
    });
    QTest::mouseClick(bar.findChild<QPushButton *>(QStringLiteral("pushButtonHelp")), Qt::LeftButton);
    WebPage::setOpener(WebPage::Opener());
    QCOMPARE(opened.size(), 1);
    QVERIFY(opened.first().toString().endsWith(QStringLiteral("/Web/Index/faq")));
    QCOMPARE(opened.first().host(), QStringLiteral("127.0.0.1"));
}

QTEST_MAIN(TestWidgetTitleBarTeacher)
#include "tst_widgettitlebar_teacher.moc"
