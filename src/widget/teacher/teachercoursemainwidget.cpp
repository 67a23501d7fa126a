#include "teachercoursemainwidget.h"
#include "ui_teachercoursemainwidget.h"

#include "mgr/singleton.h"
#include "mgr/teachercurrentuser.h"

TeacherCourseMainWidget::TeacherCourseMainWidget(QWidget *parent)
    : BaseCourseMainWidget(parent)
    , ui(new Ui::TeacherCourseMainWidget)
{
    ui->setupUi(this);
    const TeacherLoginDataEntity user = Singleton<TeacherCurrentUser>::instance()->getUserInfo();
    ui->labelUserName->setText(user.nickname.isEmpty() ? user.email : user.nickname);
}

TeacherCourseMainWidget::~TeacherCourseMainWidget()
{
    delete ui;
}

void TeacherCourseMainWidget::on_pushButtonLogout_clicked()
{
    applicationLogout();
}

void TeacherCourseMainWidget::on_closePushButton_clicked()
{
    close();
}
