#include "fixturedata.h"

#include "parsedrequest.h"

#include <QCryptographicHash>
#include <QTime>

#include <algorithm>
#include <cmath>

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonDocument>
#include <QRegularExpression>

const char *const FixtureData::kSupervisionToken = "supervisor-token";

namespace {

const char kCourseware[] = "courseware.pdf";
const char kCover[] = "cover.png";
const char kAudio[] = "lesson-audio.mp3";
const char kVideo[] = "lesson-video.mp4";
const char kVideoSound[] = "lesson-video-sound.mp3";
const char kVideoCover[] = "video-cover.png";
const char kInstaller[] = "lessonry-setup.sh";
const char kBrokenInstaller[] = "lessonry-setup-broken.bin";
const char kMaterialId[] = "501";
const int kClassMinutes = 25;
const int kMaxUploads = 200;

QByteArray contentTypeOf(const QString &suffix)
{
    static const QHash<QString, QByteArray> types = {
        { QStringLiteral("pdf"), "application/pdf" },
        { QStringLiteral("png"), "image/png" },
        { QStringLiteral("jpg"), "image/jpeg" },
        { QStringLiteral("jpeg"), "image/jpeg" },
        { QStringLiteral("gif"), "image/gif" },
        { QStringLiteral("mp3"), "audio/mpeg" },
        { QStringLiteral("m4a"), "audio/mp4" },
        { QStringLiteral("mp4"), "video/mp4" },
        { QStringLiteral("sh"), "application/x-sh" },
        { QStringLiteral("bin"), "application/octet-stream" },
    };
    return types.value(suffix.toLower());
}

QString md5Hex(const QByteArray &data)
{
    return QString::fromLatin1(QCryptographicHash::hash(data, QCryptographicHash::Md5).toHex());
}

qint64 startOfLocalDay(qint64 seconds)
{
    return QDateTime::fromSecsSinceEpoch(seconds).date().startOfDay().toSecsSinceEpoch();
}

// The fields of a class that the teacher's schedule and the class
// information share; planUrl is the teaching plan's address.
QJsonObject classFields(const FixtureClass &lesson, const QString &planUrl)
{
    return QJsonObject{
        { QStringLiteral("class_id"), lesson.id },
        { QStringLiteral("room_id"), QStringLiteral("room-") + lesson.id },
        { QStringLiteral("begin_time"), QString::number(lesson.beginTime) },
        { QStringLiteral("class_time"), kClassMinutes },
        { QStringLiteral("free_try"), lesson.freeTry },
        { QStringLiteral("cls_type"), QStringLiteral("1") },
        { QStringLiteral("type"), QStringLiteral("1") },
        { QStringLiteral("status"), QString::number(lesson.status) },
        { QStringLiteral("cls_max_num"), QStringLiteral("6") },
        { QStringLiteral("cls_app_num"), QString::number(lesson.studentIds.size()) },
        { QStringLiteral("tch_plan_url"), planUrl },
    };
}

} // namespace

FixtureData::FixtureData(qint64 startSeconds)
{
    m_people = {
        { QStringLiteral("20001"), QStringLiteral("Lily"), QStringLiteral("13800000001"), QStringLiteral("student123"),
          QStringLiteral("13800000001"), QStringLiteral("lily@example.com"), QStringLiteral("avatar-student.png"),
          QStringLiteral("2"), QStringLiteral("7"), QStringLiteral("PreA") },
        { QStringLiteral("20002"), QStringLiteral("Tom"), QString(), QString(),
          QStringLiteral("13800000002"), QStringLiteral("tom@example.com"), QStringLiteral("avatar-student2.png"),
          QStringLiteral("1"), QStringLiteral("8"), QStringLiteral("PreB") },
        { QStringLiteral("30001"), QStringLiteral("Ms. Green"), QStringLiteral("teacher@example.com"),
          QStringLiteral("teacher123"), QString(), QStringLiteral("teacher@example.com"),
          QStringLiteral("avatar-teacher.png"), QStringLiteral("2"), QString(), QString() },
        { QStringLiteral("20003"), QStringLiteral("Mia"), QString(), QString(),
          QStringLiteral("13800000003"), QStringLiteral("mia@example.com"), QStringLiteral("avatar-student.png"),
          QStringLiteral("2"), QStringLiteral("6"), QStringLiteral("PreA") },
        { QStringLiteral("20004"), QStringLiteral("Leo"), QString(), QString(),
          QStringLiteral("13800000004"), QStringLiteral("leo@example.com"), QStringLiteral("avatar-student2.png"),
          QStringLiteral("1"), QStringLiteral("9"), QStringLiteral("A1") },
        { QStringLiteral("20005"), QStringLiteral("Ava"), QString(), QString(),
          QStringLiteral("13800000005"), QStringLiteral("ava@example.com"), QStringLiteral("avatar-student.png"),
          QStringLiteral("2"), QStringLiteral("7"), QStringLiteral("PreB") },
        { QStringLiteral("20006"), QStringLiteral("Max"), QString(), QString(),
          QStringLiteral("13800000006"), QStringLiteral("max@example.com"), QStringLiteral("avatar-student2.png"),
          QStringLiteral("1"), QStringLiteral("10"), QStringLiteral("A2") },
        { QStringLiteral("30002"), QStringLiteral("Mr. Brown"), QString(), QString(), QString(),
          QStringLiteral("brown@example.com"), QStringLiteral("avatar-teacher.png"), QStringLiteral("1"), QString(),
          QString() },
    };

    // A week from the service's start. The first class runs from the minute
    // the service started, so it can be entered at once; the second follows
    // two hours later. The student has lessons on five of the seven days
    // (with Ms. Green and Mr. Brown); the teacher has today's classes (one
    // finished, one on the meeting service) and tomorrow's (a trial class,
    // a class of five).
    const qint64 firstBegin = startSeconds - startSeconds % 60;
    const QDate today = QDateTime::fromSecsSinceEpoch(startSeconds).date();
    const qint64 todayStart = today.startOfDay().toSecsSinceEpoch();
    auto at = [&today](int day, int hour, int minute) {
        return QDateTime(today.addDays(day), QTime(hour, minute)).toSecsSinceEpoch();
    };
    const QString green = QStringLiteral("30001");
    const QString brown = QStringLiteral("30002");
    const QString lily = QStringLiteral("20001");
    auto lesson = [](const QString &id, qint64 begin, const QString &teacher, const QStringList &students,
                     const QString &course, const QString &unit, const QString &picture) {
        FixtureClass entry;
        entry.id = id;
        entry.beginTime = begin;
        entry.teacherId = teacher;
        entry.studentIds = students;
        entry.course = course;
        entry.unit = unit;
        entry.picture = picture;
        return entry;
    };
    const QString cover = QLatin1String(kCover);
    const QString videoCover = QLatin1String(kVideoCover);
    m_classes = {
        lesson(QStringLiteral("10001"), firstBegin, green, { lily, QStringLiteral("20002") },
               QStringLiteral("Level 1"), QStringLiteral("Unit 3: Colours"), cover),
        lesson(QStringLiteral("10002"), firstBegin + 2 * 3600, green,
               { lily, QStringLiteral("20003"), QStringLiteral("20004") }, QStringLiteral("Level 1"),
               QStringLiteral("Unit 4: Animals"), videoCover),
        lesson(QStringLiteral("10010"), qMax(todayStart + 60, firstBegin - 3 * 3600), green,
               { QStringLiteral("20002"), QStringLiteral("20003"), QStringLiteral("20005") }, QStringLiteral("Level 2"),
               QStringLiteral("Unit 1: My Family"), cover),
        lesson(QStringLiteral("10011"), firstBegin + 4 * 3600, green, { QStringLiteral("20004"), QStringLiteral("20006") },
               QStringLiteral("Level 3"), QStringLiteral("Unit 2: Weather"), videoCover),
        lesson(QStringLiteral("10003"), at(1, 10, 0), green, { lily, QStringLiteral("20005") },
               QStringLiteral("Level 1"), QStringLiteral("Trial: Hello!"), cover),
        lesson(QStringLiteral("10004"), at(1, 16, 0), green,
               { lily, QStringLiteral("20002"), QStringLiteral("20003"), QStringLiteral("20004"), QStringLiteral("20005") },
               QStringLiteral("Level 1"), QStringLiteral("Unit 5: Food"), videoCover),
        lesson(QStringLiteral("10005"), at(3, 9, 30), brown, { lily, QStringLiteral("20006") },
               QStringLiteral("Phonics"), QStringLiteral("Lesson 7: Short a"), cover),
        lesson(QStringLiteral("10006"), at(4, 8, 0), brown, { lily, QStringLiteral("20003") },
               QStringLiteral("Phonics"), QStringLiteral("Lesson 8: Short e"), videoCover),
        lesson(QStringLiteral("10007"), at(4, 13, 0), green, { lily, QStringLiteral("20004") },
               QStringLiteral("Level 1"), QStringLiteral("Unit 6: Toys"), cover),
        lesson(QStringLiteral("10008"), at(4, 19, 0), brown, { lily, QStringLiteral("20005") },
               QStringLiteral("Reading"), QStringLiteral("Story 2: The Red Hen"), videoCover),
        lesson(QStringLiteral("10009"), at(6, 11, 0), green, { lily, QStringLiteral("20003") },
               QStringLiteral("Level 1"), QStringLiteral("Review: Units 3-6"), cover),
    };
    m_classes[2].status = 3;
    m_classes[3].useTool = 1;
    m_classes[3].meetingId = QStringLiteral("8123456789");
    m_classes[4].freeTry = QStringLiteral("100");
    m_firstDay = today;
    resetState();
}

bool FixtureData::loadFiles(const QString &dir, QString *error)
{
    const QFileInfoList entries = QDir(dir).entryInfoList(QDir::Files, QDir::Name);
    for (const QFileInfo &entry : entries) {
        const QByteArray type = contentTypeOf(entry.suffix());
        if (type.isEmpty())
            continue;
        QFile file(entry.absoluteFilePath());
        if (!file.open(QIODevice::ReadOnly)) {
            *error = QStringLiteral("cannot read %1: %2").arg(file.fileName(), file.errorString());
            return false;
        }
        ServedFile served;
        served.data = file.readAll();
        served.contentType = type;
        served.md5 = md5Hex(served.data);
        m_files.insert(entry.fileName(), served);
    }
    for (const char *name : { kCourseware, kCover, kAudio, kVideo, kVideoSound, kVideoCover, kInstaller, kBrokenInstaller }) {
        if (!m_files.contains(QLatin1String(name))) {
            *error = QStringLiteral("fixture %1 is missing in %2").arg(QLatin1String(name), dir);
            return false;
        }
    }
    for (const FixturePerson &person : qAsConst(m_people)) {
        if (!m_files.contains(person.avatar)) {
            *error = QStringLiteral("fixture %1 is missing in %2").arg(person.avatar, dir);
            return false;
        }
    }

    QFile avinfoFile(QDir(dir).filePath(QStringLiteral("avinfo.json")));
    if (!avinfoFile.open(QIODevice::ReadOnly)) {
        *error = QStringLiteral("cannot read %1: %2").arg(avinfoFile.fileName(), avinfoFile.errorString());
        return false;
    }
    QJsonParseError parseError;
    const QJsonDocument avinfo = QJsonDocument::fromJson(avinfoFile.readAll(), &parseError);
    if (!avinfo.isObject()) {
        *error = QStringLiteral("%1 is not a JSON object: %2").arg(avinfoFile.fileName(), parseError.errorString());
        return false;
    }
    m_avinfo = avinfo.object();
    return loadMediaFiles(error);
}

// Media files made by the build for the player tests, named by the
// environment variable LESSONRY_LESSON_MEDIA_DIR: served under /files/ like
// the fixtures, each with the "?avinfo" answer of its <file>.avinfo.json.
bool FixtureData::loadMediaFiles(QString *error)
{
    const QString dir = qEnvironmentVariable("LESSONRY_LESSON_MEDIA_DIR");
    if (dir.isEmpty())
        return true;
    const QStringList filters{ QStringLiteral("*.mp4"), QStringLiteral("*.mp3") };
    const QFileInfoList entries = QDir(dir).entryInfoList(filters, QDir::Files, QDir::Name);
    for (const QFileInfo &entry : entries) {
        QFile file(entry.absoluteFilePath());
        if (!file.open(QIODevice::ReadOnly)) {
            *error = QStringLiteral("cannot read %1: %2").arg(file.fileName(), file.errorString());
            return false;
        }
        ServedFile served;
        served.data = file.readAll();
        served.contentType = contentTypeOf(entry.suffix());
        served.md5 = md5Hex(served.data);
        m_files.insert(entry.fileName(), served);
        QFile info(entry.absoluteFilePath() + QStringLiteral(".avinfo.json"));
        if (info.open(QIODevice::ReadOnly))
            m_avinfo.insert(entry.fileName(), QJsonDocument::fromJson(info.readAll()).object());
    }
    return true;
}

void FixtureData::setBaseUrl(const QString &baseUrl)
{
    m_baseUrl = baseUrl;
}

QString FixtureData::baseUrl() const
{
    return m_baseUrl;
}

QString FixtureData::fileUrl(const QString &name) const
{
    return m_baseUrl + QStringLiteral("/files/") + name;
}

bool FixtureData::fixtureFile(const QString &name, ServedFile *file) const
{
    const auto it = m_files.constFind(name);
    if (it == m_files.constEnd())
        return false;
    *file = it.value();
    return true;
}

QJsonObject FixtureData::avinfo(const QString &name) const
{
    return m_avinfo.value(name).toObject();
}

QString FixtureData::storeUpload(const UploadedPart &part)
{
    // Only a short alphanumeric suffix of the client's file name is kept, so
    // the stored name is always safe to serve.
    const QRegularExpression suffixPattern(QStringLiteral("\\.([A-Za-z0-9]{1,5})$"));
    const QRegularExpressionMatch suffix = suffixPattern.match(part.filename);

    ServedFile served;
    served.data = part.data;
    served.md5 = md5Hex(part.data);
    served.contentType = suffix.hasMatch() ? contentTypeOf(suffix.captured(1)) : QByteArray();
    if (served.contentType.isEmpty())
        served.contentType = "application/octet-stream";

    std::lock_guard<std::mutex> lock(m_mutex);
    const QString name = QStringLiteral("%1-%2%3")
                             .arg(++m_uploadCounter)
                             .arg(served.md5.left(12))
                             .arg(suffix.hasMatch() ? QLatin1Char('.') + suffix.captured(1).toLower() : QString());
    m_uploads.insert(name, served);
    m_uploadOrder.append(name);
    while (m_uploadOrder.size() > kMaxUploads)
        m_uploads.remove(m_uploadOrder.takeFirst());
    return m_baseUrl + QStringLiteral("/uploads/") + name;
}

bool FixtureData::uploadedFile(const QString &name, ServedFile *file) const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    const auto it = m_uploads.constFind(name);
    if (it == m_uploads.constEnd())
        return false;
    *file = it.value();
    return true;
}

const FixturePerson *FixtureData::student(const QString &login) const
{
    for (const FixturePerson &candidate : m_people) {
        if (candidate.id.startsWith(QLatin1Char('2')) && !candidate.login.isEmpty() && candidate.login == login)
            return &candidate;
    }
    return nullptr;
}

const FixturePerson *FixtureData::teacher(const QString &login) const
{
    for (const FixturePerson &candidate : m_people) {
        if (candidate.id.startsWith(QLatin1Char('3')) && !candidate.login.isEmpty()
            && candidate.login.compare(login, Qt::CaseInsensitive) == 0) {
            return &candidate;
        }
    }
    return nullptr;
}

bool FixtureData::passwordMatches(const FixturePerson &person, const QString &given)
{
    // Only the MD5 of the password signs in, as with the real service: a
    // client that sent the typed password must be refused.
    if (person.password.isEmpty() || given.isEmpty())
        return false;
    return given.compare(md5Hex(person.password.toUtf8()), Qt::CaseInsensitive) == 0;
}

const FixturePerson *FixtureData::defaultStudent() const
{
    return person(QStringLiteral("20001"));
}

const FixturePerson *FixtureData::defaultTeacher() const
{
    return person(QStringLiteral("30001"));
}

bool FixtureData::hasClass(const QString &classId) const
{
    return findClass(classId) != nullptr;
}

bool FixtureData::isInClass(const QString &classId, const QString &uid) const
{
    const FixtureClass *lesson = findClass(classId);
    return lesson && (lesson->teacherId == uid || lesson->studentIds.contains(uid));
}

QJsonObject FixtureData::studentLoginData(const FixturePerson &student) const
{
    return QJsonObject{
        { QStringLiteral("id"), student.id },
        { QStringLiteral("nickname"), student.nickname },
        { QStringLiteral("skype"), QString() },
        { QStringLiteral("qq"), QString() },
        { QStringLiteral("mobile"), student.mobile },
        { QStringLiteral("email"), student.email },
        { QStringLiteral("avatar"), fileUrl(student.avatar) },
        { QStringLiteral("source"), QStringLiteral("12") },
        { QStringLiteral("sdk_type"), 2 },
    };
}

QJsonObject FixtureData::teacherLoginData(const FixturePerson &teacher) const
{
    return QJsonObject{
        { QStringLiteral("id"), teacher.id },
        { QStringLiteral("nickname"), teacher.nickname },
        { QStringLiteral("skype"), QString() },
        { QStringLiteral("qq"), QString() },
        { QStringLiteral("email"), teacher.email },
        { QStringLiteral("avatar"), fileUrl(teacher.avatar) },
        { QStringLiteral("source"), QStringLiteral("13") },
        { QStringLiteral("sdk_type"), 2 },
    };
}

QJsonArray FixtureData::bookedClassDays(const QString &studentId) const
{
    // The seven days from the service's start, days without lessons included
    // with a count of 0, as the real service lists a week.
    QHash<qint64, int> counts;
    for (const FixtureClass *lesson : classesOf(studentId))
        ++counts[startOfLocalDay(lesson->beginTime)];
    QJsonArray result;
    for (int i = 0; i < 7; ++i) {
        const qint64 day = m_firstDay.addDays(i).startOfDay().toSecsSinceEpoch();
        result.append(QJsonObject{
            { QStringLiteral("date_time"), day },
            { QStringLiteral("class_num"), counts.value(day) },
        });
    }
    return result;
}

QJsonArray FixtureData::bookedClassesOfDay(const QString &studentId, qint64 day) const
{
    const QDate date = QDateTime::fromSecsSinceEpoch(day).date();
    QJsonArray lessons;
    for (const FixtureClass *lesson : classesOf(studentId)) {
        if (QDateTime::fromSecsSinceEpoch(lesson->beginTime).date() != date)
            continue;
        const FixturePerson *teacher = person(lesson->teacherId);
        QJsonArray students;
        for (const QString &sid : lesson->studentIds) {
            const FixturePerson *mate = person(sid);
            students.append(QJsonObject{
                { QStringLiteral("sid"), mate->id },
                { QStringLiteral("nickname"), mate->nickname },
                { QStringLiteral("skype"), QString() },
                { QStringLiteral("qq"), QString() },
                { QStringLiteral("pic"), fileUrl(mate->avatar) },
            });
        }
        lessons.append(QJsonObject{
            { QStringLiteral("id"), lesson->id },
            { QStringLiteral("begin_time"), QString::number(lesson->beginTime) },
            { QStringLiteral("use_tool"), QString::number(lesson->useTool) },
            { QStringLiteral("status"), QString::number(lesson->status) },
            { QStringLiteral("free_try"), lesson->freeTry },
            { QStringLiteral("cls_type"), QStringLiteral("1") },
            { QStringLiteral("type"), QStringLiteral("1") },
            { QStringLiteral("cls_max_num"), QStringLiteral("4") },
            { QStringLiteral("cls_app_num"), QString::number(lesson->studentIds.size()) },
            { QStringLiteral("materials"), QJsonObject{
                  { QStringLiteral("cname"), lesson->course },
                  { QStringLiteral("mname"), lesson->unit },
                  { QStringLiteral("pic"), fileUrl(lesson->picture) },
                  { QStringLiteral("mdl"), QString() },
                  { QStringLiteral("bdl"), QString() },
                  { QStringLiteral("pdf_md5"), fileMd5(QLatin1String(kCourseware)) },
                  { QStringLiteral("voices"), voices() },
                  { QStringLiteral("videos"), videos() },
              } },
            { QStringLiteral("teacher"), QJsonObject{
                  { QStringLiteral("tid"), teacher->id },
                  { QStringLiteral("nickname"), teacher->nickname },
                  { QStringLiteral("skype"), QString() },
                  { QStringLiteral("qq"), QString() },
                  { QStringLiteral("pic"), fileUrl(teacher->avatar) },
                  { QStringLiteral("is_tester"), QStringLiteral("0") },
                  { QStringLiteral("catalog"), QStringLiteral("1") },
              } },
            { QStringLiteral("students"), students },
            { QStringLiteral("agorainfo"), QJsonObject{
                  { QStringLiteral("class_key"), QStringLiteral("class-key-") + lesson->id },
                  { QStringLiteral("media_key"), QStringLiteral("media-key-") + lesson->id },
                  { QStringLiteral("expired_time"), lesson->beginTime + 86400 },
              } },
        });
    }
    if (lessons.isEmpty())
        return QJsonArray();
    return QJsonArray{ QJsonObject{
        { QStringLiteral("timestamp"), startOfLocalDay(day) },
        { QStringLiteral("data"), lessons },
    } };
}

QJsonArray FixtureData::scheduleDays(const QString &teacherId, qint64 firstDay) const
{
    const QDate first = QDateTime::fromSecsSinceEpoch(firstDay).date();
    const QString pdf = fileUrl(QLatin1String(kCourseware));
    QJsonArray days;
    for (const QDate &date : { first, first.addDays(1) }) {
        QJsonArray classes;
        for (const FixtureClass *lesson : classesOf(teacherId)) {
            if (QDateTime::fromSecsSinceEpoch(lesson->beginTime).date() != date)
                continue;
            QJsonArray students;
            for (const QString &sid : lesson->studentIds) {
                const FixturePerson *mate = person(sid);
                students.append(QJsonObject{
                    { QStringLiteral("sid"), mate->id },
                    { QStringLiteral("nickname"), mate->nickname },
                    { QStringLiteral("like_num"), QString::number(likesOf(mate->id)) },
                    { QStringLiteral("pic"), fileUrl(mate->avatar) },
                    { QStringLiteral("age"), mate->age },
                    { QStringLiteral("grd_level"), mate->grdLevel },
                });
            }
            QJsonObject entry = classFields(*lesson, pdf);
            entry.insert(QStringLiteral("pub_cls_id"), QStringLiteral("0"));
            entry.insert(QStringLiteral("material"), QJsonObject{
                { QStringLiteral("mid"), QLatin1String(kMaterialId) },
                { QStringLiteral("mainurl"), pdf },
                { QStringLiteral("backurl"), pdf },
                { QStringLiteral("tch_mainurl"), pdf },
                { QStringLiteral("tch_backurl"), pdf },
                { QStringLiteral("pic"), fileUrl(lesson->picture) },
            });
            entry.insert(QStringLiteral("teacher"), QJsonObject{
                { QStringLiteral("tid"), lesson->teacherId },
                { QStringLiteral("nickname"), person(lesson->teacherId)->nickname },
            });
            entry.insert(QStringLiteral("students"), students);
            entry.insert(QStringLiteral("resource"), resources());
            entry.insert(QStringLiteral("use_tool"), lesson->useTool);
            classes.append(entry);
        }
        days.append(QJsonObject{
            { QStringLiteral("timestamp"), date.startOfDay().toSecsSinceEpoch() },
            { QStringLiteral("data"), classes },
        });
    }
    return days;
}

QJsonObject FixtureData::teacherClassDetails(const QString &classId) const
{
    const FixtureClass *lesson = findClass(classId);
    if (!lesson)
        return QJsonObject();
    const FixturePerson *teacher = person(lesson->teacherId);
    const QString pdf = fileUrl(QLatin1String(kCourseware));
    QJsonArray students;
    for (const QString &sid : lesson->studentIds) {
        const FixturePerson *mate = person(sid);
        students.append(QJsonObject{
            { QStringLiteral("id"), mate->id },
            { QStringLiteral("nickname"), mate->nickname },
            { QStringLiteral("email"), mate->email },
            { QStringLiteral("gender"), mate->gender },
            { QStringLiteral("age"), mate->age },
            { QStringLiteral("avatar"), fileUrl(mate->avatar) },
            { QStringLiteral("grd_level"), mate->grdLevel },
        });
    }
    return QJsonObject{
        { QStringLiteral("id"), lesson->id },
        { QStringLiteral("begin_time"), lesson->beginTime },
        { QStringLiteral("class_time"), kClassMinutes },
        { QStringLiteral("status"), lesson->status },
        { QStringLiteral("use_tool"), lesson->useTool },
        { QStringLiteral("free_try"), lesson->freeTry },
        { QStringLiteral("zoom_id"), lesson->meetingId },
        { QStringLiteral("teacher"), QJsonObject{
              { QStringLiteral("id"), teacher->id },
              { QStringLiteral("nickname"), teacher->nickname },
              { QStringLiteral("email"), teacher->email },
              { QStringLiteral("skype"), QString() },
              { QStringLiteral("qq"), QString() },
              { QStringLiteral("avatar"), fileUrl(teacher->avatar) },
              { QStringLiteral("tx_identifier"), QStringLiteral("tx-") + teacher->id },
          } },
        { QStringLiteral("material"), QJsonObject{
              { QStringLiteral("id"), QLatin1String(kMaterialId) },
              { QStringLiteral("cid"), QStringLiteral("3") },
              { QStringLiteral("course_name"), QStringLiteral("少儿英语 1级") },
              { QStringLiteral("course_ename"), lesson->course },
              { QStringLiteral("stype"), QStringLiteral("1") },
              { QStringLiteral("pdf"), pdf },
              { QStringLiteral("stu_back_pdf"), pdf },
              { QStringLiteral("pdf_tch"), pdf },
              { QStringLiteral("tea_back_pdf"), pdf },
              { QStringLiteral("stype_cname"), QStringLiteral("少儿英语") },
              { QStringLiteral("stype_ename"), QStringLiteral("Kids English") },
              { QStringLiteral("cname"), QStringLiteral("第三单元：颜色") },
              { QStringLiteral("ename"), lesson->unit },
              { QStringLiteral("md5"), fileMd5(QLatin1String(kCourseware)) },
              { QStringLiteral("pic"), fileUrl(lesson->picture) },
              { QStringLiteral("count_pdf"), 1 },
              { QStringLiteral("count_voice"), 1 },
              { QStringLiteral("count_video"), 1 },
          } },
        { QStringLiteral("student"), students },
        { QStringLiteral("resource"), resources() },
    };
}

QJsonObject FixtureData::classInfo(const QString &classId, double clientLocalTs, qint64 receivedMs) const
{
    const FixtureClass *lesson = findClass(classId);
    if (!lesson)
        return QJsonObject();
    const FixturePerson *teacher = person(lesson->teacherId);
    const QString pdf = fileUrl(QLatin1String(kCourseware));
    const QString pdfMd5 = fileMd5(QLatin1String(kCourseware));

    QJsonArray students;
    for (const QString &sid : lesson->studentIds) {
        const FixturePerson *mate = person(sid);
        const AwardRecord award = lastAwardOf(sid);
        students.append(QJsonObject{
            { QStringLiteral("sid"), mate->id },
            { QStringLiteral("nickname"), mate->nickname },
            { QStringLiteral("like_num"), QString::number(likesOf(sid)) },
            { QStringLiteral("pic"), fileUrl(mate->avatar) },
            { QStringLiteral("age"), mate->age },
            { QStringLiteral("grd_level"), mate->grdLevel },
            { QStringLiteral("lastAwardsInfo"), QJsonObject{
                  { QStringLiteral("sid"), mate->id },
                  { QStringLiteral("award_id"), award.awardId },
                  { QStringLiteral("award_time"), award.awardTime },
              } },
        });
    }

    int renewals = 0;
    bool commented = false;
    qint64 begin = lesson->beginTime;
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        renewals = m_keyRenewals.value(lesson->id);
        commented = m_commented.contains(lesson->id);
        begin = m_beginTimes.value(lesson->id, begin);
    }

    const qint64 nowMs = QDateTime::currentMSecsSinceEpoch();
    QJsonObject info = classFields(*lesson, pdf);
    info.insert(QStringLiteral("begin_time"), QString::number(begin));
    const QJsonObject rest{
        { QStringLiteral("material"), QJsonObject{
              { QStringLiteral("mid"), QLatin1String(kMaterialId) },
              { QStringLiteral("pdf"), pdf },
              { QStringLiteral("md5"), pdfMd5 },
              { QStringLiteral("pdf_tch"), pdf },
              { QStringLiteral("tch_md5"), pdfMd5 },
              { QStringLiteral("pic"), fileUrl(lesson->picture) },
              { QStringLiteral("mainurl"), pdf },
              { QStringLiteral("backurl"), pdf },
              { QStringLiteral("tch_mainurl"), pdf },
              { QStringLiteral("tch_backurl"), pdf },
              { QStringLiteral("voices"), voices() },
              { QStringLiteral("videos"), videos() },
          } },
        { QStringLiteral("teacher"), QJsonObject{
              { QStringLiteral("tid"), teacher->id },
              { QStringLiteral("nickname"), teacher->nickname },
              { QStringLiteral("pic"), fileUrl(teacher->avatar) },
          } },
        { QStringLiteral("students"), students },
        { QStringLiteral("agorainfo"), QJsonObject{
              { QStringLiteral("sig_key"), QStringLiteral("sig-key-%1-%2").arg(lesson->id).arg(renewals) },
              { QStringLiteral("media_key"), QStringLiteral("media-key-%1-%2").arg(lesson->id).arg(renewals) },
              { QStringLiteral("record_key"), QStringLiteral("record-key-") + lesson->id },
              { QStringLiteral("expired_time"), lesson->beginTime + 86400 },
          } },
        { QStringLiteral("cs_ts"), QJsonObject{
              { QStringLiteral("client_local_ts"), clientLocalTs },
              { QStringLiteral("server_local_ts"), static_cast<double>(receivedMs) },
              { QStringLiteral("server_delay"), static_cast<double>(nowMs - receivedMs) },
          } },
        { QStringLiteral("app_config"), QJsonObject{
              { QStringLiteral("fps"), 40 },
              { QStringLiteral("video_play_mode"), 1 },
          } },
        { QStringLiteral("is_commented"), commented },
    };
    for (auto it = rest.constBegin(); it != rest.constEnd(); ++it)
        info.insert(it.key(), it.value());
    return info;
}

QJsonObject FixtureData::renewAgoraInfo(const QString &classId)
{
    const FixtureClass *lesson = findClass(classId);
    if (!lesson)
        return QJsonObject();
    int renewals = 0;
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        renewals = ++m_keyRenewals[lesson->id];
    }
    return QJsonObject{
        { QStringLiteral("sig_key"), QStringLiteral("sig-key-%1-%2").arg(lesson->id).arg(renewals) },
        { QStringLiteral("media_key"), QStringLiteral("media-key-%1-%2").arg(lesson->id).arg(renewals) },
        { QStringLiteral("record_key"), QStringLiteral("record-key-") + lesson->id },
        { QStringLiteral("expired_time"), QDateTime::currentSecsSinceEpoch() + 86400 },
    };
}

QJsonObject FixtureData::upgradeInfo(const QString &source) const
{
    // By default the running version is the newest one: nothing is offered.
    QJsonObject info{
        { QStringLiteral("LatestVer"), QStringLiteral("1.1.5.1") },
        { QStringLiteral("ForceVer"), QStringLiteral("1.0.0.0") },
        { QStringLiteral("NoNeedVer"), QString() },
        { QStringLiteral("UpdateLog"), QString() },
        { QStringLiteral("FileMd5"), QString() },
        { QStringLiteral("DownLoadMainUrl"), QString() },
        { QStringLiteral("DownLoadBackupUrl"), QString() },
        { QStringLiteral("type"), source },
        { QStringLiteral("status"), QStringLiteral("1") },
    };
    std::lock_guard<std::mutex> lock(m_mutex);
    for (auto it = m_upgradeAnswer.constBegin(); it != m_upgradeAnswer.constEnd(); ++it)
        info.insert(it.key(), it.value());
    return info;
}

QString FixtureData::setUpgradeAnswer(const QJsonObject &description)
{
    static const QStringList fields = { QStringLiteral("LatestVer"), QStringLiteral("ForceVer"),
                                        QStringLiteral("NoNeedVer"), QStringLiteral("UpdateLog"),
                                        QStringLiteral("FileMd5"), QStringLiteral("DownLoadMainUrl"),
                                        QStringLiteral("DownLoadBackupUrl"), QStringLiteral("type"),
                                        QStringLiteral("status") };
    QJsonObject answer;
    const QString installer = description.value(QStringLiteral("offer")).toString();
    if (!installer.isEmpty()) {
        const QString file = installer == QLatin1String("broken") ? QLatin1String(kBrokenInstaller)
                                                                  : QLatin1String(kInstaller);
        if (installer != QLatin1String("installer") && installer != QLatin1String("broken"))
            return QStringLiteral("\"offer\" is \"installer\" or \"broken\"");
        // A newer version whose installer the service serves; the MD5 in
        // capitals, as the real service sends it.
        answer = QJsonObject{
            { QStringLiteral("LatestVer"), QStringLiteral("1.1.5.10") },
            { QStringLiteral("UpdateLog"), QStringLiteral("Smoother whiteboard.") },
            { QStringLiteral("FileMd5"), fileMd5(file).toUpper() },
            { QStringLiteral("DownLoadMainUrl"), fileUrl(file) },
            { QStringLiteral("DownLoadBackupUrl"), m_baseUrl + QStringLiteral("/proxy/backup/") + file },
        };
    }
    for (auto it = description.constBegin(); it != description.constEnd(); ++it) {
        if (it.key() == QLatin1String("offer"))
            continue;
        if (!fields.contains(it.key()) || !it.value().isString())
            return QStringLiteral("unknown upgrade field or not a text: %1").arg(it.key());
        answer.insert(it.key(), it.value());
    }
    std::lock_guard<std::mutex> lock(m_mutex);
    m_upgradeAnswer = answer;
    return QString();
}

QJsonObject FixtureData::appConfig() const
{
    // The proxy serves the fixtures under /proxy/<anything>/<file name>.
    return QJsonObject{
        { QStringLiteral("material_stagnate_timeout"), QStringLiteral("15") },
        { QStringLiteral("material_proxy_server"), m_baseUrl + QStringLiteral("/proxy/") },
        { QStringLiteral("video_play_audiomixing"), QStringLiteral("1") },
    };
}

void FixtureData::addLike(const QString &classId, const QString &uid)
{
    if (!isInClass(classId, uid))
        return;
    std::lock_guard<std::mutex> lock(m_mutex);
    ++m_likes[uid];
}

void FixtureData::recordAward(const QString &classId, const QStringList &uids, const QString &awardId, qint64 when)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    for (const QString &uid : uids) {
        if (isInClass(classId, uid))
            m_lastAwards.insert(uid, AwardRecord{ awardId, QString::number(when) });
    }
}

void FixtureData::addSession(const QString &sessionId, const QString &uid)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    if (!m_sessions.contains(sessionId))
        m_sessionOrder.append(sessionId);
    m_sessions.insert(sessionId, uid);
    while (m_sessionOrder.size() > kMaxSessions)
        m_sessions.remove(m_sessionOrder.takeFirst());
}

QString FixtureData::sessionUser(const QString &cookieHeader) const
{
    const QLatin1String name("PHPSESSID=");
    for (const QString &cookie : cookieHeader.split(QLatin1Char(';'))) {
        const QString pair = cookie.trimmed();
        if (!pair.startsWith(name, Qt::CaseInsensitive))
            continue;
        std::lock_guard<std::mutex> lock(m_mutex);
        return m_sessions.value(pair.mid(name.size()));
    }
    return QString();
}

void FixtureData::markCommented(const QString &classId)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    m_commented.insert(classId);
}

void FixtureData::resetState()
{
    std::lock_guard<std::mutex> lock(m_mutex);
    m_likes = { { QStringLiteral("20001"), 3 }, { QStringLiteral("20002"), 1 } };
    m_lastAwards.clear();
    m_commented.clear();
    m_keyRenewals.clear();
    m_beginTimes.clear();
    m_uploads.clear();
    m_uploadOrder.clear();
    m_upgradeAnswer = QJsonObject();
}

QString FixtureData::setClassBegin(const QJsonObject &description)
{
    for (auto it = description.constBegin(); it != description.constEnd(); ++it) {
        if (it.key() != QLatin1String("class_id") && it.key() != QLatin1String("begin_time"))
            return QStringLiteral("unknown key \"%1\" (known: class_id, begin_time)").arg(it.key());
    }
    const QJsonValue classId = description.value(QStringLiteral("class_id"));
    if (!classId.isString())
        return QStringLiteral("\"class_id\" must be a text");
    const FixtureClass *lesson = findClass(classId.toString());
    if (!lesson)
        return QStringLiteral("no class %1").arg(classId.toString());
    // Whole seconds since 1970, no earlier than 2000 and no later than 2100.
    const double seconds = description.value(QStringLiteral("begin_time")).toDouble(-1);
    if (seconds != std::floor(seconds) || seconds < 946684800.0 || seconds > 4102444800.0)
        return QStringLiteral("\"begin_time\" must be whole seconds since 1970 between the years 2000 and 2100");
    std::lock_guard<std::mutex> lock(m_mutex);
    m_beginTimes.insert(lesson->id, static_cast<qint64>(seconds));
    return QString();
}

const FixturePerson *FixtureData::person(const QString &id) const
{
    for (const FixturePerson &candidate : m_people) {
        if (candidate.id == id)
            return &candidate;
    }
    return nullptr;
}

const FixtureClass *FixtureData::findClass(const QString &classId) const
{
    for (const FixtureClass &lesson : m_classes) {
        if (lesson.id == classId)
            return &lesson;
    }
    return nullptr;
}

QVector<const FixtureClass *> FixtureData::classesOf(const QString &uid) const
{
    QVector<const FixtureClass *> result;
    for (const FixtureClass &lesson : m_classes) {
        if (lesson.teacherId == uid || lesson.studentIds.contains(uid))
            result.append(&lesson);
    }
    std::stable_sort(result.begin(), result.end(), [](const FixtureClass *a, const FixtureClass *b) {
        return a->beginTime < b->beginTime;
    });
    return result;
}

int FixtureData::likesOf(const QString &uid) const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_likes.value(uid);
}

FixtureData::AwardRecord FixtureData::lastAwardOf(const QString &uid) const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_lastAwards.value(uid);
}

QJsonArray FixtureData::voices() const
{
    return QJsonArray{ QJsonObject{
        { QStringLiteral("id"), QStringLiteral("601") },
        { QStringLiteral("voice"), fileUrl(QLatin1String(kAudio)) },
        { QStringLiteral("sort"), QStringLiteral("1") },
        { QStringLiteral("voice_md5"), fileMd5(QLatin1String(kAudio)) },
        { QStringLiteral("name"), QStringLiteral("Colour song") },
    } };
}

QJsonArray FixtureData::videos() const
{
    // The client turns every "http://" of "video_sm" and "voice" into
    // "https://", which this plain-HTTP service cannot answer; the scheme in
    // capitals is left alone by that rewrite and means the same address.
    QString sound = fileUrl(QLatin1String(kVideoSound));
    sound.replace(0, 4, QStringLiteral("HTTP"));
    return QJsonArray{ QJsonObject{
        { QStringLiteral("id"), QStringLiteral("701") },
        { QStringLiteral("video"), fileUrl(QLatin1String(kVideo)) },
        { QStringLiteral("video_sm"), QString() },
        { QStringLiteral("pic"), fileUrl(QLatin1String(kVideoCover)) },
        { QStringLiteral("name"), QStringLiteral("Colours in the park") },
        { QStringLiteral("voice"), sound },
    } };
}

QJsonArray FixtureData::resources() const
{
    auto resource = [this](int mid, const char *name, int type, const QString &voice) {
        return QJsonObject{
            { QStringLiteral("mid"), mid },
            { QStringLiteral("name"), QLatin1String(name) },
            { QStringLiteral("type"), type },
            { QStringLiteral("path"), fileUrl(QLatin1String(name)) },
            { QStringLiteral("voice"), voice },
            { QStringLiteral("md5"), fileMd5(QLatin1String(name)) },
        };
    };
    return QJsonArray{
        resource(501, kCourseware, 1, QString()),
        resource(601, kAudio, 2, QString()),
        resource(701, kVideo, 3, fileUrl(QLatin1String(kVideoSound))),
    };
}

QString FixtureData::fileMd5(const QString &name) const
{
    return m_files.value(name).md5;
}
