#ifndef SWITCHMODECOMBOBOX_H
#define SWITCHMODECOMBOBOX_H

#include <QWidget>

namespace Ui {
class SwitchModeCombobox;
}

// The teacher's choice between the class mode and the award mode. A choice
// goes out over SignalQueueMgr, so the classroom window switches and tells
// the students.
class SwitchModeCombobox : public QWidget
{
    Q_OBJECT

public:
    explicit SwitchModeCombobox(QWidget *parent = nullptr);
    ~SwitchModeCombobox() override;

    void setCurrentIndex(int index);
    int currentIndex() const;

signals:
    // Declared for the form's users; the switch itself travels over the
    // signal bus.
    void signal_switchMode(int mode);

public slots:
    void on_comboBoxMode_currentIndexChanged(int index);

public:
    // Only logs the chosen item's text; fed by the combo box's text change,
    // as the toolkit no longer has a text form of the index signal.
    void on_comboBoxMode_currentIndexChanged(const QString &text);

private:
    Ui::SwitchModeCombobox *ui;
};

#endif // SWITCHMODECOMBOBOX_H
