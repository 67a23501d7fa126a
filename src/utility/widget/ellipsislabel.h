#ifndef ELLIPSISLABEL_H
#define ELLIPSISLABEL_H

#include <QLabel>

// A label that cuts its text with an ellipsis to the width it is given
// instead of asking for the width of the whole text.
class EllipsisLabel : public QLabel
{
    Q_OBJECT

public:
    explicit EllipsisLabel(QWidget *parent = nullptr, Qt::WindowFlags f = Qt::WindowFlags());

    void setFullText(const QString &text);
    // The text as painted at the current width.
    QString elidedText() const { return m_elidedText; }

protected:
    void paintEvent(QPaintEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;

private:
    void updateElidedText(int width);

    Qt::TextElideMode m_elideMode = Qt::ElideRight;
    QString m_elidedText;
};

#endif // ELLIPSISLABEL_H
