#include "biz/login/studentlogindataentity.h"
#include "biz/login/teacherlogindataentity.h"

#include <QJsonDocument>
#include <QJsonObject>
#include <QTest>

namespace {

QJsonValue parse(const char *json)
{
    return QJsonDocument::fromJson(json).object();
}

// One record of the stand-in's shape, every key present; ids as numbers.
const char kFullRecord[] = R"({"id":20001,"nickname":"Lily","skype":"lily.s","qq":"10001","mobile":"13800000001",
    "email":"lily@example.com","avatar":"http://127.0.0.1:1/a.png","source":"12","sdk_type":2})";

// The fields both records have, in their order.
template<typename LoginData>
QStringList sharedTexts(const LoginData &data)
{
    return { data.id, data.nickname, data.skype, data.qq, data.email, data.avatar, data.source };
}

const QStringList kFullRecordTexts = { "20001", "Lily", "lily.s", "10001", "lily@example.com",
                                       "http://127.0.0.1:1/a.png", "12" };

} // namespace

// The "data" of the login answers: every field read from its own key, and
// a key that is absent keeps what the record had.
class tst_LoginDataEntity : public QObject
{
    Q_OBJECT

private slots:
    void readsEveryField();
    void absentKeysKeepFields();
};

void tst_LoginDataEntity::readsEveryField()
{
    StudentLoginDataEntity student;
    readJson(parse(kFullRecord), student);
    QCOMPARE(sharedTexts(student), kFullRecordTexts);
    QCOMPARE(student.mobile, QStringLiteral("13800000001"));
    QCOMPARE(student.sdk_type, 2);

    // The teacher's record has no mobile; the rest is read alike.
    TeacherLoginDataEntity teacher;
    readJson(parse(kFullRecord), teacher);
    QCOMPARE(sharedTexts(teacher), kFullRecordTexts);
    QCOMPARE(teacher.sdk_type, 2);
}

void tst_LoginDataEntity::absentKeysKeepFields()
{
    StudentLoginDataEntity student;
    student.mobile = QStringLiteral("kept");
    student.sdk_type = 7;
    readJson(parse(R"({"id":"1"})"), student);
    QCOMPARE(student.id, QStringLiteral("1"));
    QCOMPARE(student.mobile, QStringLiteral("kept"));
    QCOMPARE(student.sdk_type, 7);

    TeacherLoginDataEntity teacher;
    teacher.email = QStringLiteral("kept");
    readJson(QJsonValue(), teacher); // "data" missing altogether
    QCOMPARE(teacher.email, QStringLiteral("kept"));
    QCOMPARE(teacher.id, QString());
}

QTEST_GUILESS_MAIN(tst_LoginDataEntity)
#include "tst_logindataentity.moc"
