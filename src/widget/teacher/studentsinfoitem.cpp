#include "studentsinfoitem.h"
#include "ui_studentsinfoitem.h"

#include "utility/downloadutil.h"

#include <QCoreApplication>

StudentsInfoItem::StudentsInfoItem(QWidget *parent)
    : QWidget(parent)
    , ui(new Ui::StudentsInfoItem)
{
    ui->setupUi(this);
}

StudentsInfoItem::~StudentsInfoItem()
{
    delete ui;
}

void StudentsInfoItem::setStudentInfo(const ClassDetailsStudentEntity &student)
{
    ui->labelStudentName->setText(student.nickname);
    ui->labelAgeNum->setText(student.age);
    ui->labelGrdLevel->setText(student.grd_level);
    ui->labelUid->setText(student.id);
    ui->labelGender->setText(student.gender.toInt() == 1
                                 ? QCoreApplication::translate("StudentsInfoItem", "Boy")
                                 : QCoreApplication::translate("StudentsInfoItem", "Girl"));
    DownloadUtil::downloadImage(this, student.avatar, ui->labelStudentHead, QStringLiteral("QLabel"),
                                true, QString(), QString());
}
