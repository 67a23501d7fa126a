#ifndef WIDGETSCREEN_H
#define WIDGETSCREEN_H

#include <QPoint>
#include <QString>
#include <QWidget>

// The screenshot tool: a full-screen picture of the desktop on which the
// user drags out an area to save or send. signal_quit carries the saved
// picture's path, or an empty text when there is nothing to send.
class WidgetScreen : public QWidget
{
    Q_OBJECT

public:
    explicit WidgetScreen(QWidget *parent = nullptr);
    ~WidgetScreen() override;

    // Grabs the screen and starts the selection.
    void grabScreen();

signals:
    void signal_quit(QString filePath);

public slots:
    void slot_cutMove(QPoint topLeft, QPoint bottomRight);
    void slot_cutQuit(QString strFile);
};

#endif // WIDGETSCREEN_H
