#include "timetableitem.h"
#include "ui_timetableitem.h"

#include <QDateTime>
#include <QDebug>
#include <QLocale>

TimetableItem::TimetableItem(QWidget *parent)
    : QWidget(parent)
    , ui(new Ui::TimetableItem)
{
    ui->setupUi(this);
    ui->labelDay->hide();
}

TimetableItem::~TimetableItem()
{
    delete ui;
}

void TimetableItem::setClassInfo(BriefBookedClassEntity info)
{
    const QDateTime now = QDateTime::currentDateTime();
    qDebug() << "currentTime:" << now.toString(QStringLiteral("当前时间为：dddd"));
    m_info = info;
    const QDateTime day = QDateTime::fromSecsSinceEpoch(info.date_time);
    qDebug() << "beginTime:" << day;
    // The whole local date: the same day of another month is not today.
    if (day.date() == now.date())
        setToday(QLocale().toString(day.date(), QStringLiteral("dddd"))); // the client's language
    ui->labelDate->setText(day.toString(QStringLiteral("yyyy-MM-dd")));
    setClassNum(info.class_num);
}

BriefBookedClassEntity TimetableItem::getClassInfo() const
{
    return m_info;
}

void TimetableItem::setClassNum(int num)
{
    ui->labelClassNum->setText(tr("Booked %1 classes").arg(num));
}

void TimetableItem::setToday(QString dayName)
{
    ui->labelDay->setText(tr("Today") + QStringLiteral("(%1)").arg(dayName));
    ui->labelDay->show();
}
