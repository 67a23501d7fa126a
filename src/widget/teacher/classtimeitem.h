#ifndef CLASSTIMEITEM_H
#define CLASSTIMEITEM_H

#include <QWidget>

namespace Ui {
class ClassTimeItem;
}

// The date heading of one day in the teacher's class list.
class ClassTimeItem : public QWidget
{
    Q_OBJECT

public:
    explicit ClassTimeItem(QWidget *parent = nullptr);
    ~ClassTimeItem() override;

    // The local date of timestamp (seconds since 1970), as "yyyy-MM-dd".
    void setClassTime(const int &timestamp);
    QString timeText() const;

private:
    Ui::ClassTimeItem *ui;
};

#endif // CLASSTIMEITEM_H
