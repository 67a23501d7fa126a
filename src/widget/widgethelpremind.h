#ifndef WIDGETHELPREMIND_H
#define WIDGETHELPREMIND_H

#include "utility/widget/basemainwidget.h"

#include <QString>

namespace Ui {
class WidgetHelpRemind;
}

// Shown after a delivered problem report: the feedback was received, and
// self-help tips for the reported problems follow. Both buttons hide it.
class WidgetHelpRemind : public BaseMainWidget
{
    Q_OBJECT

public:
    explicit WidgetHelpRemind(QWidget *parent);
    ~WidgetHelpRemind() override;

    void setRemindText(const QString &tips);
    // The rich text last set, heading included.
    QString remindText() const { return m_text; }

public slots:
    void on_btnClose_clicked();
    void on_btnSubmit_clicked();

private:
    Ui::WidgetHelpRemind *ui;
    QString m_text;
};

#endif // WIDGETHELPREMIND_H
