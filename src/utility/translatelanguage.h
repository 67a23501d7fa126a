#ifndef TRANSLATELANGUAGE_H
#define TRANSLATELANGUAGE_H

#include <QDomDocument>
#include <QObject>

// Looks up user-interface texts that are not form texts (window titles,
// message boxes, prompts) by key in the language document shipped with the
// program. The document is read once, on first use.
class Translatelanguage : public QObject
{
    Q_OBJECT

public:
    enum LanguageType {
        LanguageDefault = 0, // by role: student Chinese, teacher English
        LanguageEnglish = 1,
        LanguageChinese = 2,
    };

    // The one object of the process, created and loaded on first call.
    static Translatelanguage *instance();

    // Loads the installed language document.
    void init();
    // Loads the document at path, replacing the current one; false when it
    // cannot be read or parsed (lookups then give empty texts).
    bool load(const QString &path);

    // Text for key in the language; empty when not found.
    QString getText(const QString &key, LanguageType type = LanguageDefault) const;

private:
    explicit Translatelanguage(QObject *parent = nullptr);

    QDomDocument m_document;
};

#endif // TRANSLATELANGUAGE_H
