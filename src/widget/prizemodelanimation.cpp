#include "prizemodelanimation.h"
#include "ui_prizemodelanimation.h"

#include "rolepolicy.h"
#include "utility/appdirs.h"
#include "utility/durations.h"
#include "widget/flowerscatter.h"

#include <QDebug>
#include <QLabel>
#include <QPixmap>
#include <QPropertyAnimation>
#include <QTimer>

namespace {

const int kPrizeFlowerRows = 14;
const int kPrizeFlowers = 60;
const int kPrizeFlowerFlightMs = 1000;

QRect key(int x, int y)
{
    return QRect(x, y, PrizeModelAnimation::kPrizeSide, PrizeModelAnimation::kPrizeSide);
}

} // namespace

PrizeModelAnimation::PrizeModelAnimation(QWidget *parent)
    : QWidget(parent)
    , ui(new Ui::PrizeModelAnimation)
{
    ui->setupUi(this);
    setAttribute(Qt::WA_TransparentForMouseEvents);
    if (parent)
        setGeometry(parent->rect());

    FlowerScatter::Setup flowers;
    flowers.tableRows = kPrizeFlowerRows;
    flowers.total = kPrizeFlowers;
    flowers.flightMs = kPrizeFlowerFlightMs;
    flowers.lowered = true;
    flowers.start = [](const QSize &area) { return QPoint(area.width() / 2 - FlowerScatter::boundedRandom(600) + 300, 0); };
    flowers.end = [](const QSize &area) {
        return QPoint(area.width() / 2 - FlowerScatter::boundedRandom(600) + 300,
                      FlowerScatter::boundedRandom(area.height()) + 200);
    };
    m_flowers = new FlowerScatter(this, flowers);
}

PrizeModelAnimation::~PrizeModelAnimation()
{
    delete ui;
}

void PrizeModelAnimation::setUid(const QString &uid)
{
    m_uid = uid;
}

QString PrizeModelAnimation::getUid() const
{
    return m_uid;
}

bool PrizeModelAnimation::isIdle() const
{
    return m_idle;
}

QList<QLabel *> PrizeModelAnimation::decorations() const
{
    QList<QLabel *> shown;
    for (QLabel *label : { m_star1, m_star2, m_star3, m_rope }) {
        if (label)
            shown << label;
    }
    return shown;
}

void PrizeModelAnimation::showAnimation(QString image, QPoint from, QPoint to, int prizeId, bool animate)
{
    qInfo() << " end point=========x:" << to.x() << "y:" << to.y();
    if (!m_idle)
        return;
    m_to = to;
    m_prizeId = prizeId;
    QPixmap picture(image);
    if (picture.isNull()) {
        // Nothing to fly: the layer stays idle, so the student's next prize
        // is not refused for ever because of one missing picture.
        qWarning().noquote() << "prize picture not loaded:" << image;
        return;
    }
    m_idle = false;
    if (!m_prize)
        m_prize = new QLabel(this);
    m_prize->setScaledContents(true);
    m_prize->setPixmap(picture);
    m_prize->resize(picture.size());
    m_prize->show();

    if (!animate) {
        m_prize->move(to.x() + 17, to.y());
        QTimer::singleShot(Durations::ms(1), this, &PrizeModelAnimation::slot_showSpecialEffects);
        m_idle = true;
        return;
    }
    const int riseTo = from.y() - RolePolicy::current().prizeRiseHeight;
    const QVector<QRect> keys {
        key(from.x(), from.y()),
        key(from.x(), from.y() - 80),
        key(from.x(), from.y() - 110),
        key(from.x(), riseTo),
        key(to.x() + 17, prizeId == 1 ? to.y() : to.y() - 80),
        key(to.x() + 17, to.y()),
    };
    m_flight = new QPropertyAnimation(m_prize, "geometry", this);
    m_flight->setDuration(Durations::ms(kFlightMs));
    m_flight->setStartValue(keys.first());
    const double step = (10 / keys.size()) * 0.1;
    for (int i = 0; i < keys.size(); ++i)
        m_flight->setKeyValueAt(i * step, keys.at(i));
    m_flight->setEndValue(keys.last());
    connect(m_flight, &QPropertyAnimation::finished, this, &PrizeModelAnimation::slot_destroyAnimation);
    m_flight->start(QAbstractAnimation::DeleteWhenStopped);
    QTimer::singleShot(Durations::ms(kEffectsAtMs), this, &PrizeModelAnimation::slot_showSpecialEffects);
}

void PrizeModelAnimation::slot_destroyAnimation()
{
    m_idle = true;
}

QLabel *PrizeModelAnimation::addDecoration(const QString &fileName, const QPoint &at)
{
    QPixmap picture(getAbsoluteFilePath(getResourcesDir(), fileName));
    if (picture.isNull())
        return nullptr;
    auto *label = new QLabel(this);
    label->setPixmap(picture);
    label->resize(picture.size());
    label->move(at);
    label->show();
    return label;
}

void PrizeModelAnimation::slot_showSpecialEffects()
{
    const QPoint to = m_to;
    // A second award on the same layer replaces the decorations.
    for (QLabel *label : decorations())
        delete label;
    m_star1 = m_star2 = m_star3 = m_rope = nullptr;
    if (m_prizeId == 1) {
        m_star1 = addDecoration(QStringLiteral("star1.png"), QPoint(to.x() + 95, to.y() + 75));
        m_star2 = addDecoration(QStringLiteral("star2.png"), QPoint(to.x() + 50, to.y() + 105));
        m_star3 = addDecoration(QStringLiteral("star1.png"), QPoint(to.x() + 115, to.y() + 100));
    } else if (m_prizeId == 2) {
        m_star1 = addDecoration(QStringLiteral("star1.png"), QPoint(to.x() + 100, to.y() + 20));
        m_star2 = addDecoration(QStringLiteral("star2.png"), QPoint(to.x() + 50, to.y() + 40));
        m_rope = addDecoration(QStringLiteral("rope.png"), QPoint(to.x() - 3, to.y() - 60));
        if (m_rope)
            m_rope->lower();
    }
}

void PrizeModelAnimation::relayout(int w, int h, int x, int y)
{
    setFixedSize(w, h);
    if (!m_prize)
        return;
    auto place = [](QLabel *label, int px, int py) {
        if (label)
            label->move(px, py);
    };
    switch (m_prizeId) {
    case 1:
        place(m_star1, x + 95, y - 75);
        place(m_star2, x + 50, y - 45);
        place(m_star3, x + 115, y - 50);
        place(m_prize, x + 17, y - 150);
        break;
    case 2:
        place(m_rope, x - 3, y + 10);
        place(m_star1, x + 100, y + 90);
        place(m_star2, x + 50, y + 110);
        place(m_prize, x + 17, y + 70);
        break;
    case 3:
    case 4:
    case 5:
        place(m_prize, x + 17, y + 60);
        break;
    case 6:
        place(m_prize, x + 17, y + 50);
        break;
    default:
        break;
    }
}

void PrizeModelAnimation::slot_scatterFlowers()
{
    m_flowers->scatter();
}

void PrizeModelAnimation::slot_animationFinished()
{
    m_flowers->flowerLanded();
}
