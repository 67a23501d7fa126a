#ifndef SINGLEINSTANCEUTILITY_H
#define SINGLEINSTANCEUTILITY_H

#include <QString>
#include <QStringList>

// Keeps one running copy of the program per user: a second copy raises the
// login, course or classroom window of the first one and ends.
class SingleInstanceUtility
{
public:
    SingleInstanceUtility() = default;

    // True when another copy holds the lock and one of its windows was found
    // and brought to the front.
    bool isAlreadyRunning();
    // Looks for a window of the running copy and raises it; true when found.
    bool startPreviousApp();

    static QString mutexName();
    // "Login", "Schedule", "Classroom" in the current language, in this order.
    static QStringList appWindowTitles();
};

#endif // SINGLEINSTANCEUTILITY_H
