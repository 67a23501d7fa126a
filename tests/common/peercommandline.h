#ifndef PEERCOMMANDLINE_H
#define PEERCOMMANDLINE_H

#include <QCommandLineOption>
#include <QCommandLineParser>
#include <QList>

class QCoreApplication;

// The command line of a class participant program: --uid and --class, whom
// it is and where, and --log (keep the message and action logs, as the
// client does), beside the program's own options.
class PeerCommandLine
{
public:
    explicit PeerCommandLine(const QList<QCommandLineOption> &own = {});

    // Reads the application's arguments; ends the program on a bad one.
    void process(const QCoreApplication &app);
    QString uid() const;
    QString classId() const;
    bool keepsLogs() const;
    const QCommandLineParser &parser() const { return m_parser; }

private:
    QCommandLineParser m_parser;
    const QCommandLineOption m_uid;
    const QCommandLineOption m_class;
    const QCommandLineOption m_log;
};

#endif // PEERCOMMANDLINE_H
