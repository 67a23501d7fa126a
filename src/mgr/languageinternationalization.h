#ifndef LANGUAGEINTERNATIONALIZATION_H
#define LANGUAGEINTERNATIONALIZATION_H

#include "mgr/singletonmgrbase.h"

class QTranslator;

// Installs the compiled Chinese catalogue for the form texts in the student
// build, with Qt's own Chinese texts (standard buttons, file dialogs) beside
// it; the teacher build shows the forms' English source texts. Either way
// the default locale becomes the client's language, so dates and day names
// do not follow the machine's.
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
    // Qt's own catalogue of the client's language; null while none is
    // installed (the teacher's English, or Qt's translations missing).
    QTranslator *qtTranslator() const;

private:
    void removeTranslator();
    void removeTranslator(QTranslator *&translator);

    QTranslator *m_translator = nullptr;
    QTranslator *m_qtTranslator = nullptr;
};

#endif // LANGUAGEINTERNATIONALIZATION_H
