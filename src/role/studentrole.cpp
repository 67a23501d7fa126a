#include "buildconstants.h"

int getClientRole()
{
    return 1;
}
