#include "faultcontrol.h"

#include <QJsonValue>

#include <algorithm>
#include <chrono>
#include <cmath>

namespace {

bool modeFromName(const QString &name, Fault::Mode *mode)
{
    static const QHash<QString, Fault::Mode> modes = {
        { QStringLiteral("delay"), Fault::Delay },
        { QStringLiteral("hang"), Fault::Hang },
        { QStringLiteral("nonjson"), Fault::NonJson },
        { QStringLiteral("status"), Fault::Status },
        { QStringLiteral("truncate"), Fault::Truncate },
        { QStringLiteral("stall"), Fault::Stall },
        { QStringLiteral("gzip"), Fault::Gzip },
        { QStringLiteral("chunked"), Fault::Chunked },
        { QStringLiteral("redirect"), Fault::Redirect },
        { QStringLiteral("body"), Fault::Body },
        { QStringLiteral("announce"), Fault::Announce },
    };
    const auto it = modes.constFind(name);
    if (it == modes.constEnd())
        return false;
    *mode = it.value();
    return true;
}

// An optional whole number within [min, max]; absent keeps *out.
QString readBoundedInt(const QJsonObject &object, const QString &key, int min, int max, int *out)
{
    if (!object.contains(key))
        return QString();
    const QJsonValue value = object.value(key);
    const double number = value.toDouble();
    if (!value.isDouble() || !(number >= min && number <= max) || number != std::floor(number)) {
        return QStringLiteral("\"%1\" must be a whole number from %2 to %3").arg(key).arg(min).arg(max);
    }
    *out = static_cast<int>(number);
    return QString();
}

// "/..." of printable ASCII without blanks: a path on this host, fit for a
// Location header.
bool isLocalPath(const QString &text)
{
    const bool printable = std::all_of(text.cbegin(), text.cend(), [](QChar c) {
        return c.unicode() > 0x20 && c.unicode() < 0x7f;
    });
    return printable && text.startsWith(QLatin1Char('/')) && !text.startsWith(QLatin1String("//"));
}

} // namespace

QString FaultControl::set(const QJsonObject &description)
{
    const QString path = description.value(QStringLiteral("path")).toString();
    if (!path.startsWith(QLatin1Char('/')))
        return QStringLiteral("\"path\" must be an absolute path such as /QXV1/PcStudents/login");
    if (path.startsWith(QLatin1String("/__control/")))
        return QStringLiteral("control calls cannot be given faults");

    Entry entry;
    if (!modeFromName(description.value(QStringLiteral("mode")).toString(), &entry.fault.mode))
        return QStringLiteral("\"mode\" must be one of delay, hang, nonjson, status, truncate, stall, gzip, chunked, redirect, body, announce");

    if (entry.fault.mode == Fault::Delay)
        entry.fault.delayMs = 1000;
    const bool redirect = entry.fault.mode == Fault::Redirect;
    if (redirect) {
        entry.fault.status = 302;
        // Only to this service: a test must never be sent off the machine.
        entry.fault.location = description.value(QStringLiteral("location")).toString();
        if (!isLocalPath(entry.fault.location))
            return QStringLiteral("\"location\" must be a path on this service such as /files/cover.png");
    }
    if (entry.fault.mode == Fault::Body) {
        const QJsonValue body = description.value(QStringLiteral("body"));
        if (!body.isString())
            return QStringLiteral("\"body\" must be the text of the answer");
        entry.fault.body = body.toString().toUtf8();
    }
    if (entry.fault.mode == Fault::Announce) {
        // Up to 2^53: whole numbers a JSON double holds exactly.
        const double length = description.value(QStringLiteral("length")).toDouble(-1);
        if (!(length >= 1 && length <= 9007199254740992.0) || length != std::floor(length))
            return QStringLiteral("\"length\" must be the number of bytes to announce, at least 1");
        entry.fault.length = static_cast<qint64>(length);
    }
    QString error = readBoundedInt(description, QStringLiteral("delay_ms"), 0, kMaxWaitMs, &entry.fault.delayMs);
    if (error.isEmpty())
        error = readBoundedInt(description, QStringLiteral("status"), redirect ? 300 : 100, redirect ? 399 : 599,
                               &entry.fault.status);
    if (error.isEmpty())
        error = readBoundedInt(description, QStringLiteral("times"), 1, 1000000, &entry.remaining);
    if (!error.isEmpty())
        return error;

    std::lock_guard<std::mutex> lock(m_mutex);
    m_faults.insert(path, entry);
    return QString();
}

bool FaultControl::take(const QString &path, Fault *fault)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    auto it = m_faults.find(path);
    if (it == m_faults.end())
        return false;
    *fault = it->fault;
    fault->generation = m_generation;
    if (it->remaining > 0 && --it->remaining == 0)
        m_faults.erase(it);
    return true;
}

bool FaultControl::wait(int ms, const Fault &fault)
{
    std::unique_lock<std::mutex> lock(m_mutex);
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(qBound(0, ms, kMaxWaitMs));
    const bool cut = m_wake.wait_until(lock, deadline, [&] {
        return m_stopping || m_generation != fault.generation;
    });
    return !cut;
}

void FaultControl::reset()
{
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_faults.clear();
        ++m_generation;
    }
    m_wake.notify_all();
}

void FaultControl::shutdown()
{
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_stopping = true;
    }
    m_wake.notify_all();
}
