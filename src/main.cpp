#include "mgr/appmainloop.h"
#include "mgr/singleton.h"

int main(int argc, char *argv[])
{
    int result = 0;
    {
        AppMainLoop loop(argc, argv);
        result = loop.run();
    }
    // Worker threads are stopped by the loop's shutdown; release the
    // managers while the toolkit's own globals are still there.
    releaseSingletons();
    return result;
}
