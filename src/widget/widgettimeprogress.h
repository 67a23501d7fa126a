#ifndef WIDGETTIMEPROGRESS_H
#define WIDGETTIMEPROGRESS_H

#include <QWidget>

namespace Ui {
class WidgetTimeProgress;
}

// The class-time bar: the part of the class that has passed in cyan, the
// rest white, and the time still left at its right end.
class WidgetTimeProgress : public QWidget
{
    Q_OBJECT

public:
    explicit WidgetTimeProgress(QWidget *parent = nullptr);
    ~WidgetTimeProgress() override;

    void setRange(int minimum, int maximum);
    // Seconds passed; shown up to the maximum.
    void setValue(int seconds);

    int value() const { return m_value; }
    QString leftTimeText() const;

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    Ui::WidgetTimeProgress *ui;
    int m_minimum = 0;
    int m_maximum = 0;
    int m_value = 0;
};

#endif // WIDGETTIMEPROGRESS_H
