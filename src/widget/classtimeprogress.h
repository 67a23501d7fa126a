#ifndef CLASSTIMEPROGRESS_H
#define CLASSTIMEPROGRESS_H

#include <QWidget>

namespace Ui {
class ClassTimeProgress;
}

class QTimer;
class WidgetTimeProgress;
class WidgetWhiteBoard;

// The class-time strip on the whiteboard: before the class a countdown to
// its start, from then on its begin and end clock times around a bar of the
// time passed, and once, at the end of the class's time, a notice that it is
// over. Times are the class's, by the server's clock.
class ClassTimeProgress : public QWidget
{
    Q_OBJECT

public:
    // Seconds after the begin time at which the class is over.
    static constexpr int kFinishedNoticeSecs = 1680;

    explicit ClassTimeProgress(QWidget *parent = nullptr);
    ~ClassTimeProgress() override;

    void setWhiteBoard(WidgetWhiteBoard *board);

    // What the strip shows, for tests.
    bool isCountingDown() const;
    QString countdownText() const;
    QString beginTimeText() const;
    QString endTimeText() const;
    WidgetTimeProgress *bar() const;

public slots:
    void slot_updateTime();

private:
    Ui::ClassTimeProgress *ui;
    WidgetWhiteBoard *m_whiteBoard = nullptr;
    bool m_noticeShown = false;
    QTimer *m_timer;
};

#endif // CLASSTIMEPROGRESS_H
