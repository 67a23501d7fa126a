// An idle award page of this program's role (two students' tiles, each with
// a prize at rest, the light turning) beside a bare window of the same
// size, shown in turn for the same time, several rounds; prints the CPU
// time each used and their ratio.
//
//   bench_awardidle_<role> [seconds per turn, default 5] [rounds, default 3]

#include "buildconstants.h"
#include "utility/userinfo.h"
#include "widget/prizemodel.h"
#include "widget/student/prizemodelwidgetstu.h"
#include "widget/teacher/prizemodelwidget.h"
#include "widget/widgetvideoitem.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QTimer>

#include <sys/resource.h>

#include <cstdio>
#include <memory>

namespace {

double cpuSeconds()
{
    rusage usage {};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_utime.tv_sec + usage.ru_stime.tv_sec + (usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}

double idleCpu(QWidget *window, int seconds)
{
    window->show();
    QEventLoop settle;
    QTimer::singleShot(500, &settle, &QEventLoop::quit);
    settle.exec();
    const double before = cpuSeconds();
    QEventLoop idle;
    QTimer::singleShot(seconds * 1000, &idle, &QEventLoop::quit);
    idle.exec();
    const double used = cpuSeconds() - before;
    window->hide();
    return used;
}

} // namespace

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    const int seconds = argc > 1 ? QString::fromLocal8Bit(argv[1]).toInt() : 5;
    const int rounds = argc > 2 ? QString::fromLocal8Bit(argv[2]).toInt() : 3;

    UserList roster;
    for (const auto &entry : { std::make_pair("30001", 2), std::make_pair("20001", 1), std::make_pair("20002", 1) }) {
        UserInfo info;
        info.uid = QString::fromLatin1(entry.first);
        info.userName = info.uid;
        info.userType = entry.second;
        info.lastAwardInfo.award_id = QStringLiteral("2");
        roster.addUser(info);
    }
    roster.setTeacherIdx(0);

    std::unique_ptr<PrizeModel> page;
    if (getClientRole() == 1) {
        auto *student = new PrizemodelwidgetStu;
        page.reset(student);
        for (int i = 1; i < 3; ++i) {
            auto *tile = new WidgetVideoItem;
            tile->setUserInfo(roster.getUserInfoByIdx(i));
            student->addStudentTile(tile);
        }
    } else {
        auto *teacher = new PrizeModelWidget;
        page.reset(teacher);
        for (int i = 1; i < 3; ++i) {
            auto *tile = new WidgetVideoItem;
            tile->setUserInfo(roster.getUserInfoByIdx(i));
            teacher->addStudentTile(tile);
            teacher->addRankRow(tile);
        }
    }
    page->setClassInfo(&roster, QStringLiteral("10001"));
    page->resize(1026, 695);
    QWidget bare;
    bare.resize(page->size());

    double pageTotal = 0;
    double bareTotal = 0;
    for (int round = 1; round <= rounds; ++round) {
        const double pageCpu = idleCpu(page.get(), seconds);
        const double bareCpu = idleCpu(&bare, seconds);
        pageTotal += pageCpu;
        bareTotal += bareCpu;
        std::printf("round %d: award page %.3f s CPU, bare window %.3f s CPU in %d s each\n", round, pageCpu, bareCpu,
                    seconds);
    }
    std::printf("award page (%s): %.1f%% of a core; bare window %.1f%%; difference %.1f points\n",
                getClientRole() == 1 ? "student" : "teacher", 100.0 * pageTotal / (rounds * seconds),
                100.0 * bareTotal / (rounds * seconds), 100.0 * (pageTotal - bareTotal) / (rounds * seconds));
    return 0;
}
