#ifndef CATALOGUE_H
#define CATALOGUE_H

#include <QByteArray>
#include <QHash>
#include <QJsonObject>
#include <QJsonValue>
#include <QList>
#include <QPair>
#include <QString>

class FixtureData;
struct ParsedRequest;

// What the service sends back, before any fault is applied to it.
struct Answer
{
    int status = 200;
    QByteArray contentType;
    QByteArray body;
    QList<QPair<QByteArray, QByteArray>> headers;
    bool download = false; // a file: Range requests are honoured
};

// The lesson service's API under /QXV1/: every call of the client's
// catalogue, answered with the envelope {"errorCode", "errorMsg", "data"}.
// Refusals keep HTTP status 200 and carry their code in the envelope, as the
// real service does; only an unknown call or a wrong method is an HTTP error.
class Catalogue
{
public:
    explicit Catalogue(FixtureData &data);

    Answer answer(const ParsedRequest &request);

    static Answer envelope(int errorCode, const QString &message, const QJsonValue &data = QJsonValue(),
                           const QJsonObject &extra = QJsonObject());
    static Answer json(int status, const QJsonValue &value);

private:
    using Handler = Answer (Catalogue::*)(const ParsedRequest &);
    struct Call
    {
        QString method;
        Handler handler = nullptr;
    };

    Answer pcNewUpdate(const ParsedRequest &request);
    Answer getAll(const ParsedRequest &request);
    Answer getBookedClassList(const ParsedRequest &request);
    Answer getBookedClass(const ParsedRequest &request);
    Answer teacherGetClassInfo(const ParsedRequest &request);
    Answer classInfo(const ParsedRequest &request);
    Answer webUrl(const ParsedRequest &request);
    Answer test(const ParsedRequest &request);
    Answer getScheduleByDay(const ParsedRequest &request);
    Answer hasPermissionSupervise(const ParsedRequest &request);
    Answer kv(const ParsedRequest &request);
    Answer studentLogin(const ParsedRequest &request);
    Answer teacherLogin(const ParsedRequest &request);
    Answer clickLike(const ParsedRequest &request);
    Answer saveComment(const ParsedRequest &request);
    Answer chatPic(const ParsedRequest &request);
    Answer pcLogUpload(const ParsedRequest &request);
    Answer updateSdkSig(const ParsedRequest &request);
    Answer saveAwardRecord(const ParsedRequest &request);

    FixtureData &m_data;
    QHash<QString, Call> m_calls;
};

#endif // CATALOGUE_H
