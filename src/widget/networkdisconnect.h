#ifndef NETWORKDISCONNECT_H
#define NETWORKDISCONNECT_H

#include <QWidget>

namespace Ui {
class NetworkDisconnect;
}

class ClassWidget;

// The thin banner over the top of the class page while the RTC engine or
// the signalling service reports the network as lost. The last report of
// either source decides.
class NetworkDisconnect : public QWidget
{
    Q_OBJECT

public:
    explicit NetworkDisconnect(ClassWidget *parent);
    ~NetworkDisconnect() override;

public slots:
    void slot_networkStatusChangeed(bool isConnected);

private:
    Ui::NetworkDisconnect *ui;
};

#endif // NETWORKDISCONNECT_H
