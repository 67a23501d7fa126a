#ifndef MIXINGCALLS_H
#define MIXINGCALLS_H

#include "messagecatcher.h"

#include <QStringList>

// The RTC engine's audio-mixing calls (start, pause, resume, stop) as their
// log lines, in order, among the lines a MessageCatcher has collected.
inline QStringList mixingCalls()
{
    QStringList result;
    for (const QString &line : MessageCatcher::lines()) {
        for (const char *call : { "startAudioMixing filePath", "pauseAudioMixing ret", "resumeAudioMixing ret",
                                  "stopAudioMixing" }) {
            if (line.startsWith(QLatin1String(call)))
                result << line;
        }
    }
    return result;
}

#endif // MIXINGCALLS_H
