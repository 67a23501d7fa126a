#ifndef GIFWRITER_H
#define GIFWRITER_H

#include <QColor>
#include <QImage>
#include <QString>
#include <QVector>

// Writes a looping animated GIF. Qt reads GIF but cannot write it, and the
// loading animations must be GIF because the widgets play them with QMovie.
//
// Colours are reduced to a ramp of shades between two colours (the
// animations here are one colour fading into a background), plus one
// transparent entry when the animation has no background of its own.
class GifWriter
{
public:
    GifWriter(const QColor &from, const QColor &to, bool transparent);

    // Frames must all have the size of the first one.
    void addFrame(const QImage &frame);
    // delay in hundredths of a second between frames.
    bool write(const QString &filePath, int delay) const;

private:
    QByteArray indexFrame(const QImage &frame) const;

    QColor m_from;
    QColor m_to;
    bool m_transparent;
    QVector<QImage> m_frames;
};

#endif // GIFWRITER_H
