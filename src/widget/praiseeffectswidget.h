#ifndef PRAISEEFFECTSWIDGET_H
#define PRAISEEFFECTSWIDGET_H

#include <QPointer>
#include <QString>
#include <QWidget>

class QCloseEvent;

// The praise shown over the classroom: a trophy that plays its frames with
// a sound, then shrinks away towards the praised student's tile. It starts
// by itself when built, runs without blocking its creator, and emits
// signal_close() when it has closed.
class PraiseEffectsWidget : public QWidget
{
    Q_OBJECT

public:
    explicit PraiseEffectsWidget(QWidget *parent = nullptr);
    ~PraiseEffectsWidget() override;

    // The tile the trophy moves to; without one the effect closes in place.
    void setTargetWidget(QWidget *target);
    void setGifImage(const QString &image);
    QString getSoundEffectFile() const;

signals:
    void signal_close();

public slots:
    void slot_imageToFlash();
    void slot_moveTrophy();
    void slot_scatterFlowers();
    void slot_animationFinished();

protected:
    void closeEvent(QCloseEvent *event) override;

private:
    QPointer<QWidget> m_target;
};

#endif // PRAISEEFFECTSWIDGET_H
