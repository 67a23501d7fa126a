#ifndef PROMPTMESSAGEWIDGET_H
#define PROMPTMESSAGEWIDGET_H

#include <QWidget>

namespace Ui {
class promptMessageWidget;
}

// A short self-closing notice: one line of white text on a dark rounded
// strip, centred on its parent, closing itself after a number of seconds
// and, when asked, counting those seconds down behind the text.
class promptMessageWidget : public QWidget
{
    Q_OBJECT

public:
    promptMessageWidget(const QString &text, QWidget *parent, int seconds, bool showCountdown);
    ~promptMessageWidget() override;

    QString shownText() const;

public slots:
    void slot_countdown();

protected:
    void resizeEvent(QResizeEvent *event) override;

private:
    void setLabelText(const QString &text);

    Ui::promptMessageWidget *ui;
    QWidget *m_parent;
    QString m_text;
    int m_seconds;
    bool m_showCountdown;
};

// Shows a toast over parent that deletes itself when it closes.
void showPromptMessage(const QString &text, QWidget *parent, int seconds, bool showCountdown);

#endif // PROMPTMESSAGEWIDGET_H
