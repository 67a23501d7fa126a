#ifndef TOASTTEXT_H
#define TOASTTEXT_H

#include "utility/widget/promptmessagewidget.h"

#include <QChar>
#include <QList>
#include <QString>
#include <QWidget>

// The text of the newest toast over window, empty without one. A toast
// over a narrow window cuts a long text with an ellipsis; a cut text that
// begins expected counts as expected.
inline QString lastToastText(QWidget *window, const QString &expected)
{
    const QList<promptMessageWidget *> toasts = window->findChildren<promptMessageWidget *>();
    if (toasts.isEmpty())
        return QString();
    const QString shown = toasts.last()->shownText();
    if (shown.endsWith(QChar(0x2026)) && expected.startsWith(shown.chopped(1)))
        return expected;
    return shown;
}

#endif // TOASTTEXT_H
