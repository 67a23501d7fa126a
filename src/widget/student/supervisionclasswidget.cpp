#include "supervisionclasswidget.h"

SupervisionClassWidget::SupervisionClassWidget(QWidget *parent)
    : StudentClassWidget(parent)
{
}

SupervisionClassWidget::~SupervisionClassWidget() = default;

void SupervisionClassWidget::init()
{
    StudentClassWidget::init();
}

void SupervisionClassWidget::joinVideoChannel(QString channel, QString uid, const QString &key)
{
    StudentClassWidget::joinVideoChannel(channel, uid, key);
}
