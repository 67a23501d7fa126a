#ifndef UPGRADEDIALOGS_H
#define UPGRADEDIALOGS_H

#include "mgr/upgradeui.h"

#include <QPointer>
#include <QProgressDialog>
#include <QWidget>

// The upgrade's message boxes, progress dialog and notice, over the prompt
// widget (or without a parent when there is none).
class UpgradeDialogs : public UpgradeUi
{
public:
    UpgradeDialogs() = default;
    ~UpgradeDialogs() override;

    void setPromptWidget(QWidget *widget) override;
    QWidget *promptWidget() const override;

    bool askYesNo(const QString &title, const QString &text, bool critical) override;
    void showCritical(const QString &title, const QString &text) override;
    void showToast(const QString &text) override;

    void openProgress(const QString &title, const QString &label, const QString &cancelText,
                      const std::function<void()> &onCanceled) override;
    void setProgress(int percent) override;
    void closeProgress() override;
    QProgressDialog *progressDialog() const;

    void quit(int exitCode) override;

private:
    QPointer<QWidget> m_promptWidget;
    QPointer<QProgressDialog> m_progress;
};

#endif // UPGRADEDIALOGS_H
