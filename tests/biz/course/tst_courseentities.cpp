// The records read on the way to a class: the student's timetable, the
// class information with its clock stamps, the teacher's schedule and class
// details, and the clock offset worked out from the stamps.

#include "biz/course/bookedclassentity.h"
#include "biz/course/classinfoentity.h"
#include "biz/course/teacherclassentity.h"
#include "mgr/http/httpentity.h"

#include <QObject>
#include <QTest>

class tst_CourseEntities : public QObject
{
    Q_OBJECT

private slots:
    void timetableStrip_data();
    void timetableStrip();
    void lessonOfADay();
    void videoAddressesTurnSecure_data();
    void videoAddressesTurnSecure();
    void classInformation();
    void classInformationLists_data();
    void classInformationLists();
    void classRecordsReadTheirCommonFieldsAlike();
    void clockStampsAreNumbersOnly();
    void configuration();
    void serverClockOffset_data();
    void serverClockOffset();
    void teacherSchedule_data();
    void teacherSchedule();
    void teacherClassDetails();
    void notJsonLeavesTheTargetAlone();
};

namespace {

template<typename T>
HttpEntity<T> parse(const QByteArray &json, bool *ok = nullptr)
{
    HttpEntity<T> entity;
    const bool parsed = fromJson(QString::fromUtf8(json), entity);
    if (ok)
        *ok = parsed;
    return entity;
}

// What the class information and the schedule's class have in common, in
// one order: the class, its course pages, its teacher and first student.
template<typename Class>
QStringList commonFields(const Class &lesson)
{
    const auto &material = lesson.material;
    const auto student = lesson.students.value(0);
    return { lesson.class_id, lesson.room_id, lesson.begin_time, QString::number(lesson.class_time), lesson.free_try,
             lesson.cls_type, lesson.type, lesson.status, lesson.cls_max_num, lesson.cls_app_num, lesson.tch_plan_url,
             material.mid, material.pic, material.mainurl, material.backurl, material.tch_mainurl,
             material.tch_backurl, lesson.teacher.tid, lesson.teacher.nickname, student.sid, student.nickname,
             student.like_num, student.pic, student.age, student.grd_level };
}

} // namespace

void tst_CourseEntities::timetableStrip_data()
{
    QTest::addColumn<QByteArray>("json");
    QTest::addColumn<QList<int>>("dates");
    QTest::addColumn<QList<int>>("counts");

    QTest::newRow("two days") << QByteArray(R"({"errorCode":200,"data":[{"date_time":86400,"class_num":2},{"date_time":172800,"class_num":"3"}]})")
                              << QList<int>{ 86400, 172800 } << QList<int>{ 2, 3 };
    QTest::newRow("no data key keeps the list") << QByteArray(R"({"errorCode":200})") << QList<int>{ 1 } << QList<int>{ 9 };
    QTest::newRow("null data empties") << QByteArray(R"({"errorCode":200,"data":null})") << QList<int>{} << QList<int>{};
    QTest::newRow("object data empties") << QByteArray(R"({"errorCode":200,"data":{"date_time":1}})") << QList<int>{} << QList<int>{};
    QTest::newRow("empty array") << QByteArray(R"({"data":[]})") << QList<int>{} << QList<int>{};
    QTest::newRow("an element that is no object is a default day")
        << QByteArray(R"({"data":[7,{"date_time":5}]})") << QList<int>{ 0, 5 } << QList<int>{ 0, 0 };
    QTest::newRow("a missing count is 0, not the count before")
        << QByteArray(R"({"data":[{"date_time":1,"class_num":4},{"date_time":2}]})") << QList<int>{ 1, 2 } << QList<int>{ 4, 0 };
}

void tst_CourseEntities::timetableStrip()
{
    QFETCH(QByteArray, json);
    QFETCH(QList<int>, dates);
    QFETCH(QList<int>, counts);

    // The window keeps one entity across answers.
    HttpEntity<QVector<BriefBookedClassEntity>> kept;
    kept.data.append(BriefBookedClassEntity{ 1, 9 });
    QVERIFY(fromJson(QString::fromUtf8(json), kept));
    QCOMPARE(kept.data.size(), dates.size());
    for (int i = 0; i < dates.size(); ++i) {
        QCOMPARE(kept.data.at(i).date_time, dates.at(i));
        QCOMPARE(kept.data.at(i).class_num, counts.at(i));
    }
}

void tst_CourseEntities::lessonOfADay()
{
    const auto entity = parse<QVector<OneDayBookedCourseDetailsWrapper>>(R"({"errorCode":200,"data":[{"timestamp":100,"data":[
        {"id":10001,"begin_time":1700000000,"use_tool":"2","status":1,
         "materials":{"cname":"Level 1","mname":"Unit 3","pic":"http://h/c.png",
                      "voices":[{"id":"1","voice":"http://h/a.mp3","sort":"1","voice_md5":"x","name":"Song"}],
                      "videos":[{"id":"2","video":"http://h/v.mp4","video_sm":"","voice":"http://h/s.mp3"}]},
         "teacher":{"tid":"30001","nickname":"Ms. Green"},
         "students":[{"sid":"20001","nickname":"Lily"},{"sid":"20002","nickname":"Tom"}]},
        {"id":"10002","begin_time":"1700007200"}]}]})");
    QCOMPARE(entity.errorCode, 200);
    QCOMPARE(entity.data.size(), 1);
    QCOMPARE(entity.data.first().timestamp, 100);
    const QVector<BookedCourseDetail> lessons = entity.data.first().data;
    QCOMPARE(lessons.size(), 2);
    // Numbers where texts are expected read as their decimal text.
    QCOMPARE(lessons.at(0).id, QStringLiteral("10001"));
    QCOMPARE(lessons.at(0).begin_time, QStringLiteral("1700000000"));
    QCOMPARE(lessons.at(1).begin_time, QStringLiteral("1700007200"));
    QCOMPARE(lessons.at(0).status, QStringLiteral("1"));
    QCOMPARE(lessons.at(0).materials.cname, QStringLiteral("Level 1"));
    QCOMPARE(lessons.at(0).materials.voices.size(), 1);
    QCOMPARE(lessons.at(0).materials.videos.first().getVideoUrl(), QStringLiteral("http://h/v.mp4"));
    QCOMPARE(lessons.at(0).teacher.nickname, QStringLiteral("Ms. Green"));
    QCOMPARE(lessons.at(0).students.size(), 2);
    QCOMPARE(lessons.at(0).students.at(1).nickname, QStringLiteral("Tom"));
    // Without "agorainfo" the keys stay empty.
    QCOMPARE(lessons.at(0).agorainfo.class_key, QString());
    QCOMPARE(lessons.at(0).agorainfo.expired_time, 0);
    QVERIFY(lessons.at(1).materials.videos.isEmpty());
}

void tst_CourseEntities::videoAddressesTurnSecure_data()
{
    QTest::addColumn<QByteArray>("json");
    QTest::addColumn<QString>("video");
    QTest::addColumn<QString>("videoSm");
    QTest::addColumn<QString>("voice");

    QTest::newRow("both places in video_sm")
        << QByteArray(R"({"video":"http://a/v.mp4","video_sm":"http://a/s.mp4?u=http://b","voice":"http://a/x.mp3"})")
        << "http://a/v.mp4" << "https://a/s.mp4?u=https://b" << "https://a/x.mp3";
    QTest::newRow("capitals left alone")
        << QByteArray(R"({"video":"HTTP://a/v.mp4","video_sm":"Http://a/s.mp4","voice":"HTTP://a/x.mp3"})")
        << "HTTP://a/v.mp4" << "Http://a/s.mp4" << "HTTP://a/x.mp3";
    QTest::newRow("already secure") << QByteArray(R"({"video_sm":"https://a/s.mp4"})") << "" << "https://a/s.mp4" << "";
}

void tst_CourseEntities::videoAddressesTurnSecure()
{
    QFETCH(QByteArray, json);
    QFETCH(QString, video);
    QFETCH(QString, videoSm);
    QFETCH(QString, voice);
    const auto entity = parse<VideoMaterial>(R"({"data":)" + json + "}");
    QCOMPARE(entity.data.video, video);
    QCOMPARE(entity.data.video_sm, videoSm);
    QCOMPARE(entity.data.voice, voice);
}

void tst_CourseEntities::classInformation()
{
    const auto entity = parse<ClassInfoEntity>(R"({"errorCode":200,"errorMsg":"ok","data":{
        "class_id":"10001","room_id":"room-10001","begin_time":"1700000000","class_time":"25",
        "status":"1","tch_plan_url":"http://h/plan.pdf",
        "material":{"mid":"501","pdf":"http://h/c.pdf","videos":[{"video_sm":"http://h/s.mp4"}]},
        "teacher":{"tid":"30001","nickname":"Ms. Green","pic":"http://h/t.png"},
        "students":[{"sid":"20001","like_num":12,"lastAwardsInfo":{"sid":"20001","award_id":"3","award_time":"99"}},
                    {"sid":"20002","lastAwardsInfo":[{"award_id":"4"}]}],
        "agorainfo":{"sig_key":"s","media_key":"m","record_key":"r","expired_time":"86400"},
        "cs_ts":{"client_local_ts":1000,"server_local_ts":5000,"server_delay":100},
        "app_config":{"fps":15},
        "is_commented":true}})");
    const ClassInfoEntity &info = entity.data;
    QCOMPARE(info.class_id, QStringLiteral("10001"));
    QCOMPARE(info.class_time, 25);
    QCOMPARE(info.material.videos.first().video_sm, QStringLiteral("https://h/s.mp4"));
    QCOMPARE(info.teacher.nickname, QStringLiteral("Ms. Green"));
    QCOMPARE(info.students.size(), 2);
    QCOMPARE(info.students.at(0).like_num, QStringLiteral("12"));
    QCOMPARE(info.students.at(0).lastAwardsInfo.award_id, QStringLiteral("3"));
    // An award list where one object is expected leaves the award empty.
    QCOMPARE(info.students.at(1).lastAwardsInfo.award_id, QString());
    QCOMPARE(info.agorainfo.expired_time, 86400);
    QCOMPARE(info.cs_ts.server_local_ts, 5000.0);
    QCOMPARE(info.app_config.fps, 15);
    QCOMPARE(info.app_config.video_play_mode, 1);
    QVERIFY(info.is_commented);

    // A top-level array reads as success with every field at its default.
    bool ok = false;
    const auto array = parse<ClassInfoEntity>("[1,2]", &ok);
    QVERIFY(ok);
    QCOMPARE(array.data.class_id, QString());
    QCOMPARE(array.data.app_config.video_play_mode, 1);
}

void tst_CourseEntities::classInformationLists_data()
{
    QTest::addColumn<QByteArray>("students");
    QTest::addColumn<QStringList>("ids");
    QTest::newRow("absent") << QByteArray() << QStringList{};
    QTest::newRow("empty") << QByteArray(R"(,"students":[])") << QStringList{};
    QTest::newRow("two in order") << QByteArray(R"(,"students":[{"sid":"b"},{"sid":"a"}])") << QStringList{ "b", "a" };
}

void tst_CourseEntities::classInformationLists()
{
    QFETCH(QByteArray, students);
    QFETCH(QStringList, ids);
    const auto entity = parse<ClassInfoEntity>(R"({"data":{"class_id":"1")" + students + "}}");
    QStringList read;
    for (const ClassStudentEntity &student : entity.data.students)
        read << student.sid;
    QCOMPARE(read, ids);
}

void tst_CourseEntities::classRecordsReadTheirCommonFieldsAlike()
{
    // Every value differs, so a field read from another's key shows.
    const QByteArray json = R"({"data":{"class_id":"c1","room_id":"r1","begin_time":"1700000000","class_time":25,
        "free_try":"f0","cls_type":"ct","type":"t2","status":"s3","cls_max_num":"6","cls_app_num":"4",
        "tch_plan_url":"http://h/plan","pub_cls_id":"p9",
        "material":{"mid":"m1","pic":"http://h/cover","mainurl":"http://h/main","backurl":"http://h/back",
                    "tch_mainurl":"http://h/tmain","tch_backurl":"http://h/tback","pdf":"http://h/c.pdf","md5":"abc"},
        "teacher":{"tid":"t1","nickname":"Ms. Green"},
        "students":[{"sid":"s1","nickname":"Lily","like_num":"3","pic":"http://h/s.png","age":"8","grd_level":"2",
                     "lastAwardsInfo":{"award_id":"7"}}],
        "agorainfo":{"media_key":"mk"},"resource":[{"mid":5}],"use_tool":2}})";
    const QStringList expected{ "c1", "r1", "1700000000", "25", "f0", "ct", "t2", "s3", "6", "4", "http://h/plan",
                                "m1", "http://h/cover", "http://h/main", "http://h/back", "http://h/tmain",
                                "http://h/tback", "t1", "Ms. Green", "s1", "Lily", "3", "http://h/s.png", "8", "2" };

    const ClassInfoEntity info = parse<ClassInfoEntity>(json).data;
    QCOMPARE(commonFields(info), expected);
    // With what only the class information has.
    QCOMPARE(info.material.pdf, QStringLiteral("http://h/c.pdf"));
    QCOMPARE(info.material.md5, QStringLiteral("abc"));
    QCOMPARE(info.students.value(0).lastAwardsInfo.award_id, QStringLiteral("7"));
    QCOMPARE(info.agorainfo.media_key, QStringLiteral("mk"));

    const TeacherClassEntity lesson = parse<TeacherClassEntity>(json).data;
    QCOMPARE(commonFields(lesson), expected);
    // With what only the schedule's class has.
    QCOMPARE(lesson.pub_cls_id, QStringLiteral("p9"));
    QCOMPARE(lesson.resource.size(), 1);
    QCOMPARE(lesson.use_tool, 2);
}

void tst_CourseEntities::clockStampsAreNumbersOnly()
{
    const auto entity = parse<ClassInfoEntity>(R"({"data":{"cs_ts":{"client_local_ts":"1000","server_local_ts":"5000","server_delay":7}}})");
    QCOMPARE(entity.data.cs_ts.client_local_ts, 0.0);
    QCOMPARE(entity.data.cs_ts.server_local_ts, 0.0);
    QCOMPARE(entity.data.cs_ts.server_delay, 7.0);
}

void tst_CourseEntities::configuration()
{
    HttpEntity<AppConfigData> entity;
    entity.data.materialProxyServer = QStringLiteral("http://old/");
    QVERIFY(fromJson(QStringLiteral(R"({"data":{"material_stagnate_timeout":30,"video_play_audiomixing":"0"}})"), entity));
    QCOMPARE(entity.data.materialStagnateTimeout, QStringLiteral("30"));
    QCOMPARE(entity.data.videoPlayAudiomixing, QStringLiteral("0"));
    // An absent key keeps what was there.
    QCOMPARE(entity.data.materialProxyServer, QStringLiteral("http://old/"));

    const auto url = parse<WebUrlEntity>(R"({"data":{"url":"http://site/member"}})");
    QCOMPARE(url.data.url, QStringLiteral("http://site/member"));
}

void tst_CourseEntities::serverClockOffset_data()
{
    QTest::addColumn<double>("client");
    QTest::addColumn<double>("server");
    QTest::addColumn<double>("delay");
    QTest::addColumn<qint64>("now");
    QTest::addColumn<qint64>("offset");

    QTest::newRow("written example") << 1000.0 << 5000.0 << 100.0 << qint64(1300) << qint64(3800);
    QTest::newRow("server behind the client") << 1000000.0 << 400000.0 << 0.0 << qint64(1000200) << qint64(-600100);
    // Server time counted longer than the round trip: no negative one-way time.
    QTest::newRow("delay longer than the round trip") << 1000.0 << 5000.0 << 900.0 << qint64(1300) << qint64(3700);
    QTest::newRow("missing client stamp") << 0.0 << 5000.0 << 100.0 << qint64(1300) << qint64(0);
    QTest::newRow("missing server stamp") << 1000.0 << 0.0 << 100.0 << qint64(1300) << qint64(0);
    QTest::newRow("real clocks") << 1765000000000.0 << 1765000003000.5 << 20.0 << qint64(1765000000220) << qint64(2880);
}

void tst_CourseEntities::serverClockOffset()
{
    QFETCH(double, client);
    QFETCH(double, server);
    QFETCH(double, delay);
    QFETCH(qint64, now);
    QFETCH(qint64, offset);
    const ActionLogTimerInfo stamps{ client, server, delay };
    QCOMPARE(::serverClockOffset(stamps, now), offset);
}

void tst_CourseEntities::teacherSchedule_data()
{
    QTest::addColumn<QByteArray>("json");
    QTest::addColumn<int>("days");
    QTest::addColumn<QList<int>>("classesPerDay");

    QTest::newRow("no data") << QByteArray(R"({"errorCode":200})") << 0 << QList<int>{};
    QTest::newRow("data not an array") << QByteArray(R"({"data":"x"})") << 0 << QList<int>{};
    QTest::newRow("a day without classes still counts")
        << QByteArray(R"({"data":[{"timestamp":1,"data":[]},{"timestamp":2,"data":[{"class_id":"7"},{"class_id":"8"}]}]})")
        << 2 << QList<int>{ 0, 2 };
}

void tst_CourseEntities::teacherSchedule()
{
    QFETCH(QByteArray, json);
    QFETCH(int, days);
    QFETCH(QList<int>, classesPerDay);
    const auto entity = parse<QVector<TeacherClassListEntity>>(json);
    QCOMPARE(entity.data.size(), days);
    for (int i = 0; i < days; ++i)
        QCOMPARE(entity.data.at(i).data.size(), classesPerDay.at(i));

    const auto numbers = parse<QVector<TeacherClassListEntity>>(
        R"({"data":[{"timestamp":"5","data":[{"class_id":7,"begin_time":1700000000,"status":2,"use_tool":"2",
            "resource":[{"mid":"501","path":"http://h/a.pdf","voice":""}]}]}]})");
    const TeacherClassEntity lesson = numbers.data.first().data.first();
    QCOMPARE(numbers.data.first().timestamp, 5);
    QCOMPARE(lesson.class_id, QStringLiteral("7"));
    QCOMPARE(lesson.begin_time, QStringLiteral("1700000000"));
    QCOMPARE(lesson.status, QStringLiteral("2"));
    QCOMPARE(lesson.use_tool, 2);
    QCOMPARE(lesson.resource.first().mid, 501);
}

void tst_CourseEntities::teacherClassDetails()
{
    const auto entity = parse<TeacherClassDetailsEntity>(R"({"data":{"id":"10011","begin_time":"1700000000",
        "status":1,"use_tool":1,"zoom_id":8123456789,"resource":[{"path":"p"}]}})");
    const TeacherClassDetailsEntity &details = entity.data;
    QCOMPARE(details.id, QStringLiteral("10011"));
    QCOMPARE(details.begin_time, 1700000000);
    QCOMPARE(details.use_tool, 1);
    // Without "student" and "material": no cards, empty texts, zero counts.
    QVERIFY(details.student.isEmpty());
    QCOMPARE(details.material.ename, QString());
    QCOMPARE(details.material.count_video, 0);
    QCOMPARE(details.resource.size(), 1);

    const auto memo = parse<memoUrlInfo>(R"({"data":{"url":"http://h/memo"}})");
    QCOMPARE(memo.data.url, QStringLiteral("http://h/memo"));
}

void tst_CourseEntities::notJsonLeavesTheTargetAlone()
{
    HttpEntity<QVector<BriefBookedClassEntity>> kept;
    kept.data.append(BriefBookedClassEntity{ 3, 1 });
    QVERIFY(!fromJson(QStringLiteral("<html>busy</html>"), kept));
    QCOMPARE(kept.data.size(), 1);
    QCOMPARE(kept.data.first().date_time, 3);
}

QTEST_GUILESS_MAIN(tst_CourseEntities)
#include "tst_courseentities.moc"
