#include "utility/widget/widgettitlebar.h"

#include "testutil.h"
#include "utility/actionlog.h"
#include "utility/webpage.h"

#include <QFile>
#include <QPushButton>
#include <QRegularExpression>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QUrl>
#include <QVBoxLayout>
#include <QTest>

namespace {

// A pixel where the normal state of one sprite is opaque and the other's
// is empty: the grabbed button then shows which sprite it uses.
QPoint telltalePixel(const QImage &shown, const QImage &other)
{
    for (int y = 0; y < 20; ++y) {
        for (int x = 0; x < 20; ++x) {
            if (qAlpha(shown.pixel(x, y)) == 255 && qAlpha(other.pixel(x, y)) == 0)
                return QPoint(x, y);
        }
    }
    return QPoint(-1, -1);
}

bool showsSprite(QWidget *button, const QString &shownPath, const QString &otherPath)
{
    const QImage shown = QImage(shownPath).convertToFormat(QImage::Format_ARGB32);
    const QImage other = QImage(otherPath).convertToFormat(QImage::Format_ARGB32);
    const QPoint p = telltalePixel(shown, other);
    if (p.x() < 0)
        return false;
    const QImage grabbed = button->grab().toImage().convertToFormat(QImage::Format_ARGB32);
    return QColor(grabbed.pixel(p)) == QColor(shown.pixel(p));
}

QString lastLine(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text))
        return QString();
    const QStringList lines = QString::fromLocal8Bit(file.readAll()).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    return lines.isEmpty() ? QString() : lines.last();
}

const QString kMax = QStringLiteral(":/image/class/btn_max.png");
const QString kRemax = QStringLiteral(":/image/class/btn_remax.png");

} // namespace

class TestWidgetTitleBar : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();
    void cleanupTestCase();

    void studentHelpSprite();
    void doubleClickOnStripTogglesMaximise();
    void doubleClickOnButtonIsNotTheStrip();
    void closeButton_data();
    void closeButton();
    void minimiseButton();
    void helpClickOpensPageAndLogsClick_data();
    void helpClickOpensPageAndLogsClick();

private:
    QPushButton *button(const QString &name) const { return m_bar->findChild<QPushButton *>(name); }
    QPoint stripPoint() const { return m_bar->mapTo(m_window, QPoint(30, 20)); }

    QTemporaryDir m_dir;
    QWidget *m_window = nullptr;
    WidgetTitleBar *m_bar = nullptr;
    QList<QUrl> m_opened;
    bool m_openResult = true;
};

void TestWidgetTitleBar::initTestCase()
{
    QVERIFY(m_dir.isValid());

    // Our own copy of the servers file, with a site of our choice.
    QFile shipped(TestUtil::binDir() + QStringLiteral("/servers.ini"));
    QVERIFY(shipped.open(QIODevice::ReadOnly | QIODevice::Text));
    QString text = QString::fromUtf8(shipped.readAll());
    text.replace(QRegularExpression(QStringLiteral("(?m)^site=.*$")), QStringLiteral("site=http://127.0.0.1:18999/"));
    const QString servers = m_dir.filePath(QStringLiteral("servers.ini"));
    QFile copy(servers);
    QVERIFY(copy.open(QIODevice::WriteOnly | QIODevice::Text));
    copy.write(text.toUtf8());
    copy.close();
    qputenv("LESSONRY_SERVERS_INI", servers.toLocal8Bit());

    QVERIFY(ActionLog::instance()->init(m_dir.filePath(QStringLiteral("test.action.log"))));

    WebPage::setOpener([this](const QUrl &url) {
        m_opened.append(url);
        return m_openResult;
    });
}

void TestWidgetTitleBar::init()
{
    m_window = new QWidget;
    m_window->resize(640, 400);
    QVBoxLayout *layout = new QVBoxLayout(m_window);
    layout->setContentsMargins(0, 0, 0, 0);
    m_bar = new WidgetTitleBar(m_window, false);
    layout->addWidget(m_bar);
    layout->addStretch();
    m_window->show();
    QVERIFY(QTest::qWaitForWindowExposed(m_window));
    m_opened.clear();
}

void TestWidgetTitleBar::cleanup()
{
    delete m_window;
    m_window = nullptr;
    m_bar = nullptr;
}

void TestWidgetTitleBar::cleanupTestCase()
{
    WebPage::setOpener(WebPage::Opener());
    ActionLog::instance()->close();
}

void TestWidgetTitleBar::studentHelpSprite()
{
    const QString sheet = button(QStringLiteral("pushButtonHelp"))->styleSheet();
    QVERIFY(sheet.contains(QStringLiteral("QPushButton\n{\nborder-image:url(:/image/class/icon_help.png) 0 0 0 0 repeat;\noutline:none;\n}\n")));
    QVERIFY(sheet.contains(QStringLiteral("QPushButton:hover\n{\nborder-image:url(:/image/class/icon_help.png) 0 0 0 80 repeat;\n}\n")));
    QCOMPARE(m_bar->height(), 40);
}

void TestWidgetTitleBar::doubleClickOnStripTogglesMaximise()
{
    QSignalSpy maxSpy(m_bar, &WidgetTitleBar::signal_btnMax);
    QPushButton *maxButton = button(QStringLiteral("pushButtonMax"));
    QVERIFY(showsSprite(maxButton, kMax, kRemax));

    QTest::mouseDClick(m_window->windowHandle(), Qt::LeftButton, Qt::NoModifier, stripPoint());
    QCOMPARE(maxSpy.count(), 1);
    QTRY_VERIFY(m_window->isMaximized());
    QVERIFY(maxButton->styleSheet().contains(QStringLiteral("QPushButton:pressed\n{\nborder-image:url(:/image/class/btn_remax.png) 0 0 0 40 repeat;\n}\n")));
    QVERIFY(showsSprite(maxButton, kRemax, kMax));

    QTest::mouseDClick(m_window->windowHandle(), Qt::LeftButton, Qt::NoModifier, stripPoint());
    QCOMPARE(maxSpy.count(), 2);
    QTRY_VERIFY(!m_window->isMaximized());
    QVERIFY(showsSprite(maxButton, kMax, kRemax));
}

void TestWidgetTitleBar::doubleClickOnButtonIsNotTheStrip()
{
    QSignalSpy maxSpy(m_bar, &WidgetTitleBar::signal_btnMax);
    QSignalSpy closeSpy(m_bar, &WidgetTitleBar::signal_btnClose);
    QPushButton *close = button(QStringLiteral("closePushButton"));
    QTest::mouseDClick(m_window->windowHandle(), Qt::LeftButton, Qt::NoModifier,
                       close->mapTo(m_window, close->rect().center()));
    QVERIFY(closeSpy.count() >= 1);
    QCOMPARE(maxSpy.count(), 0);
    QVERIFY(!m_window->isMaximized());
}

void TestWidgetTitleBar::closeButton_data()
{
    QTest::addColumn<bool>("closeWindowOnClose");
    QTest::newRow("owner decides") << false;
    QTest::newRow("bar closes the window") << true;
}

void TestWidgetTitleBar::closeButton()
{
    QFETCH(bool, closeWindowOnClose);

    // A bar of its own for this case, on the same window.
    delete m_bar;
    m_bar = new WidgetTitleBar(m_window, closeWindowOnClose);
    m_window->layout()->addWidget(m_bar);
    m_bar->show();

    QSignalSpy closeSpy(m_bar, &WidgetTitleBar::signal_btnClose);
    QTest::mouseClick(button(QStringLiteral("closePushButton")), Qt::LeftButton);
    QCOMPARE(closeSpy.count(), 1);
    QCOMPARE(m_window->isVisible(), !closeWindowOnClose);
}

void TestWidgetTitleBar::minimiseButton()
{
    QSignalSpy minSpy(m_bar, &WidgetTitleBar::signal_btnMin);
    QTest::mouseClick(button(QStringLiteral("pushButtonMin")), Qt::LeftButton);
    QCOMPARE(minSpy.count(), 1);
    QTRY_VERIFY(m_window->isMinimized());
}

void TestWidgetTitleBar::helpClickOpensPageAndLogsClick_data()
{
    QTest::addColumn<bool>("opens");
    QTest::addColumn<int>("code");
    QTest::newRow("browser opened the page") << true << 1;
    QTest::newRow("page could not be opened") << false << 0;
}

void TestWidgetTitleBar::helpClickOpensPageAndLogsClick()
{
    QFETCH(bool, opens);
    QFETCH(int, code);

    m_openResult = opens;
    QTest::mouseClick(button(QStringLiteral("pushButtonHelp")), Qt::LeftButton);

    const QString url = QStringLiteral("http://127.0.0.1:18999/Web/Index/helph5");
    QCOMPARE(m_opened, QList<QUrl>() << QUrl(url));
    const QStringList fields = lastLine(m_dir.filePath(QStringLiteral("test.action.log"))).split(QLatin1Char(','));
    QCOMPARE(fields.size(), 7); // the information holds a comma of its own
    QCOMPARE(fields.at(0), QStringLiteral("click"));
    QCOMPARE(fields.at(4), QStringLiteral("click_help"));
    QCOMPARE(fields.mid(5).join(QLatin1Char(',')), QStringLiteral("{code:%1,url:%2}").arg(code).arg(url));
}

QTEST_MAIN(TestWidgetTitleBar)
#include "tst_widgettitlebar.moc"
