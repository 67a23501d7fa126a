#ifndef REQUESTRECORDER_H
#define REQUESTRECORDER_H

#include <QJsonArray>
#include <QJsonObject>
#include <QVector>

#include <mutex>

struct ParsedRequest;

// Keeps every request since the last reset, in arrival order, in the form
// the control call /__control/requests reports. Called from the server's
// worker threads.
class RequestRecorder
{
public:
    // A long demo session must not grow without end; the oldest go first.
    static constexpr int kMaxEntries = 20000;

    void record(const ParsedRequest &request);
    QJsonArray entries() const;
    void clear();

    static QJsonObject toJson(const ParsedRequest &request);

private:
    mutable std::mutex m_mutex;
    QVector<QJsonObject> m_entries;
};

#endif // REQUESTRECORDER_H
