#ifndef WIDGETCLASSROOM_H
#define WIDGETCLASSROOM_H

#include "utility/widget/basemainwidget.h"

#include <QString>

class QLabel;
struct ClassInfoEntity;

// The classroom window, titled "Classroom". It announces itself on the
// signal bus when created and, from inside close(), when closed; closing
// also forgets the class in AppContext. startClass() takes the class the
// course window fetched; the window is shown by its creator afterwards.
// For now the window only shows which class it holds: the class page with
// video, whiteboard and messaging comes with the classroom itself.
class WidgetClassRoom : public BaseMainWidget
{
    Q_OBJECT

public:
    // The fixed length of a class, in seconds.
    static constexpr int kClassLengthSecs = 1500;

    explicit WidgetClassRoom(QWidget *parent = nullptr);
    ~WidgetClassRoom() override;

    // Records the class as the current one (id, begin time, length, the
    // in-class flag) and as the class to re-enter after a restart.
    void startClass(const ClassInfoEntity &info);
    // The class started in this window; empty before.
    QString getClassId() const;

protected:
    void closeEvent(QCloseEvent *event) override;

private:
    QString m_classId;
    QLabel *m_label;
    bool m_closed = false;
};

#endif // WIDGETCLASSROOM_H
