#include "orderratelimiter.h"

#include "utility/durations.h"

#include <QtGlobal>

OrderRateLimiter::OrderRateLimiter(int burst, int intervalMs, int maxSenders)
    : m_burst(qMax(1, burst))
    , m_intervalMs(qMax(1, intervalMs))
    , m_maxSenders(qMax(1, maxSenders))
{
}

void OrderRateLimiter::refill(Allowance &allowance, qint64 nowMs, int intervalMs) const
{
    const qint64 gained = (nowMs - allowance.since) / intervalMs;
    if (gained <= 0)
        return;
    allowance.left = int(qMin<qint64>(m_burst, allowance.left + gained));
    allowance.since = allowance.left == m_burst ? nowMs : allowance.since + gained * intervalMs;
}

void OrderRateLimiter::forgetWholeAllowances(qint64 nowMs, int intervalMs)
{
    for (auto it = m_allowances.begin(); it != m_allowances.end();) {
        refill(it.value(), nowMs, intervalMs);
        if (it.value().left == m_burst)
            it = m_allowances.erase(it);
        else
            ++it;
    }
}

bool OrderRateLimiter::admit(const QString &sender, qint64 nowMs)
{
    const int intervalMs = Durations::ms(m_intervalMs);
    auto it = m_allowances.find(sender);
    if (it == m_allowances.end()) {
        if (m_allowances.size() >= m_maxSenders)
            forgetWholeAllowances(nowMs, intervalMs);
        if (m_allowances.size() >= m_maxSenders)
            return false;
        it = m_allowances.insert(sender, Allowance{ m_burst, nowMs });
    }
    Allowance &allowance = it.value();
    refill(allowance, nowMs, intervalMs);
    if (allowance.left <= 0)
        return false;
    --allowance.left;
    return true;
}
