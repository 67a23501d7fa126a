#ifndef UPGRADEUI_H
#define UPGRADEUI_H

#include <QString>

#include <functional>

class QWidget;

// What the upgrade shows the user and how it ends the program. The widget
// layer supplies the real dialogs (UpgradeDialogs); tests supply their own.
class UpgradeUi
{
public:
    virtual ~UpgradeUi() = default;

    // The window over which the dialogs appear; may be null. The
    // implementation forgets a window that goes away.
    virtual void setPromptWidget(QWidget *widget) = 0;
    virtual QWidget *promptWidget() const = 0;

    // A modal question with Yes and No, Yes the default; true for Yes.
    // critical chooses the critical icon instead of the information one.
    virtual bool askYesNo(const QString &title, const QString &text, bool critical) = 0;
    // A modal critical box with one OK button.
    virtual void showCritical(const QString &title, const QString &text) = 0;
    // A notice that closes itself after two seconds.
    virtual void showToast(const QString &text) = 0;

    // The download progress dialog (0 to 100). onCanceled runs when the user
    // cancels it and also when it is closed.
    virtual void openProgress(const QString &title, const QString &label, const QString &cancelText,
                              const std::function<void()> &onCanceled) = 0;
    virtual void setProgress(int percent) = 0;
    virtual void closeProgress() = 0;

    // Closes every window and ends the event loop with exitCode.
    virtual void quit(int exitCode) = 0;
};

#endif // UPGRADEUI_H
