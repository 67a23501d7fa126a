#ifndef WIDGETHELPDESKSTUDENT_H
#define WIDGETHELPDESKSTUDENT_H

#include "utility/widget/basemainwidget.h"
#include "widget/helpdesksubmission.h"

#include <QList>
#include <QPair>
#include <QString>
#include <QVector>

class QCheckBox;

namespace Ui {
class WidgetHelpdeskStudent;
}

// The student's problem report: eight fixed problems, a description when
// "其他" is ticked, sent to the help desk as one message on the MQTT server
// topic. A delivered report is announced with its issue tags.
class WidgetHelpdeskStudent : public BaseMainWidget
{
    Q_OBJECT

public:
    explicit WidgetHelpdeskStudent(QWidget *parent);
    ~WidgetHelpdeskStudent() override;

    void setClassId(const QString &classId);
    QString classId() const { return m_classId; }
    const QList<QCheckBox *> &problemBoxes() const { return m_problems; }
    bool isOtherChecked() const { return m_otherChecked; }
    int submitToken() const { return m_submission.token(); }

signals:
    void signal_sentHelpdeskMsg(QVector<int> _issueTags);

public slots:
    void on_btnClose_clicked();
    void on_btnSubmit_clicked();
    void slot_other_state_changed(int state);
    void slot_sendMsgSuccess(int token);
    void slot_sendMsgFailure(int token, int errCode, QString errMsg);

private:
    void toast(const QString &text);

    Ui::WidgetHelpdeskStudent *ui;
    QString m_classId;
    QList<QPair<QString, int>> m_problemTable;
    QList<QCheckBox *> m_problems;
    bool m_otherChecked = false;
    HelpdeskSubmission m_submission;
    QVector<int> m_sentTags;
};

#endif // WIDGETHELPDESKSTUDENT_H
