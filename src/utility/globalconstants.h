#ifndef GLOBALCONSTANTS_H
#define GLOBALCONSTANTS_H

#include <QColor>
#include <QMutex>
#include <QString>
#include <QStringList>
#include <QVector>

// Constant tables and texts shared by the whole program, created before
// main() and released at exit.

// Whiteboard pen palette: entry i of every list belongs to colour i.
extern const QVector<QColor> g_penColors;
extern const QStringList g_penButtonImages;       // "btnRed.png", ...
extern const QStringList g_penImages;             // "red.png", ...
extern const QStringList g_penSecondButtonImages; // "btnRed_t.png", ...

// One flower picture of the praise effect with its size in pixels, so it
// can be placed at a random point and still stay inside its area.
struct FlowerImage
{
    QString path;
    int width = 0;
    int height = 0;
};

extern const QVector<FlowerImage> g_shortFlowerList; // 7 entries
extern const QVector<FlowerImage> g_longFlowerList;  // the 7 above and 7 more

// Version of this client, as it appears in log file names, action records
// and the login form.
extern const char g_clientVersion[];

// Suffix of the temporary file a download is written to before it is
// moved over its final name.
extern const QString g_downloadTempSuffix;
// Settings key of the saved login.
extern const QString g_loginInfoKey;

// The observer mode's class id and token, empty until set.
extern QString g_supervisionClassId;
extern QString g_supervisionToken;

// Guards creation of, and every access to, the user-action log.
extern QMutex g_actionLogMutex;
// Guards creation of the text lookup object.
extern QMutex g_translateLanguageMutex;

#endif // GLOBALCONSTANTS_H
