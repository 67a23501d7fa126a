#ifndef BROWSERSTANDIN_H
#define BROWSERSTANDIN_H

#include <QObject>
#include <QString>
#include <QStringList>

class QUrl;

// Stands in for the system browser while it lives: every address the
// program asks QDesktopServices to open under "scheme" is appended to
// "opened" instead.
class BrowserStandIn : public QObject
{
    Q_OBJECT

public:
    BrowserStandIn(const QString &scheme, QStringList *opened);
    ~BrowserStandIn() override;

public slots:
    void openUrl(const QUrl &url);

private:
    QString m_scheme;
    QStringList *m_opened;
};

#endif // BROWSERSTANDIN_H
