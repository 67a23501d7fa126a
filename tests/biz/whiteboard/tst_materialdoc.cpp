// The courseware document over the PDF layer, with real files.
#include "biz/whiteboard/materialdoc.h"

#include <QFile>
#include <QImage>
#include <QTemporaryDir>
#include <QTest>

#include <cmath>
#include <limits>

namespace {

const QString kCourseware = QStringLiteral(LESSONRY_SOURCE_DIR "/tools/lessonservice/fixtures/courseware.pdf");

QString pdfFixture(const char *name)
{
    return QStringLiteral(LESSONRY_TEST_DATA_DIR "/pdf/") + QLatin1String(name);
}

QString writeFile(const QTemporaryDir &dir, const QString &name, const QByteArray &content)
{
    QFile file(dir.filePath(name));
    if (!file.open(QIODevice::WriteOnly))
        return QString();
    file.write(content);
    return file.fileName();
}

} // namespace

class TestMaterialDoc : public QObject
{
    Q_OBJECT

private slots:
    void recognisesThePdfSignature_data();
    void recognisesThePdfSignature();
    void logsTheSignatureTestWithItsSpacing();
    void opensAndRendersCourseware();
    void refusesWhatIsNotAReadablePdf_data();
    void refusesWhatIsNotAReadablePdf();
    void openingAnotherFileClosesTheFirst();
    void leavesTheImageAloneOnFailure_data();
    void leavesTheImageAloneOnFailure();
    void pageImageOutlivesRenderCloseAndDocument();
    void pageSizeOfMissingPageIsZero();
};

void TestMaterialDoc::recognisesThePdfSignature_data()
{
    QTest::addColumn<QByteArray>("content");
    QTest::addColumn<bool>("pdf");
    QTest::newRow("exactly the signature") << QByteArray("%PDF-") << true;
    QTest::newRow("four bytes of it") << QByteArray("%PDF") << false;
    QTest::newRow("empty") << QByteArray() << false;
    QTest::newRow("a PNG") << QByteArray("\x89PNG\r\n\x1a\n\0\0", 10) << false;
    QTest::newRow("lower case") << QByteArray("%pdf-1.4\n") << false;
    QTest::newRow("leading blank") << QByteArray(" %PDF-1.4\n") << false;
    QTest::newRow("version header") << QByteArray("%PDF-1.7\n%\xe2\xe3\xcf\xd3\n") << true;
}

void TestMaterialDoc::recognisesThePdfSignature()
{
    QFETCH(QByteArray, content);
    QFETCH(bool, pdf);
    QTemporaryDir dir;
    QCOMPARE(MaterialDoc::isPdfFormat(writeFile(dir, QStringLiteral("file"), content)), pdf);
}

void TestMaterialDoc::logsTheSignatureTestWithItsSpacing()
{
    QTemporaryDir dir;
    const QString pdf = writeFile(dir, QStringLiteral("a.pdf"), "%PDF-1.4\n");
    const QString text = writeFile(dir, QStringLiteral("b.pdf"), "hello");
    QTest::ignoreMessage(QtInfoMsg, qPrintable(QStringLiteral("The file of  %1 is PDF.").arg(pdf)));
    QVERIFY(MaterialDoc::isPdfFormat(pdf));
    QTest::ignoreMessage(QtCriticalMsg, qPrintable(QStringLiteral("The file of %1 is not PDF.").arg(text)));
    QVERIFY(!MaterialDoc::isPdfFormat(text));
    // A file that cannot be opened is refused without a log line.
    static int lines = 0;
    lines = 0;
    const QtMessageHandler previous = qInstallMessageHandler([](QtMsgType, const QMessageLogContext &, const QString &) {
        ++lines;
    });
    const bool missing = MaterialDoc::isPdfFormat(dir.filePath(QStringLiteral("missing.pdf")));
    qInstallMessageHandler(previous);
    QVERIFY(!missing);
    QCOMPARE(lines, 0);
}

void TestMaterialDoc::opensAndRendersCourseware()
{
    MaterialDoc doc;
    QVERIFY(!doc.isOpen());
    QVERIFY(doc.openFile(kCourseware, QString()));
    QVERIFY(doc.isOpen());
    QCOMPARE(doc.getPageCount(), 4);

    float width = 0;
    float height = 0;
    doc.getPageSize(2, width, height);
    QCOMPARE(width, 595.0f);
    QCOMPARE(height, 420.0f);

    QImage image;
    QVERIFY(doc.getPageImage(2, 150, image));
    QCOMPARE(image.format(), QImage::Format_ARGB32);
    QVERIFY(std::abs(image.width() - 595 * 1.5) <= 1);
    QVERIFY(std::abs(image.height() - 420 * 1.5) <= 1);
    QCOMPARE(image.pixel(image.width() - 1, image.height() - 1), 0xFFFFFFFFu);

    doc.close();
    QVERIFY(!doc.isOpen());
    QCOMPARE(doc.getPageCount(), 0);
}

void TestMaterialDoc::refusesWhatIsNotAReadablePdf_data()
{
    QTest::addColumn<QString>("path");
    QTest::addColumn<QString>("log");
    QTest::newRow("empty name") << QString() << QStringLiteral("the variable of fileName is empty.");
    QTest::newRow("missing") << QStringLiteral("/nonexistent/c.pdf")
                             << QStringLiteral("the file of \"/nonexistent/c.pdf\" is not PDF format.");
    QTest::newRow("damaged") << pdfFixture("damaged.pdf") << QString();
    QTest::newRow("page tree gone") << pdfFixture("nopages.pdf") << QString();
    QTest::newRow("locked") << pdfFixture("locked.pdf") << QString();
}

void TestMaterialDoc::refusesWhatIsNotAReadablePdf()
{
    QFETCH(QString, path);
    QFETCH(QString, log);
    if (!log.isEmpty())
        QTest::ignoreMessage(QtWarningMsg, qPrintable(log));
    MaterialDoc doc;
    QVERIFY(!doc.openFile(path, QString()));
    QVERIFY(!doc.isOpen());
    QCOMPARE(doc.getPageCount(), 0);
    QImage image;
    QVERIFY(!doc.getPageImage(0, 100, image));
    QVERIFY(image.isNull());
}

void TestMaterialDoc::openingAnotherFileClosesTheFirst()
{
    MaterialDoc doc;
    QVERIFY(doc.openFile(kCourseware, QString()));
    QVERIFY(!doc.openFile(pdfFixture("locked.pdf"), QString()));
    QVERIFY(!doc.isOpen());
    QCOMPARE(doc.getPageCount(), 0);
    QVERIFY(doc.openFile(pdfFixture("locked.pdf"), QStringLiteral("lesson-user")));
    QCOMPARE(doc.getPageCount(), 4);
    // A non-PDF is refused before the open file is touched.
    QTemporaryDir dir;
    QVERIFY(!doc.openFile(writeFile(dir, QStringLiteral("x.pdf"), "text"), QString()));
    QVERIFY(doc.isOpen());
}

void TestMaterialDoc::leavesTheImageAloneOnFailure_data()
{
    QTest::addColumn<int>("page");
    QTest::addColumn<float>("scale");
    QTest::newRow("page -1") << -1 << 100.0f;
    QTest::newRow("page count") << 4 << 100.0f;
    QTest::newRow("zero scale") << 0 << 0.0f;
    QTest::newRow("negative scale") << 0 << -50.0f;
    QTest::newRow("NaN scale") << 0 << std::numeric_limits<float>::quiet_NaN();
    QTest::newRow("infinite scale") << 0 << std::numeric_limits<float>::infinity();
}

void TestMaterialDoc::leavesTheImageAloneOnFailure()
{
    QFETCH(int, page);
    QFETCH(float, scale);
    MaterialDoc doc;
    QVERIFY(doc.openFile(kCourseware, QString()));
    QImage image(3, 2, QImage::Format_RGB32);
    image.fill(Qt::red);
    const QImage before = image.copy();
    QVERIFY(!doc.getPageImage(page, scale, image));
    QCOMPARE(image, before);
}

void TestMaterialDoc::pageImageOutlivesRenderCloseAndDocument()
{
    QImage kept;
    QImage reference;
    {
        MaterialDoc doc;
        QVERIFY(doc.openFile(kCourseware, QString()));
        QVERIFY(doc.getPageImage(0, 100, kept));
        reference = kept.copy();
        QImage next;
        QVERIFY(doc.getPageImage(1, 100, next));
        QVERIFY(next != reference);
        doc.close();
        QVERIFY(doc.openFile(kCourseware, QString()));
    }
    // The pixels belong to the image, not to the document.
    QCOMPARE(kept, reference);
}

void TestMaterialDoc::pageSizeOfMissingPageIsZero()
{
    MaterialDoc doc;
    float width = -1;
    float height = -1;
    doc.getPageSize(0, width, height);
    QCOMPARE(width, 0.0f);
    QCOMPARE(height, 0.0f);
    QVERIFY(doc.openFile(kCourseware, QString()));
    doc.getPageSize(9, width, height);
    QCOMPARE(width, 0.0f);
    QCOMPARE(height, 0.0f);
}

QTEST_GUILESS_MAIN(TestMaterialDoc)
#include "tst_materialdoc.moc"
