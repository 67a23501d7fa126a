#ifndef VIDEOOUTPUT_H
#define VIDEOOUTPUT_H

#include <QObject>
#include <QPointer>
#include <QString>

class QWidget;

namespace QtAV {

// Where a player shows its picture. The renderer "Widget" makes a widget
// to put into a layout; any other renderer name makes none (widget() is
// null), which the players report to the user.
class VideoOutput : public QObject
{
    Q_OBJECT

public:
    explicit VideoOutput(const QString &rendererId, QObject *parent = nullptr);
    ~VideoOutput() override;

    // Owned by the layout it is put into (or by this object until then).
    QWidget *widget() const;
    QString rendererId() const { return m_rendererId; }

private:
    QString m_rendererId;
    QPointer<QWidget> m_widget;
};

} // namespace QtAV

#endif // VIDEOOUTPUT_H
