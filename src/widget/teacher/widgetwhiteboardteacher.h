#ifndef WIDGETWHITEBOARDTEACHER_H
#define WIDGETWHITEBOARDTEACHER_H

#include "widget/widgetwhiteboard.h"

class WidgetHelpdeskTeacher;

// The teacher's board: its page buttons turn the page for everybody and
// its eraser clears the whole page, everybody's units.
class WidgetWhiteBoardTeacher : public WidgetWhiteBoard
{
public:
    explicit WidgetWhiteBoardTeacher(QWidget *parent = nullptr);

    void setClassInfo(UserList *roster, const QString &classId) override;
    void on_btnErase_clicked() override;
    void on_btnHelpdesk_clicked() override;
    void on_btnNextPage_clicked() override;
    void on_btnPrePage_clicked() override;

    void slot_helpdeskSent();

    WidgetHelpdeskTeacher *helpdeskWindow() const { return helpdesk; }

private:
    WidgetHelpdeskTeacher *helpdesk = nullptr;
};

#endif // WIDGETWHITEBOARDTEACHER_H
