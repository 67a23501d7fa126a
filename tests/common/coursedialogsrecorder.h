#ifndef COURSEDIALOGSRECORDER_H
#define COURSEDIALOGSRECORDER_H

#include "widget/coursedialogs.h"

#include <QList>
#include <QStringList>
#include <QWidget>

// Answers the course windows' message boxes, modal windows and exit
// requests for as long as it lives, so no test waits in a modal loop:
// boxes (those that wait and those that do not, the latter answered from
// the event loop) are kept in `boxes` as "title|text" and answered from `answers`
// (oldest first) or else with their default button (-1 for text buttons),
// modal windows are kept by class name and return at once, exit codes are
// kept in `exitCodes`.
class CourseDialogsRecorder
{
public:
    CourseDialogsRecorder()
    {
        const auto answer = [this](const CourseDialogs::Box &box) {
            boxes.append(box.title + QLatin1Char('|') + box.text);
            kinds.append(box.kind);
            if (!answers.isEmpty())
                return answers.takeFirst();
            if (!box.textButtons.isEmpty())
                return -1;
            return static_cast<int>(box.defaultButton == QMessageBox::NoButton ? QMessageBox::Ok : box.defaultButton);
        };
        CourseDialogs::setBoxHandler(answer);
        CourseDialogs::setOpenHandler(answer);
        CourseDialogs::setModalHandler([this](QWidget *window) {
            modalWindows.append(QString::fromLatin1(window->metaObject()->className()));
        });
        CourseDialogs::setExitHandler([this](int code) { exitCodes.append(code); });
    }

    ~CourseDialogsRecorder()
    {
        CourseDialogs::setBoxHandler(nullptr);
        CourseDialogs::setOpenHandler(nullptr);
        CourseDialogs::setModalHandler(nullptr);
        CourseDialogs::setExitHandler(nullptr);
    }

    CourseDialogsRecorder(const CourseDialogsRecorder &) = delete;
    CourseDialogsRecorder &operator=(const CourseDialogsRecorder &) = delete;

    void clear()
    {
        boxes.clear();
        kinds.clear();
        answers.clear();
        modalWindows.clear();
        exitCodes.clear();
    }

    QStringList boxes;
    QList<int> kinds;
    QList<int> answers;
    QStringList modalWindows;
    QList<int> exitCodes;
};

#endif // COURSEDIALOGSRECORDER_H
