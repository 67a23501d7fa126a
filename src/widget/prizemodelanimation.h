#ifndef PRIZEMODELANIMATION_H
#define PRIZEMODELANIMATION_H

#include <QPoint>
#include <QString>
#include <QWidget>

class FlowerScatter;
class QLabel;
class QPropertyAnimation;

namespace Ui {
class PrizeModelAnimation;
}

// A transparent layer over an award page's tile area showing one
// student's prize: the big picture flies along a fixed path onto the tile
// and rests there with its stars (and, for the medal, its ribbon). The
// layer is idle when no flight is running; a page gives a student a new
// prize only on an idle layer.
class PrizeModelAnimation : public QWidget
{
    Q_OBJECT

public:
    static constexpr int kFlightMs = 2500;
    static constexpr int kEffectsAtMs = 1500;
    static constexpr int kPrizeSide = 160;

    explicit PrizeModelAnimation(QWidget *parent = nullptr);
    ~PrizeModelAnimation() override;

    void setUid(const QString &uid);
    QString getUid() const;
    bool isIdle() const;

    void showAnimation(QString image, QPoint from, QPoint to, int prizeId, bool animate);
    void relayout(int w, int h, int x, int y);

    QLabel *prizeLabel() const { return m_prize; }
    QPropertyAnimation *flight() const { return m_flight; }
    // The star labels and the ribbon shown so far.
    QList<QLabel *> decorations() const;
    FlowerScatter *flowerScatter() const { return m_flowers; }

public slots:
    void slot_showSpecialEffects();
    void slot_destroyAnimation();
    void slot_scatterFlowers();
    void slot_animationFinished();

private:
    QLabel *addDecoration(const QString &fileName, const QPoint &at);

    Ui::PrizeModelAnimation *ui;
    QString m_uid;
    bool m_idle = true;
    int m_prizeId = 0;
    QPoint m_to;
    QLabel *m_prize = nullptr;
    QPropertyAnimation *m_flight = nullptr;
    QLabel *m_star1 = nullptr;
    QLabel *m_star2 = nullptr;
    QLabel *m_star3 = nullptr;
    QLabel *m_rope = nullptr;
    FlowerScatter *m_flowers;
};

#endif // PRIZEMODELANIMATION_H
