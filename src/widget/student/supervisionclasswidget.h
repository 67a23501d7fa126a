#ifndef SUPERVISIONCLASSWIDGET_H
#define SUPERVISIONCLASSWIDGET_H

#include "widget/student/studentclasswidget.h"

// The observer's class page: a student page without drawing, chat input or
// microphone.
class SupervisionClassWidget : public StudentClassWidget
{
    Q_OBJECT

public:
    explicit SupervisionClassWidget(QWidget *parent = nullptr);
    ~SupervisionClassWidget() override;

    void init() override;
    void joinVideoChannel(QString channel, QString uid, const QString &key) override;
};

#endif // SUPERVISIONCLASSWIDGET_H
