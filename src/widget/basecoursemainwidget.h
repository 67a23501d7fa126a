#ifndef BASECOURSEMAINWIDGET_H
#define BASECOURSEMAINWIDGET_H

#include "utility/widget/basemainwidget.h"

// Base of the course windows of both roles, opened by the login window.
// For now it only carries the logout road back to a fresh login window;
// the lesson lists and entering a class come with the course windows.
class BaseCourseMainWidget : public BaseMainWidget
{
public:
    explicit BaseCourseMainWidget(QWidget *parent = nullptr);

    // Opens a new login window of the built-in role that does not log in by
    // itself, then closes this window.
    void applicationLogout();
};

#endif // BASECOURSEMAINWIDGET_H
