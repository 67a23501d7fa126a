#ifndef LANGUAGEINTERNATIONALIZATION_H
#define LANGUAGEINTERNATIONALIZATION_H

#include "mgr/singletonmgrbase.h"

class QTranslator;

// Installs the compiled Chinese catalogue for the form texts in the student
// build; the teacher build shows the forms' English source texts.
class LanguageInternationalization : public SingletonMgrBase
{
    Q_OBJECT

public:
    explicit LanguageInternationalization(QObject *parent = nullptr);
    ~LanguageInternationalization() override;

    // Replaces any translator installed by an earlier call.
    void init() override;

    // The installed translator; null while none is installed.
    QTranslator *translator() const;

private:
    void removeTranslator();

    QTranslator *m_translator = nullptr;
};

#endif // LANGUAGEINTERNATIONALIZATION_H
