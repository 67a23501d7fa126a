#ifndef TONEDETECTOR_H
#define TONEDETECTOR_H

#include <QVector>

// How much of a stretch of sound is one tone (Goertzel's filter): the
// tone's share of the sound's whole energy, 0 to 1, and its amplitude.
namespace ToneDetector {

double share(const QVector<qint16> &samples, int rate, double hz);
// The peak amplitude of the samples, 0 to 1.
double peak(const QVector<qint16> &samples);

} // namespace ToneDetector

#endif // TONEDETECTOR_H
