#ifndef WIDGETINTERACTIONSTUDENT_H
#define WIDGETINTERACTIONSTUDENT_H

#include "widget/widgetinteraction.h"

namespace Ui {
class WidgetInteractionStudent;
}

// The student's tool bar: pen, eraser, pen colour and chat.
class WidgetInteractionStudent : public WidgetInteraction
{
    Q_OBJECT

public:
    explicit WidgetInteractionStudent(QWidget *parent = nullptr);
    ~WidgetInteractionStudent() override;

    void setChatNewMsgIcon(bool hasNewMsg) override;
    void slot_setClickedTextBtn(bool bChecked) override;
    void slot_setClickedPenBtn(bool bChecked) override;
    void slot_setClickedChatBnt(bool bChecked) override;
    void slot_setEnablePenBtn(bool bEnable) override;
    void slot_setEnableTextBtn(bool bEnable) override;
    void slot_setColorBtnImg(int idx) override;

    // Drawing taken away: pen, eraser and colour off; chat stays.
    void disableDrawButtons();

private:
    Ui::WidgetInteractionStudent *ui;
};

#endif // WIDGETINTERACTIONSTUDENT_H
