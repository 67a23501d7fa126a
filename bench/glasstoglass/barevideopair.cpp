#include "barevideopair.h"

#include "testutil.h"

#include "platform/rtc/rtcvideosource.h"

#include <QImage>
#include <QStringList>

#include <csignal>
#include <cstdio>

namespace {

const int kWidth = RtcVideoSource::kFrameWidth;
const int kHeight = RtcVideoSource::kFrameHeight;
const int kFrameBytes = kWidth * kHeight * 4;

QStringList arguments(const QString &pipeline)
{
    return (QStringLiteral("-q ") + pipeline).split(QLatin1Char(' '), Qt::SkipEmptyParts);
}

} // namespace

BareVideoPair::BareVideoPair()
{
    m_feedTimer.setInterval(1000 / RtcVideoSource::kFramesPerSecond);
    m_feedTimer.setTimerType(Qt::PreciseTimer);
    connect(&m_feedTimer, &QTimer::timeout, this, [this] { feed(); });
    connect(&m_receiver, &QProcess::readyReadStandardOutput, this, [this] { readFrames(); });
    m_sender.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    m_receiver.setReadChannel(QProcess::StandardOutput);
    m_receiver.setProcessChannelMode(QProcess::ForwardedErrorChannel);
}

BareVideoPair::~BareVideoPair()
{
    if (m_running)
        stop();
}

bool BareVideoPair::start()
{
    const quint16 port = TestUtil::freeTcpPort();
    const QString size = QStringLiteral("width=%1,height=%2").arg(kWidth).arg(kHeight);
    m_receiver.start(QStringLiteral("gst-launch-1.0"), arguments(QStringLiteral(
        "udpsrc port=%1 caps=application/x-rtp,media=video,encoding-name=VP8,clock-rate=90000,payload=96 "
        "! rtpjitterbuffer latency=40 ! rtpvp8depay ! vp8dec ! videoconvert ! video/x-raw,format=BGRx,%2 "
        "! fdsink fd=1 sync=false").arg(port).arg(size)));
    // Frames from a pipe are no live source: the encoder would hold 25 of
    // them back for a better guess; the engine's live one holds none.
    m_sender.start(QStringLiteral("gst-launch-1.0"), arguments(QStringLiteral(
        "fdsrc fd=0 blocksize=%1 ! rawvideoparse format=bgrx %2 framerate=%3/1 "
        "! videoconvert ! video/x-raw,format=I420 "
        "! vp8enc deadline=1 cpu-used=8 threads=1 end-usage=cbr keyframe-max-dist=%4 target-bitrate=500000 lag-in-frames=0 "
        "! rtpvp8pay pt=96 picture-id-mode=15-bit ! udpsink host=127.0.0.1 port=%5 sync=false")
        .arg(kFrameBytes).arg(QString(size).replace(QLatin1Char(','), QLatin1Char(' ')))
        .arg(RtcVideoSource::kFramesPerSecond).arg(RtcVideoSource::kFramesPerSecond * 2).arg(port)));
    if (!m_receiver.waitForStarted() || !m_sender.waitForStarted()) {
        std::fprintf(stderr, "gst-launch-1.0 did not start\n");
        return false;
    }
    m_running = true;
    m_feedTimer.start();
    return true;
}

std::vector<double> BareVideoPair::take()
{
    std::vector<double> taken;
    taken.swap(m_latencies);
    return taken;
}

void BareVideoPair::feed()
{
    QImage frame = RtcVideoSource::syntheticFrame(m_frame, QStringLiteral("30001"), QStringLiteral("Bare pair"));
    RtcVideoSource::drawFrameStamp(&frame, m_frame, RtcVideoSource::stampClockMs());
    ++m_frame;
    // ARGB32 is B, G, R, A in memory here: the BGRx the sender reads.
    m_sender.write(reinterpret_cast<const char *>(frame.constBits()), kFrameBytes);
}

void BareVideoPair::readFrames()
{
    m_received += m_receiver.readAllStandardOutput();
    while (m_received.size() >= kFrameBytes) {
        const quint32 now = RtcVideoSource::stampClockMs();
        const QImage picture(reinterpret_cast<const uchar *>(m_received.constData()), kWidth, kHeight, QImage::Format_RGB32);
        quint32 frame = 0;
        quint32 drawn = 0;
        if (RtcVideoSource::readFrameStamp(picture, &frame, &drawn))
            m_latencies.push_back(double(qint32(now - drawn)));
        m_received.remove(0, kFrameBytes);
    }
}

bool BareVideoPair::stop()
{
    m_running = false;
    m_feedTimer.stop();
    // The sender ends at the end of its input; the receiver on an interrupt.
    m_sender.closeWriteChannel();
    const bool senderDone = m_sender.waitForFinished(10000);
    ::kill(pid_t(m_receiver.processId()), SIGINT);
    const bool receiverDone = m_receiver.waitForFinished(10000);
    if (!senderDone)
        TestUtil::stopProcess(m_sender);
    if (!receiverDone)
        TestUtil::stopProcess(m_receiver);
    const bool clean = senderDone && receiverDone && m_sender.exitStatus() == QProcess::NormalExit && m_sender.exitCode() == 0
        && m_receiver.exitStatus() == QProcess::NormalExit && m_receiver.exitCode() == 0;
    if (!clean)
        std::fprintf(stderr, "the gst-launch pair did not end cleanly: %d %d\n", m_sender.exitCode(), m_receiver.exitCode());
    return clean;
}
