// The whiteboard tool bars of both roles: their wiring to the class page
// and its board, the checked and enabled states the board and the
// classroom set, the colour button's image and the teacher's function
// buttons.

#include "utility/globalconstants.h"
#include "widget/classwidget.h"
#include "widget/student/widgetinteractionstudent.h"
#include "widget/teacher/widgetinteractionteacher.h"
#include "widget/widgetwhiteboard.h"

#include <QPushButton>
#include <QSignalSpy>
#include <QTest>

namespace {

QPushButton *button(QWidget &bar, const char *name)
{
    auto *found = bar.findChild<QPushButton *>(QString::fromLatin1(name));
    Q_ASSERT(found);
    return found;
}

// A class page with a board, counting its colour and chat clicks.
class Page : public ClassWidget
{
public:
    Page()
        : board(new WidgetWhiteBoard(this))
    {
    }
    WidgetWhiteBoard *getWhiteBoard() const override { return board; }
    void on_btnColor_clicked() override { ++colorClicks; }
    void on_btnChat_clicked() override { ++chatClicks; }

    WidgetWhiteBoard *board;
    int colorClicks = 0;
    int chatClicks = 0;
};

} // namespace

class TestWidgetInteraction : public QObject
{
    Q_OBJECT

private slots:
    void studentButtonsReachBoardAndPage();
    void teacherButtonsReachBoardAndPage();
    void studentStates();
    void teacherStates();
    void colourButtonImage_data();
    void colourButtonImage();
    void colourIndexOutOfRangeIsIgnored();
    void chatNewMessageLook();
    void functionButtons();
    void withoutAClassPageNothingIsWired();
};

void TestWidgetInteraction::studentButtonsReachBoardAndPage()
{
    Page page;
    WidgetInteractionStudent bar(&page);
    button(bar, "btnPen")->click();
    QVERIFY(page.board->isPenOn());
    button(bar, "btnColor")->click();
    button(bar, "btnChat")->click();
    QCOMPARE(page.colorClicks, 1);
    QCOMPARE(page.chatClicks, 1);
    // The board's pen state comes back to the bar through the base's slots.
    connect(page.board, &WidgetWhiteBoard::signal_setClickedPenBtn, &bar, &WidgetInteraction::slot_setClickedPenBtn);
    page.board->setPenEnabled(false);
    QVERIFY(!button(bar, "btnPen")->isChecked());
}

void TestWidgetInteraction::teacherButtonsReachBoardAndPage()
{
    Page page;
    WidgetInteractionTeacher bar(&page);
    button(bar, "btnText")->click();
    QVERIFY(page.board->isTextOn());
    button(bar, "btnPen")->click();
    QVERIFY(page.board->isPenOn());
    QVERIFY(button(bar, "btnTeachingDesktop")->isHidden());
    QSignalSpy plan(&bar, &WidgetInteractionTeacher::signal_plan_btn_clicked);
    QSignalSpy video(&bar, &WidgetInteractionTeacher::signal_video_btn_clicked);
    QSignalSpy audio(&bar, &WidgetInteractionTeacher::signal_audio_btn_clicked);
    button(bar, "btnTeachingPlan")->click();
    button(bar, "btnTeachingVideo")->click();
    button(bar, "btnTeachingAudio")->click();
    QCOMPARE(plan.size(), 1);
    QCOMPARE(plan.first().at(0).value<QPushButton *>(), button(bar, "btnTeachingPlan"));
    QCOMPARE(video.first().at(0).value<QPushButton *>(), button(bar, "btnTeachingVideo"));
    QCOMPARE(audio.first().at(0).value<QPushButton *>(), button(bar, "btnTeachingAudio"));
}

void TestWidgetInteraction::studentStates()
{
    WidgetInteractionStudent bar;
    WidgetInteraction *base = &bar;
    base->slot_setClickedPenBtn(true);
    QVERIFY(button(bar, "btnPen")->isChecked());
    base->slot_setClickedChatBnt(true);
    QVERIFY(button(bar, "btnChat")->isChecked());
    // No text tool on the student bar: no effect, no failure.
    base->slot_setClickedTextBtn(true);
    base->slot_setEnableTextBtn(false);
    base->slot_setEnablePenBtn(false);
    QVERIFY(!button(bar, "btnPen")->isEnabled());
    QVERIFY(button(bar, "btnPen")->styleSheet().contains("icon_pen_disabled.png"));
    base->slot_setEnablePenBtn(true);
    QVERIFY(button(bar, "btnPen")->isEnabled());
    QVERIFY(!button(bar, "btnPen")->styleSheet().contains("icon_pen_disabled.png"));
    bar.disableDrawButtons();
    QVERIFY(!button(bar, "btnPen")->isEnabled());
    QVERIFY(!button(bar, "btnErase")->isEnabled());
    QVERIFY(!button(bar, "btnColor")->isEnabled());
    QVERIFY(button(bar, "btnChat")->isEnabled());
}

void TestWidgetInteraction::teacherStates()
{
    WidgetInteractionTeacher bar;
    WidgetInteraction *base = &bar;
    base->slot_setClickedTextBtn(true);
    QVERIFY(button(bar, "btnText")->isChecked());
    base->slot_setEnableTextBtn(false);
    QVERIFY(!button(bar, "btnText")->isEnabled());
    base->slot_setEnablePenBtn(false);
    QVERIFY(!button(bar, "btnPen")->isEnabled());
    QCOMPARE(button(bar, "btnPen")->toolTip(), QString("<html><head/><body><p>Pen</p></body></html>"));
}

void TestWidgetInteraction::colourButtonImage_data()
{
    QTest::addColumn<int>("index");
    for (int i : { 0, 5, 11 })
        QTest::addRow("%d", i) << i;
}

void TestWidgetInteraction::colourButtonImage()
{
    QFETCH(int, index);
    WidgetInteractionStudent student;
    WidgetInteractionTeacher teacher;
    student.slot_setColorBtnImg(index);
    teacher.slot_setColorBtnImg(index);
    QCOMPARE(button(student, "btnColor")->styleSheet(),
             "border-image: url(:/image/class/" + g_penButtonImages.at(index) + ")");
    QCOMPARE(button(teacher, "btnColor")->styleSheet(),
             "border-image: url(:/image/class/" + g_penSecondButtonImages.at(index) + ") 0 0 0 0 repeat");
    // Every image the bars name is compiled in.
    QVERIFY(!QPixmap(":/image/class/" + g_penButtonImages.at(index)).isNull());
    QVERIFY(!QPixmap(":/image/class/" + g_penSecondButtonImages.at(index)).isNull());
}

void TestWidgetInteraction::colourIndexOutOfRangeIsIgnored()
{
    WidgetInteractionTeacher bar;
    bar.slot_setColorBtnImg(3);
    const QString before = button(bar, "btnColor")->styleSheet();
    QTest::ignoreMessage(QtWarningMsg, "colour index 12 is not a palette colour; the colour button stays as it is");
    bar.slot_setColorBtnImg(12);
    QTest::ignoreMessage(QtWarningMsg, "colour index -1 is not a palette colour; the colour button stays as it is");
    bar.slot_setColorBtnImg(-1);
    QCOMPARE(button(bar, "btnColor")->styleSheet(), before);
}

void TestWidgetInteraction::chatNewMessageLook()
{
    WidgetInteractionStudent bar;
    bar.setChatNewMsgIcon(true);
    const QString sheet = button(bar, "btnChat")->styleSheet();
    QVERIFY(sheet.contains("url(:/image/class/icon_chat_new_msg.png) 0 0 0 0 repeat"));
    QVERIFY(sheet.contains("url(:/image/class/icon_chat_new_msg.png) 0 0 0 46 repeat"));
    QVERIFY(sheet.contains("url(:/image/class/icon_chat_new_msg.png) 0 0 0 92 repeat"));
    // The checked look stays the selected image.
    QVERIFY(sheet.contains("icon_chat_selected.png"));
    bar.setChatNewMsgIcon(false);
    QVERIFY(!button(bar, "btnChat")->styleSheet().contains("icon_chat_new_msg.png"));
}

void TestWidgetInteraction::functionButtons()
{
    WidgetInteractionTeacher bar;
    button(bar, "btnTeachingVideo")->setChecked(true);
    bar.enableOnlyFunctionButton(button(bar, "btnTeachingVideo"));
    QVERIFY(button(bar, "btnTeachingVideo")->isEnabled());
    QVERIFY(!button(bar, "btnTeachingPlan")->isEnabled());
    QVERIFY(!button(bar, "btnTeachingAudio")->isEnabled());
    QVERIFY(!button(bar, "btnTeachingDesktop")->isEnabled());
    bar.resetFunctionButtons();
    for (QPushButton *button : { button(bar, "btnTeachingPlan"), button(bar, "btnTeachingVideo"), button(bar, "btnTeachingAudio"),
                                 button(bar, "btnTeachingDesktop") }) {
        QVERIFY(button->isEnabled());
        QVERIFY(!button->isChecked());
    }
}

void TestWidgetInteraction::withoutAClassPageNothingIsWired()
{
    QWidget parent;
    WidgetInteractionStudent bar(&parent);
    button(bar, "btnPen")->click(); // reaches no board, and does not crash
    QVERIFY(button(bar, "btnPen")->isChecked());
}

QTEST_MAIN(TestWidgetInteraction)
#include "tst_widgetinteraction.moc"
