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

    // Drawing taken away for good (the observer): pen, eraser and colour
    // off, and the pen is not enabled again by anything later; chat stays.
    void disableDrawButtons();
    bool isDrawingDisabled() const { return drawingDisabled; }

private:
    Ui::WidgetInteractionStudent *ui;
    bool drawingDisabled = false;
};

#endif // WIDGETINTERACTIONSTUDENT_H
