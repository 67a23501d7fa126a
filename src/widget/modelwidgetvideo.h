#ifndef MODELWIDGETVIDEO_H
#define MODELWIDGETVIDEO_H

#include <QString>
#include <QWidget>

class QMouseEvent;

namespace Ui {
class ModelWidgetVideo;
}

// The award tile of one student: the student's video tile above a bar with
// the name and the praise count. On the teacher's page a click selects or
// deselects the student for the next prize.
class ModelWidgetVideo : public QWidget
{
    Q_OBJECT

public:
    explicit ModelWidgetVideo(QWidget *parent = nullptr);
    ~ModelWidgetVideo() override;

    void addVideo(QWidget *tile);
    void setName(const QString &name);
    void setPraiseCount(int n);
    void setUid(const QString &uid);
    QString getUid() const;
    bool isSelected() const;
    // Does nothing in the student's program, where nobody selects.
    void setSelected(bool selected);

    QString nameText() const;
    QString praiseText() const;

signals:
    void signal_isSelect(QString _uid, bool flag);

protected:
    void mouseReleaseEvent(QMouseEvent *event) override;

private:
    Ui::ModelWidgetVideo *ui;
    QString m_uid;
    bool m_selected = true;
};

#endif // MODELWIDGETVIDEO_H
