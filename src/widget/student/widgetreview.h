#ifndef WIDGETREVIEW_H
#define WIDGETREVIEW_H

#include "mgr/http/baseentity.h"
#include "utility/widget/basemainwidget.h"

#include <QList>
#include <QPointer>
#include <QString>

class EntityNetworkReplyHolder;
class QPushButton;

namespace Ui {
class WidgetReview;
}

// The student's review of a lesson: one to five stars and a comment, saved
// with one call before the classroom closes. Emits signal_close() (from its
// base) when it closes.
class WidgetReview : public BaseMainWidget
{
    Q_OBJECT

public:
    explicit WidgetReview(QWidget *parent = nullptr);
    ~WidgetReview() override;

    void setClassId(const QString &classId);

    int score() const { return m_score; }
    // The star buttons, first to fifth.
    const QList<QPushButton *> &stars() const { return m_stars; }
    bool isSaving() const { return !m_saveReply.isNull(); }

    // The toast texts of a failed save, chosen by the failure's code.
    static QString failureText(int errorCode);

public slots:
    void on_btnClose_clicked();
    void on_btnSubmit_clicked();
    void slot_onSuccess_saveComment(QString response);
    void slot_onFailure_saveComment(BaseEntity baseEntity);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void initStarts();
    void selectScore(int score);

    Ui::WidgetReview *ui;
    QList<QPushButton *> m_stars;
    int m_score = 0;
    QString m_classId;
    // The save call in flight; while it runs, Submit sends nothing more.
    QPointer<EntityNetworkReplyHolder> m_saveReply;
};

#endif // WIDGETREVIEW_H
