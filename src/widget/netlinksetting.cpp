#include "netlinksetting.h"
#include "ui_netlinksetting.h"

#include "utility/actionlog.h"
#include "utility/networkingtestthread.h"

#include <QDebug>

namespace {

constexpr int kLineCount = 4;

const char *const kSignalStyles[] = {
    "border-image: url(:/image/login/signalStrong.png)",
    "border-image: url(:/image/login/signalWeak.png)",
    "border-image: url(:/image/login/signalBad.png)",
};

} // namespace

NetLinkSetting::NetLinkSetting(QWidget *parent)
    : BaseMainWidget(parent)
    , ui(new Ui::NetLinkSetting)
{
    qRegisterMetaType<NETLINK_TYPE>("NETLINK_TYPE");
    ui->setupUi(this);
    setWindowFlags(Qt::Tool | Qt::FramelessWindowHint);
    setAttribute(Qt::WA_TranslucentBackground);

    m_chosenNetLink = BaseApis::getNetLinkType();
    switch (m_chosenNetLink) {
    case NETLINK_UNITED_STATES:
        ui->radioButton_2->setChecked(true);
        break;
    case NETLINK_EUROPE:
        ui->radioButton_3->setChecked(true);
        break;
    case NETLINK_SINGAPORE:
        ui->radioButton_4->setChecked(true);
        break;
    default:
        ui->radioButton_1->setChecked(true);
        break;
    }
}

NetLinkSetting::~NetLinkSetting()
{
    // The test threads are children of this window: stop them while the
    // form they report to still exists.
    stopTests();
    delete ui;
}

NetworkingTestThread *NetLinkSetting::testThread(int netLink) const
{
    if (netLink < 0 || netLink >= kLineCount)
        return nullptr;
    return m_threads[netLink];
}

void NetLinkSetting::on_pushButton_clicked()
{
    BaseApis::setNetLinkType(static_cast<NETLINK_TYPE>(m_chosenNetLink));
    ActionLog::instance()->NormalInfo(QStringLiteral("current_choose_networking_link"),
                                      QStringLiteral("{URL:%1}").arg(BaseApis::getUrl(QString())));
    stopTests();
    close();
}

void NetLinkSetting::on_closePushButton_clicked()
{
    stopTests();
    close();
}

void NetLinkSetting::on_radioButton_1_clicked()
{
    m_chosenNetLink = NETLINK_MAIN;
}

void NetLinkSetting::on_radioButton_2_clicked()
{
    m_chosenNetLink = NETLINK_UNITED_STATES;
}

void NetLinkSetting::on_radioButton_3_clicked()
{
    m_chosenNetLink = NETLINK_EUROPE;
}

void NetLinkSetting::on_radioButton_4_clicked()
{
    m_chosenNetLink = NETLINK_SINGAPORE;
}

void NetLinkSetting::slot_currentNetworkDelay(NETLINK_TYPE _netLink, int signalNum)
{
    qInfo() << "slot_currentNetworkDelay _netLink:" << static_cast<int>(_netLink) << "signalNum:" << signalNum;
    ActionLog::instance()->NormalInfo(QStringLiteral("current_networking_link"),
                                      QStringLiteral("{URL:%1, delay:%2ms}")
                                          .arg(BaseApis::getServerBaseUrl(_netLink))
                                          .arg(signalNum * NetworkingTestThread::kBandMilliseconds));
    QLabel *label = signalLabel(_netLink);
    if (!label || signalNum < 0 || signalNum > 2)
        return;
    label->setStyleSheet(QLatin1String(kSignalStyles[signalNum]));
}

void NetLinkSetting::on_pushButtonCancel_clicked()
{
    stopTests();
    close();
}

void NetLinkSetting::slot_updateNetSignalStrength()
{
    // A second start replaces the tests still running.
    stopTests();
    for (int netLink = 0; netLink < kLineCount; ++netLink) {
        auto *thread = new NetworkingTestThread(static_cast<NETLINK_TYPE>(netLink), this);
        m_threads[netLink] = thread;
        connect(thread, &NetworkingTestThread::signal_currentNetworkDelay, this, &NetLinkSetting::slot_currentNetworkDelay);
        thread->start(QThread::InheritPriority);
    }
}

void NetLinkSetting::stopTests()
{
    for (QPointer<NetworkingTestThread> &thread : m_threads) {
        if (!thread)
            continue;
        thread->disconnect(this);
        thread->stopTest();
    }
}

QLabel *NetLinkSetting::signalLabel(int netLink) const
{
    switch (netLink) {
    case NETLINK_MAIN:
        return ui->labelSignal_1;
    case NETLINK_UNITED_STATES:
        return ui->labelSignal_2;
    case NETLINK_EUROPE:
        return ui->labelSignal_3;
    case NETLINK_SINGAPORE:
        return ui->labelSignal_4;
    default:
        return nullptr;
    }
}
