#ifndef WIDGETHELPREMIND_H
#define WIDGETHELPREMIND_H

#include <QWidget>

class QLabel;

// Self-help tips shown after a problem report: a fixed heading followed by
// the tips (rich text), closed by its button.
class WidgetHelpRemind : public QWidget
{
    Q_OBJECT

public:
    explicit WidgetHelpRemind(QWidget *parent);

    void setRemindText(const QString &tips);
    QString remindText() const;

private:
    QLabel *m_text;
};

#endif // WIDGETHELPREMIND_H
