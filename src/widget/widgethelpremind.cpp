#include "widgethelpremind.h"
#include "ui_widgethelpremind.h"

#include <QScrollBar>

WidgetHelpRemind::WidgetHelpRemind(QWidget *parent)
    : BaseMainWidget(parent)
    , ui(new Ui::WidgetHelpRemind)
{
    ui->setupUi(this);
    setWindowFlags(Qt::FramelessWindowHint | Qt::Tool);
    resize(550, 500);
    QScrollBar *bar = ui->textBrowser->verticalScrollBar();
    bar->setFixedWidth(10);
    bar->setStyleSheet(QStringLiteral("QScrollBar:vertical{width:10px;background:rgb(230, 230, 230);margin:0px;border-radius:5px;}"
                                      "QScrollBar::handle:vertical{background:rgba(0, 0, 0, 60);border-radius:5px;min-height:20px;}"
                                      "QScrollBar::handle:vertical:hover{background:rgba(0, 0, 0, 100);}"
                                      "QScrollBar::add-line:vertical,QScrollBar::sub-line:vertical{height:0px;}"
                                      "QScrollBar::add-page:vertical,QScrollBar::sub-page:vertical{background:none;}"));
}

WidgetHelpRemind::~WidgetHelpRemind()
{
    delete ui;
}

void WidgetHelpRemind::setRemindText(const QString &tips)
{
    m_text = QStringLiteral("<p style='line-height:150%'>已收到您的反馈，我们将及时为您解决！您可以尝试以下方案解决此类问题：</p>") + tips;
    ui->textBrowser->setHtml(m_text);
}

void WidgetHelpRemind::on_btnClose_clicked()
{
    hide();
}

void WidgetHelpRemind::on_btnSubmit_clicked()
{
    hide();
}
