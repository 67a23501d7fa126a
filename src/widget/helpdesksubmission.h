#ifndef HELPDESKSUBMISSION_H
#define HELPDESKSUBMISSION_H

#include "mgr/message/classroompayloads.h"

// One helpdesk report of the student's or the teacher's form on its way to
// the service over MQTT: the click is recorded, the report sent, and the
// outcome the message layer reports for its token taken once.
class HelpdeskSubmission
{
public:
    // False, logged, when the message layer refused the report.
    bool send(const HelpdeskTeacherEntiry &report);
    // Whether a publish outcome is this report's; taking it ends the wait.
    bool takeSuccess(int token);
    bool takeFailure(int token);
    // The token of the report waiting for its outcome; -1 when none waits.
    int token() const { return m_token; }

private:
    bool take(int token, const char *outcome);

    int m_token = -1;
};

#endif // HELPDESKSUBMISSION_H
