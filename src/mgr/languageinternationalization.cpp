#include "languageinternationalization.h"

#include "rolepolicy.h"

#include <QCoreApplication>
#include <QDebug>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>

LanguageInternationalization::LanguageInternationalization(QObject *parent)
    : SingletonMgrBase(parent)
{
}

LanguageInternationalization::~LanguageInternationalization()
{
    removeTranslator();
}

void LanguageInternationalization::init()
{
    removeTranslator();
    const bool chinese = RolePolicy::current().chineseInterface;
    const QLocale language = chinese ? QLocale(QLocale::Chinese, QLocale::China)
                                     : QLocale(QLocale::English, QLocale::UnitedStates);
    QLocale::setDefault(language);
    if (!chinese)
        return;

    m_translator = new QTranslator(this);
    if (m_translator->load(QStringLiteral(":/languages/change_language_CN.qm"), QString(), QString(), QString()))
        QCoreApplication::installTranslator(m_translator);
    else
        qWarning() << "failed to load the Chinese translation";

    // Qt's own texts: the standard buttons of the message boxes, the file
    // dialogs' buttons and filters. Without them a Chinese question gets
    // English Yes and No.
    m_qtTranslator = new QTranslator(this);
    const QString folder = QLibraryInfo::location(QLibraryInfo::TranslationsPath);
    if (m_qtTranslator->load(language, QStringLiteral("qtbase"), QStringLiteral("_"), folder)) {
        QCoreApplication::installTranslator(m_qtTranslator);
    } else {
        qWarning().noquote() << "failed to load Qt's Chinese translation from" << folder
                             << "(Debian package qttranslations5-l10n)";
        delete m_qtTranslator;
        m_qtTranslator = nullptr;
    }
}

QTranslator *LanguageInternationalization::translator() const
{
    return m_translator;
}

QTranslator *LanguageInternationalization::qtTranslator() const
{
    return m_qtTranslator;
}

void LanguageInternationalization::removeTranslator()
{
    removeTranslator(m_qtTranslator);
    removeTranslator(m_translator);
}

void LanguageInternationalization::removeTranslator(QTranslator *&translator)
{
    if (!translator)
        return;
    QCoreApplication::removeTranslator(translator);
    delete translator;
    translator = nullptr;
}
