#include "switchmodecombobox.h"
#include "ui_switchmodecombobox.h"

#include "mgr/signalqueuemgr.h"

#include <QListView>

SwitchModeCombobox::SwitchModeCombobox(QWidget *parent)
    : QWidget(parent)
    , ui(new Ui::SwitchModeCombobox)
{
    ui->setupUi(this);
    // A plain list view lets the style sheet reach the items.
    ui->comboBoxMode->setView(new QListView(ui->comboBoxMode));
    connect(ui->comboBoxMode, &QComboBox::currentTextChanged, this,
            qOverload<const QString &>(&SwitchModeCombobox::on_comboBoxMode_currentIndexChanged));
}

SwitchModeCombobox::~SwitchModeCombobox()
{
    delete ui;
}

void SwitchModeCombobox::setCurrentIndex(int index)
{
    ui->comboBoxMode->setCurrentIndex(index);
}

int SwitchModeCombobox::currentIndex() const
{
    return ui->comboBoxMode->currentIndex();
}

void SwitchModeCombobox::on_comboBoxMode_currentIndexChanged(int index)
{
    qInfo("selected %d item", index);
    SignalQueueMgr::instance()->signalSwitchMode(index);
}

void SwitchModeCombobox::on_comboBoxMode_currentIndexChanged(const QString &text)
{
    qInfo("selected %s item", qUtf8Printable(text));
}
