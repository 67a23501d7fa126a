#ifndef WIDGETHELPDESKTEACHER_H
#define WIDGETHELPDESKTEACHER_H

#include "mgr/http/baseentity.h"
#include "utility/widget/basemainwidget.h"
#include "widget/helpdesksubmission.h"

#include <QList>
#include <QPair>
#include <QPointer>
#include <QString>

class EntityNetworkReplyHolder;
class QCheckBox;
class UserCheckBox;
class UserList;
class WidgetScreen;

namespace Ui {
class WidgetHelpdeskTeacher;
}

// The teacher's problem report: issue categories, the participants it
// concerns, a description and at most one screenshot, sent to the help
// desk as one message on the MQTT server topic. Closing only hides it; the
// form keeps its content until a report is delivered.
class WidgetHelpdeskTeacher : public BaseMainWidget
{
    Q_OBJECT

public:
    explicit WidgetHelpdeskTeacher(QWidget *parent);
    ~WidgetHelpdeskTeacher() override;

    // One box per participant of roster, replacing the earlier ones.
    void setUserList(const UserList *roster, const QString &classId);
    void setClassId(const QString &classId) { m_classId = classId; }
    QString classId() const { return m_classId; }
    int participantCount() const { return m_users.size(); }

    const QList<QCheckBox *> &categoryBoxes() const { return m_categories; }
    const QList<UserCheckBox *> &userBoxes() const { return m_users; }
    bool isImageUploaded() const { return m_imageUploaded; }
    int submitToken() const { return m_submission.token(); }
    // The screenshot tool while it is open.
    WidgetScreen *screenshotTool() const;

signals:
    void signal_sentHelpdeskMsg();

public slots:
    void on_btnScreenshot_clicked();
    void slot_finishedScreenshot(QString filePath);
    void on_btnSubmit_clicked();
    void on_btnClose_clicked();
    void slot_onSuccess_uploadImg(QString response);
    void slot_onFailure_uploadImg(BaseEntity baseEntity);
    void slot_sendMsgSuccess(int token);
    void slot_sendMsgFailure(int token, int errCode, QString errMsg);
    void upLoadImage(const QString &filePath);

private:
    void toast(const QString &text);
    void clearForm();

    Ui::WidgetHelpdeskTeacher *ui;
    QString m_classId;
    QList<QPair<QString, int>> m_categoryTable;
    QList<QCheckBox *> m_categories;
    QList<UserCheckBox *> m_users;
    bool m_imageUploaded = false;
    QPointer<EntityNetworkReplyHolder> m_upload;
    QPointer<WidgetScreen> m_screen;
    HelpdeskSubmission m_submission;
};

#endif // WIDGETHELPDESKTEACHER_H
