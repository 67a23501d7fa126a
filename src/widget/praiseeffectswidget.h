#ifndef PRAISEEFFECTSWIDGET_H
#define PRAISEEFFECTSWIDGET_H

#include <QPointer>
#include <QString>
#include <QTimer>
#include <QWidget>

class FlowerScatter;
class QCloseEvent;
class QPropertyAnimation;
class QSound;

namespace Ui {
class PraiseEffectsWidget;
}

// The praise shown over the classroom: a trophy that plays its 72 frames
// with a sound, then shrinks away towards the praised student's tile. It
// starts by itself when built, runs without blocking its creator, deletes
// itself when closed and emits signal_close() as it closes.
class PraiseEffectsWidget : public QWidget
{
    Q_OBJECT

public:
    static constexpr int kFrameCount = 72;
    static constexpr int kFrameMs = 41;
    static constexpr int kMoveAtMs = 3000;
    static constexpr int kMoveMs = 600;

    explicit PraiseEffectsWidget(QWidget *parent = nullptr);
    ~PraiseEffectsWidget() override;

    // The tile the trophy moves to; without one (or once it is gone) the
    // effect closes in place after its frames.
    void setTargetWidget(QWidget *target);
    void setGifImage(const QString &image);
    QString getSoundEffectFile() const;

    int frame() const { return m_frame; }
    bool isFrameTimerActive() const { return m_frameTimer.isActive(); }
    QWidget *trophyLabel() const;
    // The shrinking move, once it has begun; null before.
    QPropertyAnimation *moveAnimation() const { return m_move; }
    FlowerScatter *flowerScatter() const { return m_flowers; }

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
    void playSound();

    Ui::PraiseEffectsWidget *ui;
    QPointer<QWidget> m_target;
    QTimer m_frameTimer;
    int m_frame = 0;
    QSound *m_sound = nullptr;
    QPropertyAnimation *m_move = nullptr;
    FlowerScatter *m_flowers;
    bool m_closeSignalled = false;
};

#endif // PRAISEEFFECTSWIDGET_H
