#ifndef UPGRADEMGR_H
#define UPGRADEMGR_H

#include "mgr/singletonmgrbase.h"

#include <QPointer>
#include <QWidget>

// Checks for a newer version, downloads and starts its installer.
class UpgradeMgr : public SingletonMgrBase
{
    Q_OBJECT

public:
    explicit UpgradeMgr(QObject *parent = nullptr);
    ~UpgradeMgr() override;

    static UpgradeMgr *instance();

    void init() override;

    // The widget over which upgrade prompts are shown.
    void setPromptWidget(QWidget *widget);
    void clearPromptWidget(QWidget *widget);
    QWidget *promptWidget() const;

    // Starts the version check.
    void goCheck();

private:
    // Guarded: a window that goes away without clearing itself leaves null.
    QPointer<QWidget> m_promptWidget;
};

#endif // UPGRADEMGR_H
