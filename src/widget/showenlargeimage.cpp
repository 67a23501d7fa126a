#include "showenlargeimage.h"
#include "ui_showenlargeimage.h"

#include "utility/widget/imageutil.h"

#include <QMouseEvent>
#include <QPixmap>
#include <QWheelEvent>

#include <algorithm>
#include <cmath>

ShowEnlargeImage::ShowEnlargeImage(QWidget *parent)
    : QWidget(parent)
    , ui(new Ui::ShowEnlargeImage)
{
    ui->setupUi(this);
    setWindowFlags(Qt::FramelessWindowHint | Qt::Tool | Qt::WindowStaysOnTopHint);
    setAttribute(Qt::WA_TranslucentBackground);
}

ShowEnlargeImage::~ShowEnlargeImage()
{
    delete ui;
}

double ShowEnlargeImage::fitFactor(int pictureWidth, int windowWidth)
{
    // A picture without width has nothing to fit (and nothing to divide by).
    if (pictureWidth <= 0)
        return 1.0;
    const int shownWidth = std::min(pictureWidth, std::max(windowWidth, 1));
    return double(shownWidth) / pictureWidth;
}

double ShowEnlargeImage::steppedFactor(double factor, bool zoomIn, const QSize &size)
{
    double next = zoomIn ? std::min(factor + kZoomStep, kMaxZoom) : std::max(factor - kZoomStep, kMinZoom);
    const double pixels = double(std::max(size.width(), 0)) * std::max(size.height(), 0);
    if (zoomIn && pixels > 0) {
        const double largest = std::sqrt(double(kMaxShownPixels) / pixels);
        if (next > largest)
            next = std::max(factor, std::min(largest, kMaxZoom));
    }
    return next;
}

void ShowEnlargeImage::showImage(QString path)
{
    m_path = path;
    // A path that is no readable picture (an address not downloaded yet)
    // leaves the view empty; it still opens and closes normally.
    ImageUtil::readImage(path, &m_image);
    m_zoom = fitFactor(m_image.width(), width());
    if (m_image.isNull())
        return;
    showScaled(qRound(m_image.width() * m_zoom), qRound(m_image.height() * m_zoom));
}

QSize ShowEnlargeImage::shownSize() const
{
    const QPixmap shown = ui->labelShowImage->pixmap(Qt::ReturnByValue);
    return shown.isNull() ? QSize() : shown.size();
}

void ShowEnlargeImage::showScaled(int width, int height)
{
    if (m_image.isNull() || width <= 0 || height <= 0)
        return;
    ui->labelShowImage->setPixmap(
        QPixmap::fromImage(m_image.scaled(width, height, Qt::IgnoreAspectRatio, Qt::SmoothTransformation)));
}

void ShowEnlargeImage::zoom(bool zoomIn)
{
    const double next = steppedFactor(m_zoom, zoomIn, m_image.size());
    if (next == m_zoom)
        return;
    m_zoom = next;
    showScaled(qRound(m_image.width() * m_zoom), qRound(m_image.height() * m_zoom));
}

void ShowEnlargeImage::on_btnZoomIn_clicked()
{
    zoom(true);
}

void ShowEnlargeImage::on_btnZoomOut_clicked()
{
    zoom(false);
}

void ShowEnlargeImage::on_pushButton_clicked()
{
    close();
}

void ShowEnlargeImage::wheelEvent(QWheelEvent *event)
{
    zoom(event->angleDelta().y() > 0);
    event->accept();
}

void ShowEnlargeImage::mouseReleaseEvent(QMouseEvent *event)
{
    event->accept();
    close();
}
