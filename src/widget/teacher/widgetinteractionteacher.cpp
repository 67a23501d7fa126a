#include "widgetinteractionteacher.h"
#include "ui_widgetinteractionteacher.h"

#include "utility/globalconstants.h"
#include "widget/classwidget.h"
#include "widget/widgetwhiteboard.h"

WidgetInteractionTeacher::WidgetInteractionTeacher(QWidget *parent)
    : WidgetInteraction(parent)
    , ui(new Ui::WidgetInteractionTeacher)
{
    qRegisterMetaType<QPushButton *>("QPushButton*");
    ui->setupUi(this);
    auto *page = qobject_cast<ClassWidget *>(parent);
    if (page && page->getWhiteBoard()) {
        WidgetWhiteBoard *board = page->getWhiteBoard();
        connect(ui->btnPen, &QPushButton::clicked, board, &WidgetWhiteBoard::on_btnPen_clicked);
        connect(ui->btnText, &QPushButton::clicked, board, &WidgetWhiteBoard::on_btnText_clicked);
        connect(ui->btnErase, &QPushButton::clicked, board, &WidgetWhiteBoard::on_btnErase_clicked);
        connect(ui->btnColor, &QPushButton::clicked, page, &ClassWidget::on_btnColor_clicked);
        connect(ui->btnChat, &QPushButton::clicked, page, &ClassWidget::on_btnChat_clicked);
    }
    ui->btnTeachingDesktop->hide();
}

WidgetInteractionTeacher::~WidgetInteractionTeacher()
{
    delete ui;
}

void WidgetInteractionTeacher::setChatNewMsgIcon(bool hasNewMsg)
{
    applyChatIcon(ui->btnChat, hasNewMsg);
}

void WidgetInteractionTeacher::slot_setClickedTextBtn(bool bChecked)
{
    ui->btnText->setChecked(bChecked);
}

void WidgetInteractionTeacher::slot_setClickedPenBtn(bool bChecked)
{
    ui->btnPen->setChecked(bChecked);
}

void WidgetInteractionTeacher::slot_setClickedChatBnt(bool bChecked)
{
    ui->btnChat->setChecked(bChecked);
}

void WidgetInteractionTeacher::slot_setEnablePenBtn(bool bEnable)
{
    ui->btnPen->setEnabled(bEnable);
}

void WidgetInteractionTeacher::slot_setEnableTextBtn(bool bEnable)
{
    ui->btnText->setEnabled(bEnable);
}

void WidgetInteractionTeacher::slot_setColorBtnImg(int idx)
{
    const QString image = colorImage(g_penSecondButtonImages, idx);
    if (!image.isEmpty())
        ui->btnColor->setStyleSheet(QStringLiteral("border-image: url(:/image/class/") + image
                                    + QStringLiteral(") 0 0 0 0 repeat"));
}

QList<QPushButton *> WidgetInteractionTeacher::functionButtons() const
{
    return { ui->btnTeachingPlan, ui->btnTeachingVideo, ui->btnTeachingAudio, ui->btnTeachingDesktop };
}

void WidgetInteractionTeacher::enableOnlyFunctionButton(QPushButton *btn)
{
    for (QPushButton *button : functionButtons())
        button->setEnabled(button == btn);
}

void WidgetInteractionTeacher::resetFunctionButtons()
{
    const QList<QPushButton *> buttons = functionButtons();
    for (QPushButton *button : buttons)
        button->setEnabled(true);
    for (QPushButton *button : buttons)
        button->setChecked(false);
}

void WidgetInteractionTeacher::on_btnTeachingPlan_clicked()
{
    emit signal_plan_btn_clicked(ui->btnTeachingPlan);
}

void WidgetInteractionTeacher::on_btnTeachingVideo_clicked()
{
    emit signal_video_btn_clicked(ui->btnTeachingVideo);
}

void WidgetInteractionTeacher::on_btnTeachingAudio_clicked()
{
    emit signal_audio_btn_clicked(ui->btnTeachingAudio);
}
