#include "barevideopair.h"

#include "testutil.h"

#include "platform/rtc/rtcvideosource.h"

#include <QFile>
#include <QImage>
#include <QStringList>

#include <chrono>
#include <csignal>
#include <cstdio>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

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
    : m_toSender(m_dir.filePath(QStringLiteral("sent")))
    , m_fromReceiver(m_dir.filePath(QStringLiteral("received")))
{
    m_sender.setProcessChannelMode(QProcess::ForwardedChannels);
    m_receiver.setProcessChannelMode(QProcess::ForwardedChannels);
}

BareVideoPair::~BareVideoPair()
{
    if (m_running)
        stop();
}

bool BareVideoPair::start()
{
    if (!m_dir.isValid() || ::mkfifo(QFile::encodeName(m_toSender).constData(), 0600) != 0
        || ::mkfifo(QFile::encodeName(m_fromReceiver).constData(), 0600) != 0) {
        std::fprintf(stderr, "no pipe for the frames\n");
        return false;
    }
    const quint16 port = TestUtil::freeTcpPort();
    const QString size = QStringLiteral("width=%1,height=%2").arg(kWidth).arg(kHeight);
    m_receiver.start(QStringLiteral("gst-launch-1.0"), arguments(QStringLiteral(
        "udpsrc port=%1 caps=application/x-rtp,media=video,encoding-name=VP8,clock-rate=90000,payload=96 "
        "! rtpjitterbuffer latency=20 ! rtpvp8depay ! vp8dec ! videoconvert ! video/x-raw,format=BGRx,%2 "
        "! filesink location=%3 sync=false buffer-mode=unbuffered").arg(port).arg(size, m_fromReceiver)));
    // Frames from a pipe are no live source: the encoder would hold 25 of
    // them back for a better guess; the engine's live one holds none.
    m_sender.start(QStringLiteral("gst-launch-1.0"), arguments(QStringLiteral(
        "filesrc location=%6 blocksize=%1 ! rawvideoparse format=bgrx %2 framerate=%3/1 "
        "! videoconvert ! video/x-raw,format=I420 "
        "! vp8enc deadline=1 cpu-used=8 threads=1 end-usage=cbr keyframe-max-dist=%4 target-bitrate=500000 lag-in-frames=0 "
        "! rtpvp8pay pt=96 picture-id-mode=15-bit ! udpsink host=127.0.0.1 port=%5 sync=false")
        .arg(kFrameBytes).arg(QString(size).replace(QLatin1Char(','), QLatin1Char(' ')))
        .arg(RtcVideoSource::kFramesPerSecond).arg(RtcVideoSource::kFramesPerSecond * 2).arg(port).arg(m_toSender)));
    if (!m_receiver.waitForStarted() || !m_sender.waitForStarted()) {
        std::fprintf(stderr, "gst-launch-1.0 did not start\n");
        return false;
    }
    m_running = true;
    m_feeding = true;
    m_feeder = std::thread([this] { feed(); });
    m_reader = std::thread([this] { readFrames(); });
    return true;
}

std::vector<double> BareVideoPair::take()
{
    QMutexLocker hold(&m_lock);
    std::vector<double> taken;
    taken.swap(m_latencies);
    return taken;
}

void BareVideoPair::feed()
{
    // Blocks until the sender opens its end.
    const int fd = ::open(QFile::encodeName(m_toSender).constData(), O_WRONLY | O_CLOEXEC);
    if (fd < 0)
        return;
    const auto interval = std::chrono::microseconds(1000000 / RtcVideoSource::kFramesPerSecond);
    auto next = std::chrono::steady_clock::now();
    for (quint32 n = 0; m_feeding; ++n) {
        QImage frame = RtcVideoSource::syntheticFrame(n, QStringLiteral("30001"), QStringLiteral("Bare pair"));
        RtcVideoSource::drawFrameStamp(&frame, n, RtcVideoSource::stampClockMs());
        // ARGB32 is B, G, R, A in memory here: the BGRx the sender reads.
        const char *data = reinterpret_cast<const char *>(frame.constBits());
        for (qint64 done = 0; done < kFrameBytes && m_feeding;) {
            const ssize_t written = ::write(fd, data + done, size_t(kFrameBytes - done));
            if (written <= 0) {
                m_feeding = false;
                break;
            }
            done += written;
        }
        next += interval;
        std::this_thread::sleep_until(next);
    }
    ::close(fd);
}

void BareVideoPair::readFrames()
{
    // Blocks until the receiver opens its end; ends when it closes it.
    const int fd = ::open(QFile::encodeName(m_fromReceiver).constData(), O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        return;
    QByteArray frame(kFrameBytes, Qt::Uninitialized);
    for (;;) {
        qint64 done = 0;
        while (done < kFrameBytes) {
            const ssize_t got = ::read(fd, frame.data() + done, size_t(kFrameBytes - done));
            if (got <= 0)
                break;
            done += got;
        }
        if (done < kFrameBytes)
            break;
        const quint32 now = RtcVideoSource::stampClockMs();
        const QImage picture(reinterpret_cast<const uchar *>(frame.constData()), kWidth, kHeight, QImage::Format_RGB32);
        quint32 number = 0;
        quint32 drawn = 0;
        if (RtcVideoSource::readFrameStamp(picture, &number, &drawn)) {
            QMutexLocker hold(&m_lock);
            m_latencies.push_back(double(qint32(now - drawn)));
        }
    }
    ::close(fd);
}

bool BareVideoPair::stop()
{
    m_running = false;
    m_feeding = false;
    // A feeder still waiting for the sender to open its pipe is let go.
    const int unblock = ::open(QFile::encodeName(m_toSender).constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (m_feeder.joinable())
        m_feeder.join();
    if (unblock >= 0)
        ::close(unblock);
    // The sender ends at the end of its input; the receiver on an interrupt.
    const bool senderDone = m_sender.waitForFinished(10000);
    ::kill(pid_t(m_receiver.processId()), SIGINT);
    const bool receiverDone = m_receiver.waitForFinished(10000);
    if (!senderDone)
        TestUtil::stopProcess(m_sender);
    if (!receiverDone)
        TestUtil::stopProcess(m_receiver);
    // A reader still waiting for the receiver to open its pipe is let go.
    const int release = ::open(QFile::encodeName(m_fromReceiver).constData(), O_WRONLY | O_NONBLOCK | O_CLOEXEC);
    if (release >= 0)
        ::close(release);
    if (m_reader.joinable())
        m_reader.join();
    const bool clean = senderDone && receiverDone && m_sender.exitStatus() == QProcess::NormalExit && m_sender.exitCode() == 0
        && m_receiver.exitStatus() == QProcess::NormalExit && m_receiver.exitCode() == 0;
    if (!clean)
        std::fprintf(stderr, "the gst-launch pair did not end cleanly: %d %d\n", m_sender.exitCode(), m_receiver.exitCode());
    return clean;
}
