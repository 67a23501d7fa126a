#ifndef STUDENTINFOWIDGET_H
#define STUDENTINFOWIDGET_H

#include <QString>
#include <QWidget>

namespace Ui {
class StudentInfoWidget;
}

// One row of the teacher's rank list on the award page: selection
// marker, picture, name and praise count.
class StudentInfoWidget : public QWidget
{
    Q_OBJECT

public:
    explicit StudentInfoWidget(QWidget *parent = nullptr);
    ~StudentInfoWidget() override;

    // The picture is a local file; one that does not load keeps the
    // default picture.
    void setData(const QString &picturePath, int praiseCount, const QString &name);
    void setUid(const QString &uid);
    QString getUid() const;
    void setSelected(bool selected);
    bool isMarked() const;
    void setPraiseCount(int count);
    QString praiseText() const;

private:
    Ui::StudentInfoWidget *ui;
    QString m_uid;
};

#endif // STUDENTINFOWIDGET_H
