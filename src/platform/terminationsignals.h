#ifndef TERMINATIONSIGNALS_H
#define TERMINATIONSIGNALS_H

#include <QObject>

class QSocketNotifier;

// Turns SIGTERM and SIGINT into a queued Qt signal on the thread that made
// this object, so a client asked to end from outside (a service manager, a
// Ctrl+C in its terminal) leaves through the normal quit path: windows
// closed, "app_close" recorded, the single-instance socket removed. The
// system handler only writes one byte to a socket pair, which is all it
// may safely do. One object at a time; the previous handlers come back
// when it is destroyed.
class TerminationSignals : public QObject
{
    Q_OBJECT

public:
    explicit TerminationSignals(QObject *parent = nullptr);
    ~TerminationSignals() override;

    // False when the socket pair or the handlers could not be set up.
    bool isActive() const;

signals:
    void signal_terminationRequested(int signalNumber);

private slots:
    void slot_readSignal();

private:
    QSocketNotifier *m_notifier = nullptr;
};

#endif // TERMINATIONSIGNALS_H
