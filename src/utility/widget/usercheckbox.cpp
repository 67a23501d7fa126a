#include "utility/widget/usercheckbox.h"

#include <QDebug>

UserCheckBox::UserCheckBox(const QString &text, QWidget *parent)
    : QCheckBox(text, parent)
{
    connect(this, &QCheckBox::stateChanged, this, &UserCheckBox::slot_stateChanged);
}

void UserCheckBox::slot_stateChanged(int arg)
{
    qInfo() << "stateChanged arg:" << arg;
    emit signal_stateChanged(m_uid, arg != Qt::Unchecked);
}
