#ifndef CLOSESIGNALWIDGET_H
#define CLOSESIGNALWIDGET_H

#include <QWidget>

// Base of widgets that announce their closing; subclasses emit
// signal_close() when they close.
class CloseSignalWidget : public QWidget
{
    Q_OBJECT

public:
    explicit CloseSignalWidget(QWidget *parent = nullptr);

signals:
    void signal_close();
};

#endif // CLOSESIGNALWIDGET_H
