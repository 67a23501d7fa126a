#ifndef SYSTEMDESCRIPTION_H
#define SYSTEMDESCRIPTION_H

#include <QString>

// "version:%1, production name:%2, kernel version:%3, cpu architecture:%4",
// sent with every login. %1 is the Windows version number, 0 elsewhere.
QString getSystemDescription();

#endif // SYSTEMDESCRIPTION_H
