#ifndef WIDGETTITLEBAR_H
#define WIDGETTITLEBAR_H

#include <QWidget>

namespace Ui {
class WidgetTitleBar;
}

// The 40-pixel strip a frameless window puts at its top: logo, help button,
// minimise, maximise/restore and close. Double-clicking the strip toggles
// maximise. Every button is reported by a signal; the close button closes
// the window itself only when asked to.
class WidgetTitleBar : public QWidget
{
    Q_OBJECT

public:
    explicit WidgetTitleBar(QWidget *window, bool closeWindowOnClose = true);
    ~WidgetTitleBar() override;

    void goToHelpCenter(const QString &url);

signals:
    void signal_btnMin();
    void signal_btnMax();
    void signal_btnClose();

public slots:
    void on_pushButtonHelp_clicked();
    void on_pushButtonMin_clicked();
    void on_pushButtonMax_clicked();
    void on_closePushButton_clicked();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    Ui::WidgetTitleBar *ui;
    QWidget *m_window;
    bool m_closeWindowOnClose;
};

#endif // WIDGETTITLEBAR_H
