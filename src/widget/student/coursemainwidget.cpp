#include "coursemainwidget.h"
#include "ui_coursemainwidget.h"

#include "mgr/singleton.h"
#include "mgr/studentcurrentuser.h"

CourseMainWidget::CourseMainWidget(QWidget *parent)
    : BaseCourseMainWidget(parent)
    , ui(new Ui::CourseMainWidget)
{
    ui->setupUi(this);
    const StudentLoginDataEntity user = Singleton<StudentCurrentUser>::instance()->getUserInfo();
    ui->labelUserName->setText(user.nickname.isEmpty() ? user.mobile : user.nickname);
}

CourseMainWidget::~CourseMainWidget()
{
    delete ui;
}

void CourseMainWidget::on_pushButtonLogout_clicked()
{
    applicationLogout();
}

void CourseMainWidget::on_closePushButton_clicked()
{
    close();
}
