#ifndef IWIDGET_H
#define IWIDGET_H

#include <QWidget>

// Base of widgets that react to the mouse entering, leaving and
// double-clicking them. Subclasses override the slots; the signals are
// connected to them at construction.
class IWidget : public QWidget
{
    Q_OBJECT

public:
    explicit IWidget(QWidget *parent = nullptr);

    bool isMouseInside() const { return m_mouseInside; }

signals:
    void signal_mouseIn();
    void signal_mouseOut();
    void signal_mouseDoubleClick();

public slots:
    virtual void mouseIn() {}
    virtual void mouseOut() {}
    virtual void mouseDoubleClick() {}

protected:
    void mouseDoubleClickEvent(QMouseEvent *event) override;
    void enterEvent(QEvent *event) override;
    void leaveEvent(QEvent *event) override;

private:
    bool m_mouseInside = false;
};

#endif // IWIDGET_H
