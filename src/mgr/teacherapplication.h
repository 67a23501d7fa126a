#ifndef TEACHERAPPLICATION_H
#define TEACHERAPPLICATION_H

#include "mgr/baseapplication.h"

// The teacher client's start-up.
class TeacherApplication : public BaseApplication
{
protected:
    void initManagers() override;
    baseloginwidget *createLoginWidget() override;
};

#endif // TEACHERAPPLICATION_H
