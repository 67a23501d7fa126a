#ifndef TEACHERTEACHINGPLANWIDGET_H
#define TEACHERTEACHINGPLANWIDGET_H

#include "utility/widget/basemainwidget.h"

#include <QString>

namespace Ui {
class TeacherTeachingPlanWidget;
}

// One link, "Access Lesson Plan", that opens the class's lesson plan in the
// user's browser and closes the window. Only an http(s) plan is offered.
class TeacherTeachingPlanWidget : public BaseMainWidget
{
    Q_OBJECT

public:
    explicit TeacherTeachingPlanWidget(QWidget *parent = nullptr);
    ~TeacherTeachingPlanWidget() override;

    void setTeachingPlanUrl(const QString &url);
    QString teachingPlanUrl() const { return m_url; }

public slots:
    void on_closePushButton_clicked();
    void slot_linkActivated(QString link);

private:
    Ui::TeacherTeachingPlanWidget *ui;
    QString m_url;
};

#endif // TEACHERTEACHINGPLANWIDGET_H
