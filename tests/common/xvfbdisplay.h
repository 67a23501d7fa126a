#ifndef XVFBDISPLAY_H
#define XVFBDISPLAY_H

#include <QProcess>
#include <QString>

// A private X display (Xvfb, 1280 x 800) for a test that needs a real
// screen, such as a screen grab; the tests themselves run offscreen. It
// listens on no TCP port and ends with this object.
class XvfbDisplay
{
public:
    XvfbDisplay() = default;
    ~XvfbDisplay();

    XvfbDisplay(const XvfbDisplay &) = delete;
    XvfbDisplay &operator=(const XvfbDisplay &) = delete;

    // Starts the server; false (with a warning) when it did not come up.
    bool start();
    // ":<number>", empty before start().
    QString display() const { return m_display; }
    // The server's process id (for its CPU time), 0 before start().
    qint64 processId() const { return m_server.processId(); }

private:
    QProcess m_server;
    QString m_display;
};

#endif // XVFBDISPLAY_H
