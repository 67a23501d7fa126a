#ifndef SUPERVISIONCLASS_H
#define SUPERVISIONCLASS_H

#include <QString>

// The observer mode: a supervisor watching a lesson starts the student
// program with a "supervisionClass/" argument carrying a token and a class
// id. The values are set once at start-up and hold for the process.
class SupervisionClass
{
public:
    // Reads "token=<token>&classId=<id>" from an argument that contains
    // "supervisionClass/"; any other argument changes nothing.
    static void analysisSupervisionParameter(QString argument);

    static void setSupervisionClassFlag(const bool flag);
    static void setSupervisionToken(QString token);
    static void setSupervisionClassId(QString classId);

    static bool getSupervisionClassFlag();
    static QString getSupervisionToken();
    static QString getSupervisionClassId();
};

#endif // SUPERVISIONCLASS_H
