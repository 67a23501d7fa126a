#include "mockhttpresponsemgr.h"

namespace {

// Sample data in the shapes the teacher windows read; every address points
// at the local stand-in service.
const char kScheduleBody[] =
    R"json({"errorCode":200,"errorMsg":"Get data succeed","data":[{"timestamp":1709488800,"data":[{"class_id":")json"
    R"json(","begin_time":"1709521200"},{"class_id":"8001","room_id":"r8001","begin_time":"1709523000","class_t)json"
    R"json(ime":25,"free_try":"0","cls_type":"1","type":"1","status":"1","cls_max_num":"1","cls_app_num":"1","t)json"
    R"json(ch_plan_url":"http://127.0.0.1:18080/files/plan8001.pdf","material":{"mid":"301","mainurl":"http://1)json"
    R"json(27.0.0.1:18080/files/course.pdf","backurl":"http://127.0.0.1:18080/files/course_back.pdf","tch_mainu)json"
    R"json(rl":"http://127.0.0.1:18080/files/course_tch.pdf","tch_backurl":"http://127.0.0.1:18080/files/course)json"
    R"json(_tch_back.pdf","pic":"http://127.0.0.1:18080/files/cover.png"},"teacher":{"tid":"9001","nickname":"T)json"
    R"json(eacher Anna"},"students":[{"sid":"5000","nickname":"Lily Chen","like_num":"3","pic":"http://127.0.0.)json"
    R"json(1:18080/files/avatar1.png","age":"8","grd_level":"2"}],"resource":[{"mid":301,"name":"song.mp3","typ)json"
    R"json(e":1,"path":"http://127.0.0.1:18080/files/song.mp3","voice":"","md5":"0f343b0931126a20f133d67c2b018a)json"
    R"json(3b"}]},{"class_id":"8002","room_id":"r8002","begin_time":"1709524800","class_time":25,"free_try":"0")json"
    R"json(,"cls_type":"1","type":"1","status":"1","cls_max_num":"1","cls_app_num":"1","tch_plan_url":"http://1)json"
    R"json(27.0.0.1:18080/files/plan8002.pdf","material":{"mid":"301","mainurl":"http://127.0.0.1:18080/files/c)json"
    R"json(ourse.pdf","backurl":"http://127.0.0.1:18080/files/course_back.pdf","tch_mainurl":"http://127.0.0.1:)json"
    R"json(18080/files/course_tch.pdf","tch_backurl":"http://127.0.0.1:18080/files/course_tch_back.pdf","pic":")json"
    R"json(http://127.0.0.1:18080/files/cover.png"},"teacher":{"tid":"9001","nickname":"Teacher Anna"},"student)json"
    R"json(s":[{"sid":"5001","nickname":"Tom Okafor","like_num":"3","pic":"http://127.0.0.1:18080/files/avatar1)json"
    R"json(.png","age":"8","grd_level":"2"}],"resource":[{"mid":301,"name":"song.mp3","type":1,"path":"http://1)json"
    R"json(27.0.0.1:18080/files/song.mp3","voice":"","md5":"0f343b0931126a20f133d67c2b018a3b"}]},{"class_id":"")json"
    R"json(,"begin_time":"1709526600"},{"class_id":"8004","room_id":"r8004","begin_time":"1709528400","class_ti)json"
    R"json(me":25,"free_try":"0","cls_type":"1","type":"1","status":"1","cls_max_num":"1","cls_app_num":"1","tc)json"
    R"json(h_plan_url":"http://127.0.0.1:18080/files/plan8004.pdf","material":{"mid":"301","mainurl":"http://12)json"
    R"json(7.0.0.1:18080/files/course.pdf","backurl":"http://127.0.0.1:18080/files/course_back.pdf","tch_mainur)json"
    R"json(l":"http://127.0.0.1:18080/files/course_tch.pdf","tch_backurl":"http://127.0.0.1:18080/files/course_)json"
    R"json(tch_back.pdf","pic":"http://127.0.0.1:18080/files/cover.png"},"teacher":{"tid":"9001","nickname":"Te)json"
    R"json(acher Anna"},"students":[{"sid":"5002","nickname":"Mia Larsen","like_num":"3","pic":"http://127.0.0.)json"
    R"json(1:18080/files/avatar1.png","age":"8","grd_level":"2"}],"resource":[{"mid":301,"name":"song.mp3","typ)json"
    R"json(e":1,"path":"http://127.0.0.1:18080/files/song.mp3","voice":"","md5":"0f343b0931126a20f133d67c2b018a)json"
    R"json(3b"}]},{"class_id":"","begin_time":"1709530200"},{"class_id":"","begin_time":"1709532000"},{"class_i)json"
    R"json(d":"","begin_time":"1709533800"},{"class_id":"","begin_time":"1709535600"},{"class_id":"","begin_tim)json"
    R"json(e":"1709537400"},{"class_id":"","begin_time":"1709539200"},{"class_id":"","begin_time":"1709541000"})json"
    R"json(,{"class_id":"","begin_time":"1709542800"},{"class_id":"","begin_time":"1709544600"}]},{"timestamp":)json"
    R"json(1709575200,"data":[{"class_id":"","begin_time":"1709607600"},{"class_id":"","begin_time":"1709609400)json"
    R"json("},{"class_id":"8022","room_id":"r8022","begin_time":"1709611200","class_time":25,"free_try":"0","cl)json"
    R"json(s_type":"1","type":"1","status":"1","cls_max_num":"1","cls_app_num":"1","tch_plan_url":"http://127.0)json"
    R"json(.0.1:18080/files/plan8022.pdf","material":{"mid":"301","mainurl":"http://127.0.0.1:18080/files/cours)json"
    R"json(e.pdf","backurl":"http://127.0.0.1:18080/files/course_back.pdf","tch_mainurl":"http://127.0.0.1:1808)json"
    R"json(0/files/course_tch.pdf","tch_backurl":"http://127.0.0.1:18080/files/course_tch_back.pdf","pic":"http)json"
    R"json(://127.0.0.1:18080/files/cover.png"},"teacher":{"tid":"9001","nickname":"Teacher Anna"},"students":[)json"
    R"json({"sid":"5003","nickname":"Leo Vasquez-Rivera","like_num":"3","pic":"http://127.0.0.1:18080/files/ava)json"
    R"json(tar1.png","age":"8","grd_level":"2"}],"resource":[{"mid":301,"name":"song.mp3","type":1,"path":"http)json"
    R"json(://127.0.0.1:18080/files/song.mp3","voice":"","md5":"0f343b0931126a20f133d67c2b018a3b"}]},{"class_id)json"
    R"json(":"8023","room_id":"r8023","begin_time":"1709613000","class_time":25,"free_try":"0","cls_type":"1",")json"
    R"json(type":"1","status":"1","cls_max_num":"1","cls_app_num":"1","tch_plan_url":"http://127.0.0.1:18080/fi)json"
    R"json(les/plan8023.pdf","material":{"mid":"301","mainurl":"http://127.0.0.1:18080/files/course.pdf","backu)json"
    R"json(rl":"http://127.0.0.1:18080/files/course_back.pdf","tch_mainurl":"http://127.0.0.1:18080/files/cours)json"
    R"json(e_tch.pdf","tch_backurl":"http://127.0.0.1:18080/files/course_tch_back.pdf","pic":"http://127.0.0.1:)json"
    R"json(18080/files/cover.png"},"teacher":{"tid":"9001","nickname":"Teacher Anna"},"students":[{"sid":"5004")json"
    R"json(,"nickname":"Ava Vasquez-Rivera","like_num":"3","pic":"http://127.0.0.1:18080/files/avatar1.png","ag)json"
    R"json(e":"8","grd_level":"2"}],"resource":[{"mid":301,"name":"song.mp3","type":1,"path":"http://127.0.0.1:)json"
    R"json(18080/files/song.mp3","voice":"","md5":"0f343b0931126a20f133d67c2b018a3b"}]},{"class_id":"","begin_t)json"
    R"json(ime":"1709614800"},{"class_id":"","begin_time":"1709616600"},{"class_id":"","begin_time":"1709618400)json"
    R"json("},{"class_id":"","begin_time":"1709620200"},{"class_id":"","begin_time":"1709622000"},{"class_id":")json"
    R"json(","begin_time":"1709623800"},{"class_id":"","begin_time":"1709625600"},{"class_id":"","begin_time":")json"
    R"json(1709627400"},{"class_id":"","begin_time":"1709629200"},{"class_id":"","begin_time":"1709631000"}]}],)json"
    R"json("time":1709524800})json";

const char kGetClassInfoBody[] =
    R"json({"errorCode":200,"errorMsg":"Get course info success","data":{"id":"8001","begin_time":1709523000,"c)json"
    R"json(lass_time":25,"status":1,"use_tool":2,"free_try":"0","teacher":{"id":"9001","nickname":"Teacher Anna)json"
    R"json(","email":"teacher@example.com","skype":"anna.teaches.english","qq":"80012345","avatar":"http://127.)json"
    R"json(0.0.1:18080/files/avatar_tch.png","tx_identifier":"t9001"},"material":{"id":"301","cid":"12","course)json"
    R"json(_name":"Level 2","course_ename":"Level 2","stype":"1","pdf":"http://127.0.0.1:18080/files/course.pdf)json"
    R"json(","stu_back_pdf":"http://127.0.0.1:18080/files/course_back.pdf","pdf_tch":"http://127.0.0.1:18080/fi)json"
    R"json(les/course_tch.pdf","tea_back_pdf":"http://127.0.0.1:18080/files/course_tch_back.pdf","stype_cname":)json"
    R"json("","stype_ename":"General English","cname":"","ename":"Animals at the zoo and on the farm","md5":"5d)json"
    R"json(41402abc4b2a76b9719d911017c592","pic":"http://127.0.0.1:18080/files/cover.png","count_pdf":1,"count_)json"
    R"json(voice":2,"count_video":1},"student":[{"id":"5000","nickname":"Lily Garcia","email":"","gender":"2",")json"
    R"json(age":"7","avatar":"http://127.0.0.1:18080/files/avatar1.png","grd_level":"1"},{"id":"5001","nickname)json"
    R"json(":"Tom Fitzgerald","email":"","gender":"1","age":"8","avatar":"http://127.0.0.1:18080/files/avatar2.)json"
    R"json(png","grd_level":"2"},{"id":"5002","nickname":"Mia Vasquez-Rivera","email":"","gender":"2","age":"9")json"
    R"json(,"avatar":"http://127.0.0.1:18080/files/avatar3.png","grd_level":"3"},{"id":"5003","nickname":"Leo V)json"
    R"json(asquez-Rivera","email":"","gender":"1","age":"10","avatar":"http://127.0.0.1:18080/files/avatar4.png)json"
    R"json(","grd_level":"4"},{"id":"5004","nickname":"Ava Vasquez-Rivera","email":"","gender":"2","age":"11",")json"
    R"json(avatar":"http://127.0.0.1:18080/files/avatar5.png","grd_level":"5"},{"id":"5005","nickname":"Noah Va)json"
    R"json(squez-Rivera","email":"","gender":"1","age":"12","avatar":"http://127.0.0.1:18080/files/avatar6.png")json"
    R"json(,"grd_level":"6"}],"resource":[{"mid":301,"name":"song.mp3","type":1,"path":"http://127.0.0.1:18080/)json"
    R"json(files/song.mp3","md5":"0f343b0931126a20f133d67c2b018a3b"},{"mid":302,"name":"chant.mp3","type":1,"pa)json"
    R"json(th":"http://127.0.0.1:18080/files/chant.mp3","md5":"e4d909c290d0fb1ca068ffaddf22cbd0"},{"mid":303,"n)json"
    R"json(ame":"story.mp4","type":2,"path":"http://127.0.0.1:18080/files/story.mp4","md5":"9e107d9d372bb6826bd)json"
    R"json(81d3542a419d6"},{"mid":304,"name":"cards.png","type":3,"path":"http://127.0.0.1:18080/files/cards.pn)json"
    R"json(g","md5":"d41d8cd98f00b204e9800998ecf8427e"},{"mid":305,"name":"worksheet.png","type":3,"path":"http)json"
    R"json(://127.0.0.1:18080/files/worksheet.png","md5":"8f14e45fceea167a5a36dedd4bea2543"}]},"time":170952480)json"
    R"json(0})json";

const char kClassInfoBody[] =
    R"json({"errorCode":200,"errorMsg":"Get data succeed","data":{"class_id":"8001","room_id":"r8001","begin_ti)json"
    R"json(me":"1709523000","class_time":25,"free_try":"0","cls_type":"1","type":"1","status":"1","cls_max_num")json"
    R"json(:"3","cls_app_num":"3","tch_plan_url":"http://127.0.0.1:18080/files/plan8001.pdf","material":{"mid":)json"
    R"json("301","pdf":"http://127.0.0.1:18080/files/course.pdf","md5":"5d41402abc4b2a76b9719d911017c592","pdf_)json"
    R"json(tch":"http://127.0.0.1:18080/files/course_tch.pdf","tch_md5":"7d793037a0760186574b0282f2f435e7","pic)json"
    R"json(":"http://127.0.0.1:18080/files/cover.png","mainurl":"http://127.0.0.1:18080/files/course.pdf","back)json"
    R"json(url":"http://127.0.0.1:18080/files/course_back.pdf","tch_mainurl":"http://127.0.0.1:18080/files/cour)json"
    R"json(se_tch.pdf","tch_backurl":"http://127.0.0.1:18080/files/course_tch_back.pdf","voices":[{"id":"401",")json"
    R"json(voice":"http://127.0.0.1:18080/files/song.mp3","sort":"1","voice_md5":"0f343b0931126a20f133d67c2b018)json"
    R"json(a3b","name":"Zoo song"},{"id":"402","voice":"http://127.0.0.1:18080/files/chant.mp3","sort":"2","voi)json"
    R"json(ce_md5":"e4d909c290d0fb1ca068ffaddf22cbd0","name":"Animal chant"}],"videos":[{"id":"501","video":"ht)json"
    R"json(tp://127.0.0.1:18080/files/story.mp4","video_sm":"http://127.0.0.1:18080/files/story_sm.mp4","pic":")json"
    R"json(http://127.0.0.1:18080/files/story.png","name":"Zoo story","voice":""}]},"teacher":{"tid":"9001","ni)json"
    R"json(ckname":"Teacher Anna","pic":"http://127.0.0.1:18080/files/avatar_tch.png"},"students":[{"sid":"5000)json"
    R"json(","nickname":"Lily Chen","like_num":"1","pic":"http://127.0.0.1:18080/files/avatar1.png","age":"7",")json"
    R"json(grd_level":"1","lastAwardsInfo":{"sid":"5000","award_id":"1","award_time":"1709402400"}},{"sid":"500)json"
    R"json(1","nickname":"Tom Okafor","like_num":"2","pic":"http://127.0.0.1:18080/files/avatar2.png","age":"8")json"
    R"json(,"grd_level":"2","lastAwardsInfo":{"sid":"5001","award_id":"2","award_time":"1709316000"}},{"sid":"5)json"
    R"json(002","nickname":"Mia Larsen","like_num":"3","pic":"http://127.0.0.1:18080/files/avatar3.png","age":")json"
    R"json(9","grd_level":"3","lastAwardsInfo":{"sid":"5002","award_id":"3","award_time":"1709229600"}},{"sid":)json"
    R"json("5003","nickname":"Leo Chen","like_num":"4","pic":"http://127.0.0.1:18080/files/avatar4.png","age":")json"
    R"json(10","grd_level":"4","lastAwardsInfo":{"sid":"5003","award_id":"4","award_time":"1709143200"}},{"sid")json"
    R"json(:"5004","nickname":"Ava Fitzgerald","like_num":"5","pic":"http://127.0.0.1:18080/files/avatar5.png",)json"
    R"json("age":"11","grd_level":"5","lastAwardsInfo":{"sid":"5004","award_id":"5","award_time":"1709056800"}})json"
    R"json(],"agorainfo":{"sig_key":"sig-key-of-class-8001","media_key":"media-key-of-class-8001","record_key":)json"
    R"json("record-key-of-class-8001","expired_time":1709575200}},"time":1709524800})json";

} // namespace

void MockHttpResponseMgr::init()
{
    // Assignment by key, so running init() again leaves the same table.
    m_responses.insert(QStringLiteral("teacher.login"),
                       MockHttpResponse{ 0, QStringLiteral("Error Message:Redis Error<br>Error Code:102") });
    m_responses.insert(QStringLiteral("teacher.schedule"), MockHttpResponse{ 0, QString::fromUtf8(kScheduleBody) });
    m_responses.insert(QStringLiteral("teacher.getclassinfo"), MockHttpResponse{ 0, QString::fromUtf8(kGetClassInfoBody) });
    m_responses.insert(QStringLiteral("teacher.classinfo"), MockHttpResponse{ 0, QString::fromUtf8(kClassInfoBody) });
}

MockHttpResponse MockHttpResponseMgr::getResponse(const QString &key) const
{
    return m_responses.value(key, MockHttpResponse());
}
