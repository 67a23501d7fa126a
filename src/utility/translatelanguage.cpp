#include "translatelanguage.h"

#include "rolepolicy.h"
#include "utility/appdirs.h"
#include "utility/globalconstants.h"

#include <QAtomicPointer>
#include <QDebug>
#include <QFile>
#include <QMutexLocker>

namespace {

QAtomicPointer<Translatelanguage> s_instance;

// Deletes the object at process exit, if it was ever created.
struct InstanceReleaser
{
    ~InstanceReleaser() { delete s_instance.fetchAndStoreOrdered(nullptr); }
};
InstanceReleaser s_releaser;

} // namespace

Translatelanguage::Translatelanguage(QObject *parent)
    : QObject(parent)
{
}

Translatelanguage *Translatelanguage::instance()
{
    Translatelanguage *object = s_instance.loadAcquire();
    if (object)
        return object;

    QMutexLocker locker(&g_translateLanguageMutex);
    object = s_instance.loadAcquire();
    if (!object) {
        object = new Translatelanguage();
        object->init();
        s_instance.storeRelease(object);
    }
    return object;
}

void Translatelanguage::init()
{
    load(getLanguageDocPath());
}

bool Translatelanguage::load(const QString &path)
{
    qInfo().noquote() << "filePath:" << path;
    m_document = QDomDocument();

    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        qWarning().noquote() << QStringLiteral("文件打开失败:") << path;
        return false;
    }

    QString message;
    int line = 0;
    int column = 0;
    QDomDocument document;
    const bool parsed = document.setContent(&file, false, &message, &line, &column);
    file.close();
    if (!parsed) {
        qWarning().nospace().noquote() << "parse file failed at line " << line << ",column " << column << "," << message;
        return false;
    }
    m_document = document;
    return true;
}

QString Translatelanguage::getText(const QString &key, LanguageType type) const
{
    if (m_document.isNull()) {
        qWarning().noquote() << QStringLiteral("xml文件加载失败");
        return QString();
    }

    LanguageType language = type;
    if (language == LanguageDefault)
        language = RolePolicy::current().chineseInterface ? LanguageChinese : LanguageEnglish;
    const QString tag = language == LanguageChinese ? QStringLiteral("cn") : QStringLiteral("en");

    // No index: the document holds a few dozen entries; the last match wins.
    QString result;
    const QDomElement root = m_document.documentElement();
    for (QDomNode node = root.firstChild(); !node.isNull(); node = node.nextSibling()) {
        if (!node.isElement())
            continue;
        const QDomElement entry = node.toElement();
        if (!entry.hasAttribute(QStringLiteral("id")) || entry.attribute(QStringLiteral("id")) != key)
            continue;
        for (QDomNode child = entry.firstChild(); !child.isNull(); child = child.nextSibling()) {
            const QDomElement text = child.toElement();
            if (!text.isNull() && text.tagName() == tag) {
                result = text.text();
                qDebug().noquote() << QStringLiteral("nodeText:%1").arg(result);
            }
        }
    }
    return result;
}
