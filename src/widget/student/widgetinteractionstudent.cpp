#include "widgetinteractionstudent.h"
#include "ui_widgetinteractionstudent.h"

#include "utility/globalconstants.h"
#include "utility/widget/stylesheetutil.h"
#include "widget/classwidget.h"
#include "widget/widgetwhiteboard.h"

WidgetInteractionStudent::WidgetInteractionStudent(QWidget *parent)
    : WidgetInteraction(parent)
    , ui(new Ui::WidgetInteractionStudent)
{
    ui->setupUi(this);
    auto *page = qobject_cast<ClassWidget *>(parent);
    if (page && page->getWhiteBoard()) {
        WidgetWhiteBoard *board = page->getWhiteBoard();
        connect(ui->btnPen, &QPushButton::clicked, board, &WidgetWhiteBoard::on_btnPen_clicked);
        connect(ui->btnErase, &QPushButton::clicked, board, &WidgetWhiteBoard::on_btnErase_clicked);
        connect(ui->btnColor, &QPushButton::clicked, page, &ClassWidget::on_btnColor_clicked);
        connect(ui->btnChat, &QPushButton::clicked, page, &ClassWidget::on_btnChat_clicked);
    }
}

WidgetInteractionStudent::~WidgetInteractionStudent()
{
    delete ui;
}

void WidgetInteractionStudent::setChatNewMsgIcon(bool hasNewMsg)
{
    applyChatIcon(ui->btnChat, hasNewMsg);
}

void WidgetInteractionStudent::slot_setClickedTextBtn(bool)
{
    // The student has no text tool.
}

void WidgetInteractionStudent::slot_setClickedPenBtn(bool bChecked)
{
    ui->btnPen->setChecked(bChecked);
}

void WidgetInteractionStudent::slot_setClickedChatBnt(bool bChecked)
{
    ui->btnChat->setChecked(bChecked);
}

void WidgetInteractionStudent::slot_setEnablePenBtn(bool bEnable)
{
    if (drawingDisabled)
        bEnable = false;
    ui->btnPen->setEnabled(bEnable);
    StyleSheetUtil().changeStyle(ui->btnPen, QStringLiteral("QPushButton"),
                                bEnable ? QStringLiteral("border-image: url(:/image/class/icon_pen.png) 0 0 0 0 repeat;")
                                        : QStringLiteral("border-image: url(:/image/class/icon_pen_disabled.png) 0 0 0 0 repeat;"));
}

void WidgetInteractionStudent::slot_setEnableTextBtn(bool)
{
}

void WidgetInteractionStudent::slot_setColorBtnImg(int idx)
{
    const QString image = colorImage(g_penButtonImages, idx);
    if (!image.isEmpty())
        ui->btnColor->setStyleSheet(QStringLiteral("border-image: url(:/image/class/") + image + QStringLiteral(")"));
}

void WidgetInteractionStudent::disableDrawButtons()
{
    drawingDisabled = true;
    ui->btnPen->setEnabled(false);
    ui->btnErase->setEnabled(false);
    ui->btnColor->setEnabled(false);
}
