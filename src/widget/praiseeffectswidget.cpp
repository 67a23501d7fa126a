#include "praiseeffectswidget.h"
#include "ui_praiseeffectswidget.h"

#include "utility/appdirs.h"
#include "utility/durations.h"
#include "widget/flowerscatter.h"

#include <QCloseEvent>
#include <QDebug>
#include <QFileInfo>
#include <QPropertyAnimation>
#include <QSound>

namespace {

const int kPraiseFlowerRows = 7;
const int kPraiseFlowers = 200;
const int kPraiseFlowerFlightMs = 900;

} // namespace

PraiseEffectsWidget::PraiseEffectsWidget(QWidget *parent)
    : QWidget(parent)
    , ui(new Ui::PraiseEffectsWidget)
{
    ui->setupUi(this);
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowFlags(Qt::Tool | Qt::FramelessWindowHint);
    setAttribute(Qt::WA_TranslucentBackground);
    if (parent) {
        // Over the page, wherever the page is on the screen.
        setGeometry(QRect(parent->mapToGlobal(QPoint(0, 0)), parent->size()));
        if (parent->window()->isMaximized())
            setWindowState(windowState() | Qt::WindowMaximized);
    }

    FlowerScatter::Setup flowers;
    flowers.tableRows = kPraiseFlowerRows;
    flowers.total = kPraiseFlowers;
    flowers.flightMs = kPraiseFlowerFlightMs;
    flowers.start = [](const QSize &area) { return QPoint(area.width() / 2, int((area.height() / 40.0) * 19)); };
    flowers.end = [](const QSize &area) {
        return QPoint(FlowerScatter::boundedRandom(area.width()), FlowerScatter::boundedRandom(area.height() / 5));
    };
    m_flowers = new FlowerScatter(this, flowers);
    // The trophy stays in front of the flowers.
    connect(m_flowers, &FlowerScatter::batchMade, ui->labelTrophy, &QWidget::raise);

    setGifImage(QStringLiteral(":/image/class/trophy.gif"));

    connect(&m_frameTimer, &QTimer::timeout, this, &PraiseEffectsWidget::slot_imageToFlash);
    m_frameTimer.start(Durations::ms(kFrameMs));
    QTimer::singleShot(Durations::ms(kMoveAtMs), this, &PraiseEffectsWidget::slot_moveTrophy);
    playSound();
}

PraiseEffectsWidget::~PraiseEffectsWidget()
{
    delete ui;
}

void PraiseEffectsWidget::setTargetWidget(QWidget *target)
{
    m_target = target;
}

QWidget *PraiseEffectsWidget::trophyLabel() const
{
    return ui->labelTrophy;
}

void PraiseEffectsWidget::setGifImage(const QString &)
{
    QLabel *trophy = ui->labelTrophy;
    if (isMaximized() || (windowState() & Qt::WindowMaximized))
        trophy->resize(int(trophy->width() * 1.2), int(trophy->height() * 1.2));
    trophy->move((-trophy->width() * 3) / 4 + width() / 2, height() / 2 - trophy->height() / 3);
    qInfo("init labelTrophy...");
}

QString PraiseEffectsWidget::getSoundEffectFile() const
{
    return getAppDirPath() + QStringLiteral("/audioTest/praiseSoundEffect.wav");
}

void PraiseEffectsWidget::playSound()
{
    const QString path = getSoundEffectFile();
    qInfo().noquote() << "filePath:" << path;
    // No file, no sound: the show runs on without it. Where the machine
    // cannot play, Qt Multimedia reports it and plays nothing.
    if (!QFileInfo(path).isFile())
        return;
    m_sound = new QSound(path, this);
    m_sound->play();
}

void PraiseEffectsWidget::slot_imageToFlash()
{
    ++m_frame;
    if (m_frame < kFrameCount) {
        ui->labelTrophy->setStyleSheet(
            QStringLiteral("border-image: url(:/image/trophy/trophy_%1.png);").arg(m_frame));
        return;
    }
    m_frame = kFrameCount;
    m_frameTimer.stop();
}

void PraiseEffectsWidget::slot_moveTrophy()
{
    if (m_move)
        return;
    // The praised tile may have gone (the student left): no place to fly
    // to, so the effect ends where it is.
    if (!m_target) {
        qInfo("praise effect without a target, closing in place");
        close();
        return;
    }
    const int w = width();
    const int h = height();
    const QRect end(w - m_target->width(), m_target->y() + 60, w / 6, h / 6);
    m_move = new QPropertyAnimation(ui->labelTrophy, "geometry", this);
    m_move->setDuration(Durations::ms(kMoveMs));
    m_move->setStartValue(ui->labelTrophy->geometry());
    m_move->setEndValue(end);
    connect(m_move, &QPropertyAnimation::finished, this, &QWidget::close);
    m_move->start();
}

void PraiseEffectsWidget::slot_scatterFlowers()
{
    m_flowers->scatter();
}

void PraiseEffectsWidget::slot_animationFinished()
{
    m_flowers->flowerLanded();
}

void PraiseEffectsWidget::closeEvent(QCloseEvent *event)
{
    m_frameTimer.stop();
    if (m_sound)
        m_sound->stop();
    if (!m_closeSignalled) {
        m_closeSignalled = true;
        emit signal_close();
    }
    QWidget::closeEvent(event);
}
