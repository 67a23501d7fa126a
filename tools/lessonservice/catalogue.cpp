#include "catalogue.h"

#include "fixturedata.h"
#include "parsedrequest.h"

#include <QDateTime>
#include <QJsonArray>
#include <QJsonDocument>
#include <QRandomGenerator>

namespace {

const char kJsonType[] = "application/json; charset=utf-8";
const int kOk = 200;
const int kBadRequest = 400;
const int kForbidden = 403;
const int kNotFound = 404;
const int kWrongPassword = 410;

// PHP reads $_GET for a GET and $_POST for a form or multipart POST.
QString param(const ParsedRequest &request, const QString &name)
{
    return request.method == QLatin1String("POST") ? request.formValue(name) : request.queryValue(name);
}

Answer missing(const QString &name)
{
    return Catalogue::envelope(kBadRequest, QStringLiteral("missing parameter: %1").arg(name));
}

Answer invalid(const QString &name, const QString &expected)
{
    return Catalogue::envelope(kBadRequest, QStringLiteral("parameter %1 must be %2").arg(name, expected));
}

Answer classNotFound(const QString &classId)
{
    return Catalogue::envelope(kNotFound, QStringLiteral("class %1 not found").arg(classId));
}

// A signed decimal whole number, nothing else around it.
bool parseInteger(const QString &text, qint64 *value)
{
    bool ok = false;
    *value = text.toLongLong(&ok, 10);
    return ok && !text.contains(QLatin1Char('+')) && !text.contains(QLatin1Char(' '));
}

QString sessionId()
{
    quint32 words[4];
    QRandomGenerator::global()->fillRange(words);
    QByteArray bytes(reinterpret_cast<const char *>(words), sizeof(words));
    return QString::fromLatin1(bytes.toHex());
}

QJsonValue serverTime()
{
    return QDateTime::currentSecsSinceEpoch();
}

} // namespace

Catalogue::Catalogue(FixtureData &data)
    : m_data(data)
{
    const QString get = QStringLiteral("GET");
    const QString post = QStringLiteral("POST");
    m_calls = {
        { QStringLiteral("/QXV1/Public/pcNewUpdate"), { get, &Catalogue::pcNewUpdate } },
        { QStringLiteral("/QXV1/Config/getAll"), { get, &Catalogue::getAll } },
        { QStringLiteral("/QXV1/PcStudents/getBookedClassList"), { get, &Catalogue::getBookedClassList } },
        { QStringLiteral("/QXV1/PcStudents/getBookedClass"), { get, &Catalogue::getBookedClass } },
        { QStringLiteral("/QXV1/PcTeacher/getClassInfo"), { get, &Catalogue::teacherGetClassInfo } },
        { QStringLiteral("/QXV1/PcClass/classInfo"), { get, &Catalogue::classInfo } },
        { QStringLiteral("/QXV1/Public/webUrl"), { get, &Catalogue::webUrl } },
        { QStringLiteral("/QXV1/Public/test"), { get, &Catalogue::test } },
        { QStringLiteral("/QXV1/PcTeacher/getScheduleByDay"), { get, &Catalogue::getScheduleByDay } },
        { QStringLiteral("/QXV1/Supervise/hasPermissionSupervise"), { get, &Catalogue::hasPermissionSupervise } },
        { QStringLiteral("/QXV1/Public/kv"), { post, &Catalogue::kv } },
        { QStringLiteral("/QXV1/PcStudents/login"), { post, &Catalogue::studentLogin } },
        { QStringLiteral("/QXV1/PcTeacher/login"), { post, &Catalogue::teacherLogin } },
        { QStringLiteral("/QXV1/PcClass/clickLike"), { post, &Catalogue::clickLike } },
        { QStringLiteral("/QXV1/PcClass/saveComment"), { post, &Catalogue::saveComment } },
        { QStringLiteral("/QXV1/Public/chatPic"), { post, &Catalogue::chatPic } },
        { QStringLiteral("/QXV1/Public/pcLogUpload"), { post, &Catalogue::pcLogUpload } },
        { QStringLiteral("/QXV1/PcClass/updateSdkSig"), { post, &Catalogue::updateSdkSig } },
        { QStringLiteral("/QXV1/Awards/saveAwardRecord"), { post, &Catalogue::saveAwardRecord } },
    };
}

Answer Catalogue::answer(const ParsedRequest &request)
{
    const auto it = m_calls.constFind(request.path);
    if (it == m_calls.constEnd()) {
        Answer answer = envelope(kNotFound, QStringLiteral("no such call: %1").arg(request.path));
        answer.status = 404;
        return answer;
    }
    const bool methodMatches = request.method == it->method
        || (request.method == QLatin1String("HEAD") && it->method == QLatin1String("GET"));
    if (!methodMatches) {
        Answer answer = envelope(405, QStringLiteral("%1 takes %2, not %3").arg(request.path, it->method, request.method));
        answer.status = 405;
        answer.headers.append(qMakePair(QByteArray("Allow"), it->method.toLatin1()));
        return answer;
    }
    return (this->*(it->handler))(request);
}

Answer Catalogue::envelope(int errorCode, const QString &message, const QJsonValue &data, const QJsonObject &extra)
{
    QJsonObject root = extra;
    root.insert(QStringLiteral("errorCode"), errorCode);
    root.insert(QStringLiteral("errorMsg"), message);
    root.insert(QStringLiteral("data"), data.isUndefined() || data.isNull() ? QJsonValue(QJsonObject()) : data);
    return json(200, root);
}

Answer Catalogue::json(int status, const QJsonValue &value)
{
    Answer answer;
    answer.status = status;
    answer.contentType = kJsonType;
    answer.body = value.isArray() ? QJsonDocument(value.toArray()).toJson(QJsonDocument::Compact)
                                  : QJsonDocument(value.toObject()).toJson(QJsonDocument::Compact);
    return answer;
}

Answer Catalogue::pcNewUpdate(const ParsedRequest &request)
{
    return envelope(kOk, QStringLiteral("Get data succeed"), m_data.upgradeInfo(param(request, QStringLiteral("source"))));
}

Answer Catalogue::getAll(const ParsedRequest &)
{
    return envelope(kOk, QStringLiteral("Get data succeed"), m_data.appConfig());
}

Answer Catalogue::getBookedClassList(const ParsedRequest &)
{
    return envelope(kOk, QStringLiteral("Get data succeed"), m_data.bookedClassDays(m_data.defaultStudent()->id));
}

Answer Catalogue::getBookedClass(const ParsedRequest &request)
{
    const QString text = param(request, QStringLiteral("date"));
    if (text.isNull())
        return missing(QStringLiteral("date"));
    qint64 date = 0;
    if (!parseInteger(text, &date))
        return invalid(QStringLiteral("date"), QStringLiteral("a whole number of seconds"));
    return envelope(kOk, QStringLiteral("Get data succeed"), m_data.bookedClassesOfDay(m_data.defaultStudent()->id, date));
}

Answer Catalogue::teacherGetClassInfo(const ParsedRequest &request)
{
    const QString classId = param(request, QStringLiteral("cid"));
    if (classId.isNull())
        return missing(QStringLiteral("cid"));
    qint64 number = 0;
    if (!parseInteger(classId, &number))
        return invalid(QStringLiteral("cid"), QStringLiteral("a class number"));
    if (!m_data.hasClass(classId))
        return classNotFound(classId);
    return envelope(kOk, QStringLiteral("Get course info success"), m_data.teacherClassDetails(classId),
                    QJsonObject{ { QStringLiteral("time"), serverTime() } });
}

Answer Catalogue::classInfo(const ParsedRequest &request)
{
    const qint64 receivedMs = QDateTime::currentMSecsSinceEpoch();
    const QString classId = param(request, QStringLiteral("cid"));
    if (classId.isNull())
        return missing(QStringLiteral("cid"));
    if (!m_data.hasClass(classId))
        return classNotFound(classId);
    const QString clientTs = param(request, QStringLiteral("client_local_ts"));
    qint64 clientLocalTs = 0;
    if (!clientTs.isNull() && !parseInteger(clientTs, &clientLocalTs))
        return invalid(QStringLiteral("client_local_ts"), QStringLiteral("milliseconds since 1970"));
    return envelope(kOk, QStringLiteral("Get data succeed"),
                    m_data.classInfo(classId, static_cast<double>(clientLocalTs), receivedMs),
                    QJsonObject{ { QStringLiteral("time"), serverTime() } });
}

Answer Catalogue::webUrl(const ParsedRequest &request)
{
    const QString type = param(request, QStringLiteral("type"));
    if (type.isNull())
        return missing(QStringLiteral("type"));
    const QString base = m_data.baseUrl() + QStringLiteral("/Web/Index/");
    if (type == QLatin1String("1"))
        return envelope(kOk, QStringLiteral("Get data succeed"), QJsonObject{ { QStringLiteral("url"), base + QStringLiteral("member") } });
    if (type != QLatin1String("2") && type != QLatin1String("3"))
        return invalid(QStringLiteral("type"), QStringLiteral("1, 2 or 3"));
    const QString classId = param(request, QStringLiteral("class_id"));
    if (classId.isNull())
        return missing(QStringLiteral("class_id"));
    if (!m_data.hasClass(classId))
        return classNotFound(classId);
    const QString page = type == QLatin1String("2") ? QStringLiteral("memo") : QStringLiteral("material");
    return envelope(kOk, QStringLiteral("Get data succeed"),
                    QJsonObject{ { QStringLiteral("url"), base + page + QStringLiteral("?class_id=") + classId } });
}

Answer Catalogue::test(const ParsedRequest &)
{
    return envelope(kOk, QStringLiteral("ok"), QJsonObject{ { QStringLiteral("time"), serverTime() } });
}

Answer Catalogue::getScheduleByDay(const ParsedRequest &request)
{
    const QString text = param(request, QStringLiteral("date"));
    if (text.isNull())
        return missing(QStringLiteral("date"));
    qint64 date = 0;
    if (!parseInteger(text, &date) || date < 0)
        return invalid(QStringLiteral("date"), QStringLiteral("an unsigned whole number of seconds"));
    return envelope(kOk, QStringLiteral("Get data succeed"), m_data.scheduleDays(m_data.defaultTeacher()->id, date),
                    QJsonObject{ { QStringLiteral("time"), serverTime() } });
}

Answer Catalogue::hasPermissionSupervise(const ParsedRequest &request)
{
    const QString token = param(request, QStringLiteral("token"));
    const QString classId = param(request, QStringLiteral("cid"));
    if (token.isNull())
        return missing(QStringLiteral("token"));
    if (classId.isNull())
        return missing(QStringLiteral("cid"));
    if (token != QLatin1String(FixtureData::kSupervisionToken) || !m_data.hasClass(classId))
        return envelope(kForbidden, QStringLiteral("no permission to supervise class %1").arg(classId));
    return envelope(kOk, QStringLiteral("ok"));
}

Answer Catalogue::kv(const ParsedRequest &request)
{
    const QString text = param(request, QStringLiteral("json_str"));
    if (text.isNull())
        return missing(QStringLiteral("json_str"));
    const QJsonDocument events = QJsonDocument::fromJson(text.toUtf8());
    if (!events.isArray())
        return invalid(QStringLiteral("json_str"), QStringLiteral("a JSON array of events"));
    for (const QJsonValue &event : events.array()) {
        const QJsonObject record = event.toObject();
        for (const char *key : { "type", "key", "value" }) {
            if (!record.value(QLatin1String(key)).isString())
                return invalid(QStringLiteral("json_str"), QStringLiteral("events with text \"type\", \"key\" and \"value\""));
        }
    }
    return envelope(kOk, QStringLiteral("ok"));
}

Answer Catalogue::studentLogin(const ParsedRequest &request)
{
    const FixturePerson *student = m_data.student(param(request, QStringLiteral("username")));
    if (!student)
        return envelope(kNotFound, QStringLiteral("user does not exist"));
    if (!FixtureData::passwordMatches(*student, param(request, QStringLiteral("password"))))
        return envelope(kWrongPassword, QStringLiteral("wrong password"));
    Answer answer = envelope(kOk, QStringLiteral("Login succeed"), m_data.studentLoginData(*student));
    const QString session = sessionId();
    m_data.addSession(session, student->id);
    answer.headers.append(qMakePair(QByteArray("Set-Cookie"), QStringLiteral("PHPSESSID=%1; path=/; HttpOnly").arg(session).toLatin1()));
    return answer;
}

Answer Catalogue::teacherLogin(const ParsedRequest &request)
{
    const FixturePerson *teacher = m_data.teacher(param(request, QStringLiteral("username")));
    if (!teacher)
        return envelope(kNotFound, QStringLiteral("user does not exist"));
    if (!FixtureData::passwordMatches(*teacher, param(request, QStringLiteral("password"))))
        return envelope(kWrongPassword, QStringLiteral("wrong password"));
    Answer answer = envelope(kOk, QStringLiteral("Login succeed"), m_data.teacherLoginData(*teacher));
    const QString session = sessionId();
    m_data.addSession(session, teacher->id);
    answer.headers.append(qMakePair(QByteArray("Set-Cookie"), QStringLiteral("PHPSESSID=%1; path=/; HttpOnly").arg(session).toLatin1()));
    return answer;
}

Answer Catalogue::clickLike(const ParsedRequest &request)
{
    // The praised student posts it, naming the teacher who praised: the
    // praise counts for the student signed in with the request's session.
    const QString classId = param(request, QStringLiteral("class_id"));
    const QString teacherId = param(request, QStringLiteral("tid"));
    if (classId.isNull())
        return missing(QStringLiteral("class_id"));
    if (teacherId.isNull())
        return missing(QStringLiteral("tid"));
    if (!m_data.hasClass(classId))
        return classNotFound(classId);
    if (!m_data.isInClass(classId, teacherId))
        return envelope(kNotFound, QStringLiteral("user %1 is not in class %2").arg(teacherId, classId));
    // A participant that never signed in here (a test's peer) has no
    // session: its praise is answered but counts for nobody.
    const QString student = m_data.sessionUser(request.header(QStringLiteral("cookie")));
    if (!student.isEmpty() && student != teacherId)
        m_data.addLike(classId, student);
    return envelope(kOk, QStringLiteral("ok"));
}

Answer Catalogue::saveComment(const ParsedRequest &request)
{
    const QString classId = param(request, QStringLiteral("class_id"));
    const QString scoreText = param(request, QStringLiteral("score"));
    if (classId.isNull())
        return missing(QStringLiteral("class_id"));
    if (scoreText.isNull())
        return missing(QStringLiteral("score"));
    qint64 score = 0;
    if (!parseInteger(scoreText, &score) || score < 1 || score > 5)
        return invalid(QStringLiteral("score"), QStringLiteral("a whole number from 1 to 5"));
    if (!m_data.hasClass(classId))
        return classNotFound(classId);
    m_data.markCommented(classId);
    return envelope(kOk, QStringLiteral("ok"));
}

Answer Catalogue::chatPic(const ParsedRequest &request)
{
    const UploadedPart *picture = request.file(QStringLiteral("chatPic"));
    if (!picture)
        return missing(QStringLiteral("chatPic (a file part)"));
    if (picture->data.isEmpty())
        return invalid(QStringLiteral("chatPic"), QStringLiteral("a file that is not empty"));
    const QString url = m_data.storeUpload(*picture);
    return envelope(kOk, QStringLiteral("ok"), QJsonObject{
        { QStringLiteral("key"), url.section(QLatin1Char('/'), -1) },
        { QStringLiteral("url"), url },
    });
}

Answer Catalogue::pcLogUpload(const ParsedRequest &request)
{
    const UploadedPart *log = request.file(QStringLiteral("appLog"));
    if (!log)
        return missing(QStringLiteral("appLog (a file part)"));
    return envelope(kOk, QStringLiteral("ok"));
}

Answer Catalogue::updateSdkSig(const ParsedRequest &request)
{
    const QString classId = param(request, QStringLiteral("class_id"));
    const QString studentId = param(request, QStringLiteral("sid"));
    const QString teacherId = param(request, QStringLiteral("tid"));
    if (classId.isNull())
        return missing(QStringLiteral("class_id"));
    if (studentId.isNull() == teacherId.isNull())
        return envelope(kBadRequest, QStringLiteral("send exactly one of sid and tid"));
    if (!m_data.hasClass(classId))
        return classNotFound(classId);
    const QString uid = studentId.isNull() ? teacherId : studentId;
    if (!m_data.isInClass(classId, uid))
        return envelope(kForbidden, QStringLiteral("user %1 is not in class %2").arg(uid, classId));
    return envelope(kOk, QStringLiteral("Get data succeed"), m_data.renewAgoraInfo(classId));
}

Answer Catalogue::saveAwardRecord(const ParsedRequest &request)
{
    const QString sids = param(request, QStringLiteral("sid"));
    const QString teacherId = param(request, QStringLiteral("tid"));
    const QString awardText = param(request, QStringLiteral("award_id"));
    const QString classId = param(request, QStringLiteral("class_id"));
    for (const auto &name : { QStringLiteral("sid"), QStringLiteral("tid"), QStringLiteral("award_id"), QStringLiteral("class_id") }) {
        if (param(request, name).isNull())
            return missing(name);
    }
    const QStringList uids = sids.split(QLatin1Char('|'), Qt::SkipEmptyParts);
    if (uids.isEmpty())
        return invalid(QStringLiteral("sid"), QStringLiteral("student ids each followed by |"));
    qint64 awardId = 0;
    if (!parseInteger(awardText, &awardId) || awardId < 1 || awardId > 6)
        return invalid(QStringLiteral("award_id"), QStringLiteral("a prize from 1 to 6"));
    if (!m_data.hasClass(classId))
        return classNotFound(classId);
    if (!m_data.isInClass(classId, teacherId))
        return envelope(kForbidden, QStringLiteral("user %1 is not in class %2").arg(teacherId, classId));
    const qint64 now = QDateTime::currentSecsSinceEpoch();
    m_data.recordAward(classId, uids, QString::number(awardId), now);
    return envelope(kOk, QStringLiteral("ok"), QJsonObject{ { QStringLiteral("time"), QString::number(now) } });
}
