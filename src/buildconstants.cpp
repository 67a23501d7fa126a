#include "buildconstants.h"

int getServerEnvironment()
{
    return 2;
}

bool isMockHttpEnabled()
{
    return false;
}
