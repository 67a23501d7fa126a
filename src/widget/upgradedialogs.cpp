#include "upgradedialogs.h"

#include "utility/widget/promptmessagewidget.h"

#include <QApplication>
#include <QMessageBox>

UpgradeDialogs::~UpgradeDialogs()
{
    delete m_progress.data();
}

void UpgradeDialogs::setPromptWidget(QWidget *widget)
{
    m_promptWidget = widget;
}

QWidget *UpgradeDialogs::promptWidget() const
{
    return m_promptWidget.data();
}

bool UpgradeDialogs::askYesNo(const QString &title, const QString &text, bool critical)
{
    const QMessageBox::StandardButtons buttons = QMessageBox::Yes | QMessageBox::No;
    const QMessageBox::StandardButton answer = critical
        ? QMessageBox::critical(m_promptWidget, title, text, buttons, QMessageBox::Yes)
        : QMessageBox::information(m_promptWidget, title, text, buttons, QMessageBox::Yes);
    return answer == QMessageBox::Yes;
}

void UpgradeDialogs::showCritical(const QString &title, const QString &text)
{
    QMessageBox::critical(m_promptWidget, title, text, QMessageBox::Ok);
}

void UpgradeDialogs::showToast(const QString &text)
{
    showPromptMessage(text, m_promptWidget, 2, false);
}

void UpgradeDialogs::openProgress(const QString &title, const QString &label, const QString &cancelText,
                                  const std::function<void()> &onCanceled)
{
    closeProgress();
    auto *dialog = new QProgressDialog(label, cancelText, 0, 100, m_promptWidget);
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    dialog->setWindowFlags(dialog->windowFlags() & ~Qt::WindowContextHelpButtonHint);
    dialog->setWindowModality(Qt::WindowModal);
    dialog->setWindowTitle(title);
    dialog->setMinimumDuration(1);
    QObject::connect(dialog, &QProgressDialog::canceled, dialog, [onCanceled] {
        if (onCanceled)
            onCanceled();
    });
    m_progress = dialog;
}

void UpgradeDialogs::setProgress(int percent)
{
    if (m_progress)
        m_progress->setValue(percent);
}

void UpgradeDialogs::closeProgress()
{
    if (!m_progress)
        return;
    QProgressDialog *dialog = m_progress;
    m_progress = nullptr;
    dialog->close();
}

QProgressDialog *UpgradeDialogs::progressDialog() const
{
    return m_progress.data();
}

void UpgradeDialogs::quit(int exitCode)
{
    QApplication::closeAllWindows();
    QCoreApplication::exit(exitCode);
}
