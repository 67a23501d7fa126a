#include "teacherteachingplanwidget.h"
#include "ui_teacherteachingplanwidget.h"

#include "utility/downloadutil.h"
#include "utility/webpage.h"

#include <QDebug>

TeacherTeachingPlanWidget::TeacherTeachingPlanWidget(QWidget *parent)
    : BaseMainWidget(parent)
    , ui(new Ui::TeacherTeachingPlanWidget)
{
    ui->setupUi(this);
    setWindowFlags(Qt::FramelessWindowHint);
    connect(ui->labelAccess, &QLabel::linkActivated, this, &TeacherTeachingPlanWidget::slot_linkActivated);
}

TeacherTeachingPlanWidget::~TeacherTeachingPlanWidget()
{
    delete ui;
}

void TeacherTeachingPlanWidget::setTeachingPlanUrl(const QString &url)
{
    // The address comes from the server: only a web page is offered, and
    // it goes into the link escaped.
    if (!DownloadUtil::isWebAddress(url)) {
        qCritical("lesson plan url refused:%s", qUtf8Printable(url.left(256)));
        m_url.clear();
        ui->labelAccess->setTextFormat(Qt::PlainText);
        ui->labelAccess->setText(tr("No lesson plan"));
        return;
    }
    m_url = url;
    ui->labelAccess->setTextFormat(Qt::RichText);
    ui->labelAccess->setText(QStringLiteral("<a href=\"%1\">%2").arg(url.toHtmlEscaped(), tr("Access Lesson Plan")));
}

void TeacherTeachingPlanWidget::slot_linkActivated(QString)
{
    // The kept address, whatever the link said.
    if (!m_url.isEmpty())
        WebPage::open(m_url);
    close();
}

void TeacherTeachingPlanWidget::on_closePushButton_clicked()
{
    close();
}
