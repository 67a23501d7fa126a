// The tiles' tool bars in the teacher program: which buttons a hover shows,
// what each button says and records, and the teacher's own microphone.

#include "actionlogreader.h"

#include "biz/im/agora/videosdk.h"
#include "platform/rtc/rtctesthooks.h"
#include "utility/actionlog.h"
#include "widget/widgetvideotoolstudentrole.h"
#include "widget/widgetvideotoolteacherrole.h"

#include <QPushButton>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

namespace {

UserInfo ann()
{
    UserInfo user;
    user.userName = QStringLiteral("Ann");
    user.uid = QStringLiteral("1234");
    user.userType = 1;
    return user;
}

QStringList shown(const QWidget &tool)
{
    QStringList names;
    for (const char *name : { "widget_bg", "btnDraw", "btnPraise", "btnZoom", "btnVideo", "widget_spacer" }) {
        auto *child = tool.findChild<QWidget *>(QLatin1String(name));
        if (child && !child->isHidden())
            names << QLatin1String(name);
    }
    return names;
}

void click(QWidget &tool, const char *button)
{
    QTest::mouseClick(tool.findChild<QPushButton *>(QLatin1String(button)), Qt::LeftButton);
}

} // namespace

class TestWidgetVideoToolTeacher : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void studentToolLayout_data();
    void studentToolLayout();
    void teacherToolLayout();
    void microphoneButtonFlipsAndRecords();
    void drawPraiseAndHideButtons();
    void zoomAsksForTheSmallViewOnce();
    void teacherMicrophoneMutesTheEngine();

private:
    QTemporaryDir m_dir;
    ActionLogReader m_log;
};

void TestWidgetVideoToolTeacher::initTestCase()
{
    QVERIFY(ActionLog::instance()->init(m_log.use(m_dir.filePath(QStringLiteral("action.log")))));
}

void TestWidgetVideoToolTeacher::studentToolLayout_data()
{
    QTest::addColumn<bool>("hover");
    QTest::addColumn<bool>("inChannel");
    QTest::addColumn<bool>("zoomed");
    QTest::addColumn<QStringList>("visible");
    const QStringList all = { "widget_bg", "btnDraw", "btnPraise", "btnZoom", "btnVideo" };
    QTest::newRow("hover") << true << true << false << all;
    QTest::newRow("rest") << false << true << false << QStringList{ "widget_bg" };
    QTest::newRow("enlarged, hover") << true << true << true << QStringList{ "btnZoom", "widget_spacer" };
    QTest::newRow("enlarged, rest") << false << true << true << QStringList{ "btnZoom", "widget_spacer" };
    QTest::newRow("not in channel") << true << false << false << QStringList{ "widget_spacer" };
}

void TestWidgetVideoToolTeacher::studentToolLayout()
{
    QFETCH(bool, hover);
    QFETCH(bool, inChannel);
    QFETCH(bool, zoomed);
    QFETCH(QStringList, visible);
    WidgetVideoToolStudentRole tool;
    // A new tool bar shows nothing.
    QCOMPARE(shown(tool), QStringList{ "widget_spacer" });
    if (zoomed)
        tool.setZoomChecked(true);
    tool.showTool(hover, inChannel);
    QCOMPARE(shown(tool), visible);
}

void TestWidgetVideoToolTeacher::teacherToolLayout()
{
    WidgetVideoToolTeacherRole tool;
    tool.showTool(true, true);
    QCOMPARE(shown(tool), (QStringList{ "widget_bg", "btnVideo" }));
    tool.showTool(false, true);
    QCOMPARE(shown(tool), QStringList{ "widget_bg" });
    tool.showTool(true, false);
    QCOMPARE(shown(tool), QStringList());
    QVERIFY(tool.findChild<QPushButton *>(QStringLiteral("btnAudio"))->isEnabled());
}

void TestWidgetVideoToolTeacher::microphoneButtonFlipsAndRecords()
{
    WidgetVideoToolStudentRole tool;
    tool.setUserInfo(ann());
    tool.showTool(true, true);
    QSignalSpy audio(&tool, &WidgetVideoToolStudentRole::signal_setEnableAudio);
    click(tool, "btnAudio");
    click(tool, "btnAudio");
    QCOMPARE(audio.count(), 2);
    QCOMPARE(audio.at(0).at(0).toBool(), false);
    QCOMPARE(audio.at(1).at(0).toBool(), true);
    const auto records = m_log.named(QStringLiteral("click_teacher_mute_audio"));
    QVERIFY(records.size() >= 2);
    QVERIFY(records.at(records.size() - 2).info.contains(QStringLiteral("{uid:1234, flag:0}")));
    QVERIFY(records.last().info.contains(QStringLiteral("{uid:1234, flag:1}")));
    // The tile sets the button from outside: checked is off.
    tool.setAudioChecked(true);
    QVERIFY(!tool.isAudioOn());
    QVERIFY(tool.findChild<QPushButton *>(QStringLiteral("btnAudio"))->isChecked());
}

void TestWidgetVideoToolTeacher::drawPraiseAndHideButtons()
{
    WidgetVideoToolStudentRole tool;
    tool.setUserInfo(ann());
    tool.showTool(true, true);
    QSignalSpy draw(&tool, &WidgetVideoToolStudentRole::signal_setEnableDraw);
    QSignalSpy praise(&tool, &WidgetVideoToolStudentRole::signal_clickePraise);
    QSignalSpy video(&tool, &WidgetVideoToolStudentRole::signal_setEnableVideo);
    click(tool, "btnDraw");
    click(tool, "btnPraise");
    click(tool, "btnVideo");
    QCOMPARE(draw.count(), 1);
    QCOMPARE(draw.first().at(0).toBool(), false);
    QVERIFY(m_log.named(QStringLiteral("click_teacher_mute_draw")).last().info.contains(QStringLiteral("{uid:1234, flag:0}")));
    QCOMPARE(praise.count(), 1);
    QVERIFY(m_log.named(QStringLiteral("click_praise")).last().info.contains(QStringLiteral("{}")));
    QCOMPARE(video.count(), 1);
    QCOMPARE(video.first().at(0).toBool(), false);
    // Praise is a plain button.
    QVERIFY(!tool.findChild<QPushButton *>(QStringLiteral("btnPraise"))->isCheckable());
}

void TestWidgetVideoToolTeacher::zoomAsksForTheSmallViewOnce()
{
    WidgetVideoToolStudentRole tool;
    tool.setUserInfo(ann());
    tool.showTool(true, true);
    QSignalSpy big(&tool, &WidgetVideoToolStudentRole::signal_switchBigVideo);
    QSignalSpy small(&tool, &WidgetVideoToolStudentRole::signal_switchSmallVideo);
    click(tool, "btnZoom");
    QCOMPARE(big.count(), 1);
    QVERIFY(tool.isZoomed());
    QCOMPARE(shown(tool), (QStringList{ "btnZoom", "widget_spacer" }));
    QVERIFY(m_log.named(QStringLiteral("click_zoom")).last().info.contains(QStringLiteral("{uid:1234, flag:1}")));

    click(tool, "btnZoom");
    QCOMPARE(small.count(), 1);
    QCOMPARE(big.count(), 1);
    // Zoomed until the tile has its video back.
    QVERIFY(tool.isZoomed());
    tool.setZoomChecked(false);
    QVERIFY(!tool.isZoomed());
    QCOMPARE(shown(tool), (QStringList{ "widget_bg", "btnDraw", "btnPraise", "btnZoom", "btnVideo" }));
}

void TestWidgetVideoToolTeacher::teacherMicrophoneMutesTheEngine()
{
    VideoSDK::instance()->initVideoEngine();
    agora::rtc::IRtcEngine *engine = VideoSDK::instance()->getRtcEngine();
    QVERIFY(engine);
    WidgetVideoToolTeacherRole tool;
    UserInfo teacher;
    teacher.uid = QStringLiteral("900");
    teacher.userType = 2;
    tool.setUserInfo(teacher);
    tool.showTool(true, true);
    QSignalSpy video(&tool, &WidgetVideoToolTeacherRole::signal_setEnableVideo);
    click(tool, "btnAudio");
    QCOMPARE(RtcTestHooks::parameter(engine, QStringLiteral("che.audio.mute_me")).toBool(), true);
    click(tool, "btnAudio");
    QCOMPARE(RtcTestHooks::parameter(engine, QStringLiteral("che.audio.mute_me")).toBool(), false);
    click(tool, "btnVideo");
    QCOMPARE(video.count(), 1);
    QCOMPARE(video.first().at(0).toBool(), false);
    // The camera button writes the microphone's record name.
    QVERIFY(m_log.named(QStringLiteral("click_teacher_mute_audio")).last().info.contains(QStringLiteral("{uid:900, flag:0}")));
}

QTEST_MAIN(TestWidgetVideoToolTeacher)
#include "tst_widgetvideotool_teacher.moc"
