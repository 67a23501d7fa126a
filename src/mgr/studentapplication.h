#ifndef STUDENTAPPLICATION_H
#define STUDENTAPPLICATION_H

#include "mgr/baseapplication.h"

// The student client's start-up.
class StudentApplication : public BaseApplication
{
protected:
    void initManagers() override;
    baseloginwidget *createLoginWidget() override;
};

#endif // STUDENTAPPLICATION_H
