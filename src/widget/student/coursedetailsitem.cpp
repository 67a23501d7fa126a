#include "coursedetailsitem.h"
#include "ui_coursedetailsitem.h"

#include "utility/downloadutil.h"

#include <QDateTime>
#include <QDebug>

CourseDetailsItem::CourseDetailsItem(QWidget *parent)
    : QWidget(parent)
    , ui(new Ui::CourseDetailsItem)
{
    ui->setupUi(this);
}

CourseDetailsItem::~CourseDetailsItem()
{
    delete ui;
}

void CourseDetailsItem::bindData(BookedCourseDetail detail)
{
    m_detail = detail;
    ui->labelClassLevel->setText(detail.materials.cname);
    ui->labelClassUnit->setText(detail.materials.mname);
    ui->labelTeacherName->setText(detail.teacher.nickname);
    ui->labelClassTime->setText(
        QDateTime::fromSecsSinceEpoch(detail.begin_time.toInt()).toString(QStringLiteral("hh:mm")));

    // Unsigned like the server's stamps: a begin time of 0 wraps and stays grey.
    const quint32 now = static_cast<quint32>(QDateTime::currentSecsSinceEpoch());
    const quint32 begin = detail.begin_time.toUInt();
    if (now < begin - static_cast<quint32>(kEnterEarlySecs)) {
        ui->pushButtonJoinClass->setStyleSheet(QStringLiteral(
            "border-radius: 8px;background-color: #dcd2d2;color: #ffffff;font-size: 16px;font-weight: 500;"));
    }
    qDebug() << "current time:" << now;
    DownloadUtil::downloadImage(this, detail.materials.pic, ui->labelClassPic, QStringLiteral("QLabel"), true,
                                QString(), QString());
}

void CourseDetailsItem::on_pushButtonJoinClass_clicked()
{
    emit signal_clickedJoinClass(m_detail);
    qDebug() << "on_pushButtonJoinClass_clicked classId:" << m_detail.id;
}
