#include "utility/hashutility.h"

#include <QCryptographicHash>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

class TestHashUtility : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();

    void stringToMd5_data();
    void stringToMd5();
    void fileToMd5_data();
    void fileToMd5();
    void fileLargerThanOneRead();
    void missingFileGivesEmpty();
    void folderDoesNotOpen();

private:
    QString writeFile(const QString &name, const QByteArray &data);

    QTemporaryDir m_dir;
};

void TestHashUtility::initTestCase()
{
    QVERIFY(m_dir.isValid());
}

QString TestHashUtility::writeFile(const QString &name, const QByteArray &data)
{
    QFile file(m_dir.filePath(name));
    if (!file.open(QIODevice::WriteOnly) || file.write(data) != data.size())
        return QString();
    return file.fileName();
}

// The test suite of RFC 1321, appendix A.5.
void TestHashUtility::stringToMd5_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("digest");

    QTest::newRow("empty") << "" << "d41d8cd98f00b204e9800998ecf8427e";
    QTest::newRow("a") << "a" << "0cc175b9c0f1b6a831c399e269772661";
    QTest::newRow("abc") << "abc" << "900150983cd24fb0d6963f7d28e17f72";
    QTest::newRow("message digest") << "message digest" << "f96b697d7cb7938d525a2f31aaf161d0";
    QTest::newRow("alphabet") << "abcdefghijklmnopqrstuvwxyz" << "c3fcd3d76192e4007dfb496cca67e13b";
    QTest::newRow("alphanumeric")
        << "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789"
        << "d174ab98d277d9f5a5611c2c9f419d9f";
    QTest::newRow("digits")
        << "12345678901234567890123456789012345678901234567890123456789012345678901234567890"
        << "57edf4a22be3c955ac49da2e2107b67a";
}

void TestHashUtility::stringToMd5()
{
    QFETCH(QString, text);
    QFETCH(QString, digest);
    QCOMPARE(HashUtility::stringToMd5(text), digest);
}

void TestHashUtility::fileToMd5_data()
{
    stringToMd5_data();
}

void TestHashUtility::fileToMd5()
{
    QFETCH(QString, text);
    QFETCH(QString, digest);
    const QString path = writeFile(QStringLiteral("rfc.txt"), text.toLatin1());
    QVERIFY(!path.isEmpty());
    QCOMPARE(HashUtility::fileToMd5(path), digest);
}

void TestHashUtility::fileLargerThanOneRead()
{
    // Several megabytes with a varying pattern: a partial read or a read
    // that restarts would change the digest.
    QByteArray data;
    for (int i = 0; i < 3 * 1024 * 1024 + 17; ++i)
        data.append(char(i * 31 + (i >> 11)));
    const QString path = writeFile(QStringLiteral("large.bin"), data);
    QVERIFY(!path.isEmpty());
    QCOMPARE(HashUtility::fileToMd5(path),
             QString::fromLatin1(QCryptographicHash::hash(data, QCryptographicHash::Md5).toHex()));
}

void TestHashUtility::missingFileGivesEmpty()
{
    const QString path = m_dir.filePath(QStringLiteral("nothing-here.exe"));
    QTest::ignoreMessage(QtCriticalMsg, qPrintable(QStringLiteral("no such filepath:") + path));
    QVERIFY(HashUtility::fileToMd5(path).isEmpty());
}

void TestHashUtility::folderDoesNotOpen()
{
    QTest::ignoreMessage(QtCriticalMsg, "f.open failed");
    QVERIFY(HashUtility::fileToMd5(m_dir.path()).isEmpty());
}

QTEST_GUILESS_MAIN(TestHashUtility)
#include "tst_hashutility.moc"
