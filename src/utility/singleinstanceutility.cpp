#include "singleinstanceutility.h"

#include "platform/singleinstanceguard.h"
#include "utility/translatelanguage.h"

#include <QDebug>

QString SingleInstanceUtility::mutexName()
{
    return QStringLiteral("TavroLessonry");
}

QStringList SingleInstanceUtility::appWindowTitles()
{
    Translatelanguage *language = Translatelanguage::instance();
    return {language->getText(QStringLiteral("Login"), Translatelanguage::LanguageDefault),
            language->getText(QStringLiteral("Schedule"), Translatelanguage::LanguageDefault),
            language->getText(QStringLiteral("Classroom"), Translatelanguage::LanguageDefault)};
}

bool SingleInstanceUtility::isAlreadyRunning()
{
    if (SingleInstanceGuard::createNamedLock(mutexName()))
        return false;
    return startPreviousApp();
}

bool SingleInstanceUtility::startPreviousApp()
{
    const QStringList titles = appWindowTitles();
    qInfo().noquote() << "appWindowTitleList:" << titles.join(QStringLiteral(", "));
    // An empty title (no language document) would match any untitled window.
    const QString found = SingleInstanceGuard::raiseWindow(mutexName(), titles);
    if (found.isEmpty())
        return false;
    qInfo().noquote() << "FindWindowW:" << found;
    return true;
}
