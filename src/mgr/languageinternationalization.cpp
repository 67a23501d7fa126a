#include "languageinternationalization.h"

#include "rolepolicy.h"

#include <QCoreApplication>
#include <QDebug>
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
    if (!RolePolicy::current().chineseInterface)
        return;

    m_translator = new QTranslator(this);
    if (m_translator->load(QStringLiteral(":/languages/change_language_CN.qm"), QString(), QString(), QString()))
        QCoreApplication::installTranslator(m_translator);
    else
        qWarning() << "failed to load the Chinese translation";
}

QTranslator *LanguageInternationalization::translator() const
{
    return m_translator;
}

void LanguageInternationalization::removeTranslator()
{
    if (!m_translator)
        return;
    QCoreApplication::removeTranslator(m_translator);
    delete m_translator;
    m_translator = nullptr;
}
