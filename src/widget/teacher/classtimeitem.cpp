#include "classtimeitem.h"
#include "ui_classtimeitem.h"

#include <QDateTime>
#include <QDebug>

ClassTimeItem::ClassTimeItem(QWidget *parent)
    : QWidget(parent)
    , ui(new Ui::ClassTimeItem)
{
    ui->setupUi(this);
}

ClassTimeItem::~ClassTimeItem()
{
    delete ui;
}

void ClassTimeItem::setClassTime(const int &timestamp)
{
    qDebug() << "timestamp:" << timestamp;
    ui->labelTime->setText(QDateTime::fromSecsSinceEpoch(timestamp).toString(QStringLiteral("yyyy-MM-dd")));
}

QString ClassTimeItem::timeText() const
{
    return ui->labelTime->text();
}
