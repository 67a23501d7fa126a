#include "widgetreview.h"

WidgetReview::WidgetReview(QWidget *parent)
    : BaseMainWidget(parent)
{
}

WidgetReview::~WidgetReview() = default;

void WidgetReview::setClassId(const QString &classId)
{
    m_classId = classId;
}
