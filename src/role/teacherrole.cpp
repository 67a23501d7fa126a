#include "buildconstants.h"

int getClientRole()
{
    return 0;
}
