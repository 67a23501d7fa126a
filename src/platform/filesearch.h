#ifndef FILESEARCH_H
#define FILESEARCH_H

#include <QFileInfoList>
#include <QString>

// Entries of one folder whose names match the wildcard of the last path
// component ("*" any run of characters, "?" one character), compared
// without regard to case as the Windows file search does; "[" and "]" are
// ordinary characters. Empty when the folder is missing or nothing matches.
QFileInfoList findFilesByPattern(const QString &wildcardPath);

// Whether name matches the wildcard, by the rules above.
bool matchesFilePattern(const QString &pattern, const QString &name);

#endif // FILESEARCH_H
