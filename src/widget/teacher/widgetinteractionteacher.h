#ifndef WIDGETINTERACTIONTEACHER_H
#define WIDGETINTERACTIONTEACHER_H

#include "widget/widgetinteraction.h"

class QPushButton;

namespace Ui {
class WidgetInteractionTeacher;
}

// The teacher's tool bar: pen, text, eraser, pen colour, the teaching plan,
// video and audio panels, desktop sharing and chat.
class WidgetInteractionTeacher : public WidgetInteraction
{
    Q_OBJECT

public:
    explicit WidgetInteractionTeacher(QWidget *parent = nullptr);
    ~WidgetInteractionTeacher() override;

    void setChatNewMsgIcon(bool hasNewMsg) override;
    void slot_setClickedTextBtn(bool bChecked) override;
    void slot_setClickedPenBtn(bool bChecked) override;
    void slot_setClickedChatBnt(bool bChecked) override;
    void slot_setEnablePenBtn(bool bEnable) override;
    void slot_setEnableTextBtn(bool bEnable) override;
    void slot_setColorBtnImg(int idx) override;

    // While the panel of btn is open, only btn of the four function buttons
    // can be used.
    void enableOnlyFunctionButton(QPushButton *btn);
    void resetFunctionButtons();

signals:
    void signal_plan_btn_clicked(QPushButton *btn);
    void signal_video_btn_clicked(QPushButton *btn);
    void signal_audio_btn_clicked(QPushButton *btn);
    void signal_desktop_btn_clicked(QPushButton *btn);

public slots:
    void on_btnTeachingPlan_clicked();
    void on_btnTeachingVideo_clicked();
    void on_btnTeachingAudio_clicked();

private:
    QList<QPushButton *> functionButtons() const;

    Ui::WidgetInteractionTeacher *ui;
};

#endif // WIDGETINTERACTIONTEACHER_H
