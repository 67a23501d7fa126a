#ifndef WIDGETREVIEW_H
#define WIDGETREVIEW_H

#include "utility/widget/basemainwidget.h"

#include <QString>

// The student's review of a lesson: one to five stars and a comment, saved
// with one call before the classroom closes. Emits signal_close() (from its
// base) when it closes.
class WidgetReview : public BaseMainWidget
{
    Q_OBJECT

public:
    explicit WidgetReview(QWidget *parent = nullptr);
    ~WidgetReview() override;

    void setClassId(const QString &classId);

private:
    QString m_classId;
};

#endif // WIDGETREVIEW_H
