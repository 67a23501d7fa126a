#ifndef WIDGETCLASSROOM_H
#define WIDGETCLASSROOM_H

#include "utility/widget/basemainwidget.h"

#include <QString>

// The classroom window. Announces itself on the signal bus when created
// and when closed; closing also forgets the class in AppContext.
class WidgetClassRoom : public BaseMainWidget
{
    Q_OBJECT

public:
    explicit WidgetClassRoom(QWidget *parent = nullptr);
    ~WidgetClassRoom() override;

    // The class started in this window; empty before.
    QString getClassId() const;

protected:
    void closeEvent(QCloseEvent *event) override;

private:
    QString m_classId;
};

#endif // WIDGETCLASSROOM_H
