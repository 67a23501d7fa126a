#include "widgettimeprogress.h"
#include "ui_widgettimeprogress.h"

#include "utility/timeutility.h"

#include <QPainter>

WidgetTimeProgress::WidgetTimeProgress(QWidget *parent)
    : QWidget(parent)
    , ui(new Ui::WidgetTimeProgress)
{
    ui->setupUi(this);
}

WidgetTimeProgress::~WidgetTimeProgress()
{
    delete ui;
}

void WidgetTimeProgress::setRange(int minimum, int maximum)
{
    m_minimum = minimum;
    m_maximum = maximum;
}

void WidgetTimeProgress::setValue(int seconds)
{
    m_value = qMin(seconds, m_maximum);
    ui->labelLeftTime->setText(TimeUtility::secondsToHms(QStringLiteral("mm:ss"), uint(qMax(0, m_maximum - m_value))));
    repaint();
}

QString WidgetTimeProgress::leftTimeText() const
{
    return ui->labelLeftTime->text();
}

void WidgetTimeProgress::paintEvent(QPaintEvent *event)
{
    Q_UNUSED(event)
    const int span = m_maximum - m_minimum;
    const float fraction = span > 0 ? qBound(0.0f, float(m_value) / float(span), 1.0f) : 0.0f;
    const int done = int(float(width()) * fraction);
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.fillRect(QRect(0, 0, done, height()), Qt::cyan);
    painter.fillRect(QRect(done, 0, width() - done, height()), QColor(255, 255, 255, 255));
}
