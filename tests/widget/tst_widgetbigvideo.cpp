// The big video view: its size and place by show type against a desktop of
// a given size, muting while hidden, and its closing.

#include "actionlogreader.h"
#include "messagecatcher.h"

#include "utility/actionlog.h"
#include "widget/widgetbigvideo.h"
#include "widget/widgetvideo.h"

#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

namespace {

// The view measured against a desktop of a fixed size.
class SizedBigVideo : public WidgetBigVideo
{
public:
    explicit SizedBigVideo(QWidget *parent, const QSize &desktop) : WidgetBigVideo(parent), m_desktop(desktop) {}

protected:
    QSize desktopSize() const override { return m_desktop; }

private:
    QSize m_desktop;
};

WidgetVideo *surface(const WidgetBigVideo &view)
{
    return view.findChild<WidgetVideo *>(QStringLiteral("widgetVideo"));
}

} // namespace

class TestWidgetBigVideo : public QObject
{
    Q_OBJECT

private slots:
    void largeTypesAreCentred_data();
    void largeTypesAreCentred();
    void smallAfterLargeKeepsThePlace();
    void hiddenIsMuted();
    void closingReportsTheUid();
    void toolRowStaysHidden();
    void nonNumericUidIsNotBound();

private:
    QWidget m_page;
};

void TestWidgetBigVideo::largeTypesAreCentred_data()
{
    QTest::addColumn<int>("type");
    QTest::addColumn<QSize>("desktop");
    QTest::addColumn<QRect>("geometry");
    QTest::newRow("desktop, full HD") << 3 << QSize(1920, 1080) << QRect(192, 108, 1536, 864);
    QTest::newRow("type 2, full HD") << 2 << QSize(1920, 1080) << QRect(192, 108, 1536, 864);
    // 0.8 of odd sizes is truncated, the offset rounds down.
    QTest::newRow("odd size") << 3 << QSize(1367, 769) << QRect(137, 77, 1093, 615);
}

void TestWidgetBigVideo::largeTypesAreCentred()
{
    QFETCH(int, type);
    QFETCH(QSize, desktop);
    QFETCH(QRect, geometry);
    m_page.resize(desktop);
    SizedBigVideo view(&m_page, desktop);
    view.setShowType(type);
    QCOMPARE(view.geometry(), geometry);
    QCOMPARE(view.getShowType(), type);
    QVERIFY(!view.isHidden());
    QVERIFY(!surface(view)->isCropToFit());
    QVERIFY(!surface(view)->isVideoMuted());
}

void TestWidgetBigVideo::smallAfterLargeKeepsThePlace()
{
    m_page.resize(1920, 1080);
    SizedBigVideo view(&m_page, QSize(1920, 1080));
    view.setShowType(3);
    view.setShowType(1);
    QCOMPARE(view.geometry(), QRect(192, 108, 300, 225));
    QVERIFY(surface(view)->isCropToFit());
}

void TestWidgetBigVideo::hiddenIsMuted()
{
    SizedBigVideo view(&m_page, QSize(1920, 1080));
    view.setShowType(1);
    view.setShowType(0);
    QVERIFY(view.isHidden());
    QCOMPARE(view.getShowType(), 0);
    QVERIFY(surface(view)->isVideoMuted());
    view.setShowType(1);
    QVERIFY(!surface(view)->isVideoMuted());
    QVERIFY(!view.isHidden());
    // A type the view does not know changes no size but shows it.
    const QSize before = view.size();
    view.setShowType(7);
    QCOMPARE(view.size(), before);
    QCOMPARE(view.getShowType(), 7);
}

void TestWidgetBigVideo::closingReportsTheUid()
{
    QTemporaryDir dir;
    ActionLogReader log;
    QVERIFY(ActionLog::instance()->init(log.use(dir.filePath(QStringLiteral("action.log")))));
    SizedBigVideo view(&m_page, QSize(1920, 1080));
    UserInfo first;
    first.uid = QStringLiteral("111");
    UserInfo second;
    second.uid = QStringLiteral("222");
    view.setUserInfo(first);
    view.setUserInfo(second);
    view.setShowType(1);
    QSignalSpy exit(&view, &WidgetBigVideo::signal_exitBigVideo);
    view.on_btnZoom_clicked();
    QCOMPARE(exit.count(), 1);
    QCOMPARE(exit.first().at(0).toString(), QStringLiteral("222"));
    QCOMPARE(view.getShowType(), 0);
    QVERIFY(view.isHidden());
    QVERIFY(log.named(QStringLiteral("click_big_zoom")).last().info.contains(QStringLiteral("{uid:222,flag:0}")));
}

void TestWidgetBigVideo::toolRowStaysHidden()
{
    SizedBigVideo view(&m_page, QSize(1920, 1080));
    view.setShowType(3);
    QVERIFY(view.findChild<QWidget *>(QStringLiteral("widgetTool"))->isHidden());
    // A frameless child of the page, not a window.
    QVERIFY(!view.isWindow());
}

void TestWidgetBigVideo::nonNumericUidIsNotBound()
{
    MessageCatcher log;
    SizedBigVideo view(&m_page, QSize(1920, 1080));
    UserInfo user;
    user.uid = QStringLiteral("12ab");
    view.setUserInfo(user);
    QVERIFY(!view.setThisVideoView());
    QVERIFY(log.has(QtCriticalMsg, QStringLiteral("uid is not a number")));
    QVERIFY(log.has(QtCriticalMsg, QStringLiteral("switch video widget failured.")));
    // Nor is another participant's audio muted in its place.
    view.on_btnAudio_clicked();
    QVERIFY(view.isAudioMuted());
    QVERIFY(log.has(QtCriticalMsg, QStringLiteral("shiel audio is failed, isMute:1")));
}

QTEST_MAIN(TestWidgetBigVideo)
#include "tst_widgetbigvideo.moc"
