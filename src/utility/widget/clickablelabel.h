#ifndef CLICKABLELABEL_H
#define CLICKABLELABEL_H

#include <QLabel>

// A label that reports a press and a complete click (press, then release).
class ClickableLabel : public QLabel
{
    Q_OBJECT

public:
    explicit ClickableLabel(QWidget *parent = nullptr);

    // Flipped by every release on the label.
    bool toggleState() const { return m_toggleState; }

signals:
    void pressed();
    void clicked();

protected:
    void mousePressEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;

private:
    bool m_toggleState = false;
    bool m_pressed = false;
};

#endif // CLICKABLELABEL_H
