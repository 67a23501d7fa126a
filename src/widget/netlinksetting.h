#ifndef NETLINKSETTING_H
#define NETLINKSETTING_H

#include "biz/httpapi/baseapis.h"
#include "utility/widget/basemainwidget.h"

#include <QPointer>

namespace Ui {
class NetLinkSetting;
}

class NetworkingTestThread;
class QLabel;

// The "Network Settings" window: measures the delay of the four network
// lines, shows each as a signal-strength icon, and on OK makes the chosen
// line the one every later request uses.
class NetLinkSetting : public BaseMainWidget
{
    Q_OBJECT

public:
    explicit NetLinkSetting(QWidget *parent = nullptr);
    ~NetLinkSetting() override;

    int chosenNetLink() const { return m_chosenNetLink; }
    // The test of a line, null before the tests start.
    NetworkingTestThread *testThread(int netLink) const;

public slots:
    void on_pushButton_clicked();
    void on_closePushButton_clicked();
    void on_radioButton_1_clicked();
    void on_radioButton_2_clicked();
    void on_radioButton_3_clicked();
    void on_radioButton_4_clicked();
    void slot_currentNetworkDelay(NETLINK_TYPE _netLink, int signalNum);
    void on_pushButtonCancel_clicked();
    void slot_updateNetSignalStrength();

private:
    // Ends every test that runs; later answers are not shown.
    void stopTests();
    QLabel *signalLabel(int netLink) const;

    Ui::NetLinkSetting *ui;
    int m_chosenNetLink = NETLINK_MAIN;
    QPointer<NetworkingTestThread> m_threads[4];
};

#endif // NETLINKSETTING_H
