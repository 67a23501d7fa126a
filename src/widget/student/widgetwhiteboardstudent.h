#ifndef WIDGETWHITEBOARDSTUDENT_H
#define WIDGETWHITEBOARDSTUDENT_H

#include "widget/widgetwhiteboard.h"

#include <QMap>
#include <QVector>

class WidgetHelpdeskStudent;
class WidgetHelpRemind;

// The student's board: it follows the teacher to the page the teacher
// draws on, its eraser removes only the student's own units, and a sent
// problem report is answered with self-help tips read from the resources
// folder ("SelfRescue0.html" ... "SelfRescue2.html").
class WidgetWhiteBoardStudent : public WidgetWhiteBoard
{
public:
    explicit WidgetWhiteBoardStudent(QWidget *parent = nullptr);

    void setClassInfo(UserList *roster, const QString &classId) override;
    void on_btnErase_clicked() override;
    void on_btnHelpdesk_clicked() override;

    void slot_helpdeskSent(const QVector<int> &issueTypes);

    // The whole file as UTF-8 text; empty (with a log line) when it is
    // missing or cannot be read.
    static QString readFile(const QString &path);
    // Tip number of an issue type, -1 for none.
    static int tipOfIssue(int issueType);

    WidgetHelpdeskStudent *helpdeskWindow() const { return helpdesk; }
    WidgetHelpRemind *helpRemindWindow() const { return helpRemind; }
    const QMap<int, QString> &tips() const { return selfRescueTips; }
    void loadTips();

protected:
    void unitReceived(const ImMsgInfo &info, int page) override;

private:
    WidgetHelpdeskStudent *helpdesk = nullptr;
    WidgetHelpRemind *helpRemind = nullptr;
    QMap<int, QString> selfRescueTips;
};

#endif // WIDGETWHITEBOARDSTUDENT_H
