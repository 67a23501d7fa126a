#include "modelwidgetvideo.h"
#include "ui_modelwidgetvideo.h"

#include "rolepolicy.h"

#include <QMouseEvent>
#include <QPixmap>

namespace {

QString nameStyle(const char *colour)
{
    return QStringLiteral(" width: 53px;\n  height: 21px;\n  font-family: MicrosoftSansSerif;\n  font-size: 18px;\n"
                          "  text-align: left;\n  color: %1;")
        .arg(QLatin1String(colour));
}

QString countStyle(const char *colour)
{
    return QStringLiteral("width: 26px;\n  height: 18px;\n  font-family: MicrosoftSansSerif;\n  font-size: 16px;\n"
                          "  text-align: left;\n  color: %1;")
        .arg(QLatin1String(colour));
}

} // namespace

ModelWidgetVideo::ModelWidgetVideo(QWidget *parent)
    : QWidget(parent)
    , ui(new Ui::ModelWidgetVideo)
{
    ui->setupUi(this);
}

ModelWidgetVideo::~ModelWidgetVideo()
{
    delete ui;
}

void ModelWidgetVideo::addVideo(QWidget *tile)
{
    ui->videoLayout->addWidget(tile);
}

void ModelWidgetVideo::setName(const QString &name)
{
    ui->label_nickname->setText(name);
}

void ModelWidgetVideo::setPraiseCount(int n)
{
    ui->label_likenum->setText(QStringLiteral("x") + QString::number(n));
}

void ModelWidgetVideo::setUid(const QString &uid)
{
    m_uid = uid;
}

QString ModelWidgetVideo::getUid() const
{
    return m_uid;
}

bool ModelWidgetVideo::isSelected() const
{
    return m_selected;
}

QString ModelWidgetVideo::nameText() const
{
    return ui->label_nickname->text();
}

QString ModelWidgetVideo::praiseText() const
{
    return ui->label_likenum->text();
}

void ModelWidgetVideo::setSelected(bool selected)
{
    if (!RolePolicy::current().selectsAwardTiles)
        return;
    m_selected = selected;
    if (selected) {
        ui->widget_data->setStyleSheet(QStringLiteral("QWidget#widget_data{background-color:#f06450;}"));
        ui->label_likepicture->setPixmap(QPixmap(QStringLiteral(":/image/background/praise_select.png")));
        ui->label_nickname->setStyleSheet(nameStyle("#ffffff"));
        ui->label_likenum->setStyleSheet(countStyle("#ffffff"));
    } else {
        ui->widget_data->setStyleSheet(QStringLiteral("QWidget#widget_data{background-color:#ffffff;}"));
        ui->label_likepicture->setPixmap(QPixmap(QStringLiteral(":/image/background/praise.png")));
        ui->label_nickname->setStyleSheet(nameStyle("#666666"));
        ui->label_likenum->setStyleSheet(countStyle("#666666"));
    }
}

void ModelWidgetVideo::mouseReleaseEvent(QMouseEvent *event)
{
    if (event->button() == Qt::LeftButton) {
        const bool selected = !m_selected;
        setSelected(selected);
        emit signal_isSelect(m_uid, selected);
    }
    QWidget::mousePressEvent(event);
}
