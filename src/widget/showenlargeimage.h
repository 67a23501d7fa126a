#ifndef SHOWENLARGEIMAGE_H
#define SHOWENLARGEIMAGE_H

#include <QImage>
#include <QString>
#include <QWidget>

namespace Ui {
class ShowEnlargeImage;
}

// A chat picture in a window of its own, with zoom buttons, wheel zoom and a
// close button. Any mouse-button release on the window closes it.
class ShowEnlargeImage : public QWidget
{
    Q_OBJECT

public:
    static constexpr double kZoomStep = 0.2;
    static constexpr double kMinZoom = 0.2;
    static constexpr double kMaxZoom = 4.0;
    // The zoomed picture is never made larger than this many pixels, so a
    // big picture cannot exhaust memory when zoomed in.
    static constexpr qint64 kMaxShownPixels = 25000000;

    explicit ShowEnlargeImage(QWidget *parent = nullptr);
    ~ShowEnlargeImage() override;

    // Reads the picture and fits it: never enlarged at first, narrowed to
    // the window's width when wider.
    void showImage(QString path);

    double zoomFactor() const { return m_zoom; }
    QString imagePath() const { return m_path; }
    // The size the picture is shown at; empty when there is none.
    QSize shownSize() const;

    // The first zoom factor of a picture pictureWidth wide in a window
    // windowWidth wide; 1 for a picture without width.
    static double fitFactor(int pictureWidth, int windowWidth);
    // The next factor after one zoom step (in or out), inside the limits
    // and inside kMaxShownPixels for a picture of size.
    static double steppedFactor(double factor, bool zoomIn, const QSize &size);

public slots:
    void on_btnZoomIn_clicked();
    void on_btnZoomOut_clicked();
    void on_pushButton_clicked();

protected:
    void wheelEvent(QWheelEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;

private:
    void zoom(bool zoomIn);
    void showScaled(int width, int height);

    Ui::ShowEnlargeImage *ui;
    QString m_path;
    QImage m_image;
    double m_zoom = 1.0;
};

#endif // SHOWENLARGEIMAGE_H
