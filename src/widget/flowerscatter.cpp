#include "flowerscatter.h"

#include "utility/durations.h"

#include <QLabel>
#include <QPixmap>
#include <QPropertyAnimation>
#include <QRandomGenerator>
#include <QTimer>
#include <QWidget>

namespace {

const FlowerPicture kFlowers[] = {
    { ":/image/class/flower1.png", 18, 10 },  { ":/image/class/flower2.png", 28, 41 },
    { ":/image/class/flower3.png", 28, 41 },  { ":/image/class/flower4.png", 11, 39 },
    { ":/image/class/flower5.png", 18, 60 },  { ":/image/class/flower6.png", 42, 47 },
    { ":/image/class/flower7.png", 64, 71 },  { ":/image/class/flower8.png", 29, 16 },
    { ":/image/class/flower9.png", 36, 18 },  { ":/image/class/flower10.png", 21, 21 },
    { ":/image/class/flower11.png", 33, 32 }, { ":/image/class/flower12.png", 34, 33 },
    { ":/image/class/flower13.png", 22, 21 }, { ":/image/class/flower14.png", 41, 39 },
};

const int kBatch = 5;
const int kNextBatchMs = 1;

} // namespace

int FlowerTable::count()
{
    return int(sizeof(kFlowers) / sizeof(kFlowers[0]));
}

const FlowerPicture &FlowerTable::at(int index)
{
    return kFlowers[qBound(0, index, count() - 1)];
}

FlowerScatter::FlowerScatter(QWidget *layer, const Setup &setup)
    : QObject(layer)
    , m_layer(layer)
    , m_setup(setup)
{
    m_setup.tableRows = qBound(1, m_setup.tableRows, FlowerTable::count());
}

int FlowerScatter::boundedRandom(int bound)
{
    if (bound <= 0)
        return 0;
    return int(QRandomGenerator::global()->bounded(quint32(bound)));
}

void FlowerScatter::scatter()
{
    // Nothing to scatter over: no label would be seen and the positions
    // would divide by the missing size.
    if (m_layer->width() <= 0 || m_layer->height() <= 0)
        return;
    for (int i = 0; i < kBatch && m_created < m_setup.total; ++i)
        makeFlower();
    emit batchMade();
    if (m_created < m_setup.total)
        QTimer::singleShot(Durations::ms(kNextBatchMs), this, &FlowerScatter::scatter);
}

void FlowerScatter::makeFlower()
{
    const FlowerPicture &flower = FlowerTable::at(boundedRandom(m_setup.tableRows));
    const QSize size(flower.width, flower.height);
    const QSize area = m_layer->size();
    auto *label = new QLabel(m_layer);
    label->setAttribute(Qt::WA_TranslucentBackground);
    label->setAttribute(Qt::WA_TransparentForMouseEvents);
    label->setScaledContents(true);
    label->setPixmap(QPixmap(QString::fromLatin1(flower.picture)));
    label->setGeometry(QRect(m_setup.start(area), size));
    if (m_setup.lowered)
        label->lower();
    label->show();
    m_flowers.append(label);

    auto *flight = new QPropertyAnimation(label, "geometry", label);
    flight->setDuration(Durations::ms(m_setup.flightMs));
    flight->setStartValue(label->geometry());
    flight->setEndValue(QRect(m_setup.end(area), size));
    connect(flight, &QPropertyAnimation::finished, this, &FlowerScatter::flowerLanded);
    flight->start();
    ++m_created;
}

void FlowerScatter::flowerLanded()
{
    if (m_closed >= m_created || m_closed >= m_flowers.size())
        return;
    m_flowers.at(m_closed)->close();
    ++m_closed;
}
