#ifndef ORDERRATELIMITER_H
#define ORDERRATELIMITER_H

#include <QHash>
#include <QString>

// How often one kind of order is taken from one sender: a sender may spend
// `burst` orders at once and gets one back every `intervalMs` (read through
// Durations::ms, so tests run it faster). At most `maxSenders` senders are
// remembered; a sender whose allowance is whole again is forgotten first,
// and while the table is full of others a new sender gets nothing.
class OrderRateLimiter
{
public:
    OrderRateLimiter(int burst, int intervalMs, int maxSenders);

    // Spends one order of sender at nowMs (a monotonic clock); false when
    // its allowance is used up.
    bool admit(const QString &sender, qint64 nowMs);

    int burst() const { return m_burst; }
    int intervalMs() const { return m_intervalMs; }

private:
    struct Allowance
    {
        int left = 0;
        qint64 since = 0; // when the next order comes back is counted from
    };

    void refill(Allowance &allowance, qint64 nowMs, int intervalMs) const;
    void forgetWholeAllowances(qint64 nowMs, int intervalMs);

    int m_burst;
    int m_intervalMs;
    int m_maxSenders;
    QHash<QString, Allowance> m_allowances;
};

#endif // ORDERRATELIMITER_H
