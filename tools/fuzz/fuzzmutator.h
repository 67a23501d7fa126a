#ifndef FUZZMUTATOR_H
#define FUZZMUTATOR_H

#include <QByteArray>
#include <QRandomGenerator>
#include <QVector>

// Random changes to an input, blind (no coverage feedback): bits and bytes
// changed, ranges removed, repeated or taken from another input, numbers
// and JSON pieces a hostile sender would try put in. The same seed gives
// the same inputs.
class FuzzMutator
{
public:
    FuzzMutator(quint32 seed, int maxLength);

    // One to eight changes to a copy of input; inputs lends pieces. The
    // first byte (the kind of input) changes now and then too.
    QByteArray mutate(const QByteArray &input, const QVector<QByteArray> &inputs);

private:
    void changeOnce(QByteArray &data, const QVector<QByteArray> &inputs);
    int position(const QByteArray &data, bool end);

    QRandomGenerator random;
    int maxLength;
};

#endif // FUZZMUTATOR_H
