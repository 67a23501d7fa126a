#ifndef WIDGETHELPDESKSTUDENT_H
#define WIDGETHELPDESKSTUDENT_H

#include <QVector>
#include <QWidget>

class QCheckBox;

// The student's problem report: the student ticks what goes wrong and the
// report goes to the back office over MQTT. Until the chat and feedback
// panels come, it offers only the issue types and the submit button.
class WidgetHelpdeskStudent : public QWidget
{
    Q_OBJECT

public:
    explicit WidgetHelpdeskStudent(QWidget *parent);

    void setClassId(const QString &classId);
    QString classId() const { return m_classId; }
    // The issue types ticked now, ascending.
    QVector<int> checkedIssues() const;
    void setIssueChecked(int issueType, bool checked);

signals:
    void signal_sentHelpdeskMsg(QVector<int> _issueTags);

public slots:
    void on_btnSubmit_clicked();

private:
    QString m_classId;
    QVector<QCheckBox *> m_issues; // issue type i + 1
};

#endif // WIDGETHELPDESKSTUDENT_H
