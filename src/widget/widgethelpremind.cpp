#include "widgethelpremind.h"

#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

WidgetHelpRemind::WidgetHelpRemind(QWidget *parent)
    : QWidget(parent)
{
    setObjectName(QStringLiteral("WidgetHelpRemind"));
    setStyleSheet(QStringLiteral("QWidget#WidgetHelpRemind{background-color: white;}"));
    setAttribute(Qt::WA_StyledBackground);
    auto *layout = new QVBoxLayout(this);
    m_text = new QLabel(this);
    m_text->setTextFormat(Qt::RichText);
    m_text->setWordWrap(true);
    layout->addWidget(m_text);
    auto *close = new QPushButton(tr("OK"), this);
    layout->addWidget(close);
    connect(close, &QPushButton::clicked, this, &QWidget::hide);
}

void WidgetHelpRemind::setRemindText(const QString &tips)
{
    m_text->setText(QStringLiteral("<p><b>%1</b></p>").arg(tr("Try this first:")) + tips);
}

QString WidgetHelpRemind::remindText() const
{
    return m_text->text();
}
