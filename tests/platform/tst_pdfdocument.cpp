// The PDF layer against real files: the stand-in service's courseware, a
// damaged copy, one whose page tree is gone, a password-protected one, an
// empty and a non-PDF file.
#include "platform/pdf/pdfdocument.h"

#include <QFile>
#include <QImage>
#include <QTemporaryDir>
#include <QTest>

#include <cmath>
#include <limits>
#include <memory>

namespace {

const QString kCourseware = QStringLiteral(LESSONRY_SOURCE_DIR "/tools/lessonservice/fixtures/courseware.pdf");

QString pdfFixture(const char *name)
{
    return QStringLiteral(LESSONRY_TEST_DATA_DIR "/pdf/") + QLatin1String(name);
}

struct InstanceDeleter
{
    void operator()(PdfDocument *instance) const { DestoryPdfInstance(instance); }
};
using Instance = std::unique_ptr<PdfDocument, InstanceDeleter>;

bool openPath(PdfDocument *doc, const QString &path, const char *password = "")
{
    return doc->open(reinterpret_cast<const char16_t *>(path.utf16()), password);
}

// A render record that frees its pixels.
struct Rendered
{
    PdfRenderRecord record;
    ~Rendered() { FreePdfPixels(record.pixels); }
    QImage image() const
    {
        return QImage(record.pixels, record.width, record.height, record.bytesPerLine, QImage::Format_ARGB32);
    }
};

} // namespace

class TestPdfDocument : public QObject
{
    Q_OBJECT

private slots:
    void opensCoursewareWithPagesAndSizes();
    void rendersAtScales_data();
    void rendersAtScales();
    void refusesBadScales_data();
    void refusesBadScales();
    void refusesPagesOutOfRange_data();
    void refusesPagesOutOfRange();
    void refusesFilesItCannotRead_data();
    void refusesFilesItCannotRead();
    void opensLockedFileWithItsPassword();
    void failedOpenLeavesNothingOpen();
    void opensNonAsciiPath();
    void closedDocumentRendersNothing();
    void nullArgumentsAreHarmless();
};

void TestPdfDocument::opensCoursewareWithPagesAndSizes()
{
    Instance doc(GetPdfInstance());
    QVERIFY(doc);
    QCOMPARE(doc->pageCount(), 0);
    QVERIFY(openPath(doc.get(), kCourseware));
    QCOMPARE(QString::fromUtf8(doc->lastError()), QString());
    QCOMPARE(doc->pageCount(), 4);
    for (int page = 0; page < 4; ++page) {
        float size[2] = { -1, -1 };
        doc->pageSize(page, size);
        QCOMPARE(size[0], 595.0f);
        QCOMPARE(size[1], 420.0f);
    }
}

void TestPdfDocument::rendersAtScales_data()
{
    QTest::addColumn<float>("scale");
    QTest::newRow("natural size") << 100.0f;
    QTest::newRow("half") << 50.0f;
    QTest::newRow("double") << 200.0f;
    QTest::newRow("odd zoom") << 37.5f;
    QTest::newRow("tiny") << 1.0f;
}

void TestPdfDocument::rendersAtScales()
{
    QFETCH(float, scale);
    Instance doc(GetPdfInstance());
    QVERIFY(openPath(doc.get(), kCourseware));

    Rendered out;
    QVERIFY2(doc->renderPage(1, &out.record, scale), doc->lastError());
    // Page size and image size are in one unit, scaled by scale / 100.
    QVERIFY(std::abs(out.record.width - 595 * scale / 100) <= 1);
    QVERIFY(std::abs(out.record.height - 420 * scale / 100) <= 1);
    QCOMPARE(out.record.bytesPerLine, out.record.width * 4);
    QVERIFY(out.record.pixels);

    // White paper under a teal title band (red 0x2e, green 0xc4, blue 0xb6
    // in the page): the channels land where ARGB32 expects them.
    const QImage image = out.image();
    QCOMPARE(image.pixel(image.width() - 1, image.height() - 1), 0xFFFFFFFFu);
    if (scale >= 50) {
        const QRgb band = image.pixel(1, 1);
        QVERIFY2(std::abs(qRed(band) - 0x2e) <= 2 && std::abs(qGreen(band) - 0xc4) <= 2
                     && std::abs(qBlue(band) - 0xb6) <= 2,
                 qPrintable(QString::number(band, 16)));
    }
    bool opaque = true;
    bool inked = false;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            const QRgb pixel = image.pixel(x, y);
            opaque = opaque && qAlpha(pixel) == 255;
            inked = inked || (pixel & 0xFFFFFF) != 0xFFFFFF;
        }
    }
    QVERIFY(opaque);
    QVERIFY(inked);
}

void TestPdfDocument::refusesBadScales_data()
{
    QTest::addColumn<float>("scale");
    QTest::newRow("zero") << 0.0f;
    QTest::newRow("negative") << -100.0f;
    QTest::newRow("NaN") << std::numeric_limits<float>::quiet_NaN();
    QTest::newRow("infinite") << std::numeric_limits<float>::infinity();
    QTest::newRow("minus infinite") << -std::numeric_limits<float>::infinity();
    QTest::newRow("too large an image") << 1.0e6f;
    QTest::newRow("largest float") << std::numeric_limits<float>::max();
}

void TestPdfDocument::refusesBadScales()
{
    QFETCH(float, scale);
    Instance doc(GetPdfInstance());
    QVERIFY(openPath(doc.get(), kCourseware));
    Rendered out;
    QVERIFY(!doc->renderPage(0, &out.record, scale));
    QVERIFY(!out.record.pixels);
    QCOMPARE(out.record.width, 0);
    QVERIFY(*doc->lastError());
    // The document is still usable.
    QVERIFY(doc->renderPage(0, &out.record, 10));
}

void TestPdfDocument::refusesPagesOutOfRange_data()
{
    QTest::addColumn<int>("page");
    QTest::newRow("-1") << -1;
    QTest::newRow("page count") << 4;
    QTest::newRow("INT_MAX") << std::numeric_limits<int>::max();
    QTest::newRow("INT_MIN") << std::numeric_limits<int>::min();
}

void TestPdfDocument::refusesPagesOutOfRange()
{
    QFETCH(int, page);
    Instance doc(GetPdfInstance());
    QVERIFY(openPath(doc.get(), kCourseware));
    Rendered out;
    QVERIFY(!doc->renderPage(page, &out.record, 100));
    QVERIFY(!out.record.pixels);
    QVERIFY(QByteArray(doc->lastError()).contains("out of range"));
    float size[2] = { -1, -1 };
    doc->pageSize(page, size);
    QCOMPARE(size[0], 0.0f);
    QCOMPARE(size[1], 0.0f);
}

void TestPdfDocument::refusesFilesItCannotRead_data()
{
    QTest::addColumn<QString>("path");
    QTest::addColumn<QByteArray>("password");
    QTest::addColumn<QByteArray>("reason");
    QTest::newRow("damaged") << pdfFixture("damaged.pdf") << QByteArray() << QByteArray("cannot open");
    QTest::newRow("page tree gone") << pdfFixture("nopages.pdf") << QByteArray() << QByteArray("no pages");
    QTest::newRow("locked, no password") << pdfFixture("locked.pdf") << QByteArray() << QByteArray("password");
    QTest::newRow("locked, wrong password") << pdfFixture("locked.pdf") << QByteArray("guess") << QByteArray("password");
    QTest::newRow("missing") << QStringLiteral("/nonexistent/courseware.pdf") << QByteArray() << QByteArray("cannot open");
    QTest::newRow("empty") << QStringLiteral("empty.pdf") << QByteArray() << QByteArray("cannot open");
    QTest::newRow("not a PDF") << QStringLiteral("text.pdf") << QByteArray() << QByteArray("cannot open");
    QTest::newRow("signature only") << QStringLiteral("signature.pdf") << QByteArray() << QByteArray("cannot open");
}

void TestPdfDocument::refusesFilesItCannotRead()
{
    QFETCH(QString, path);
    QFETCH(QByteArray, password);
    QFETCH(QByteArray, reason);
    QTemporaryDir dir;
    const QHash<QString, QByteArray> made {
        { QStringLiteral("empty.pdf"), QByteArray() },
        { QStringLiteral("text.pdf"), QByteArray("Lesson notes, not a PDF at all.\n") },
        { QStringLiteral("signature.pdf"), QByteArray("%PDF-") },
    };
    if (made.contains(path)) {
        QFile file(dir.filePath(path));
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(made.value(path));
        path = file.fileName();
    }

    Instance doc(GetPdfInstance());
    QVERIFY(!openPath(doc.get(), path, password.constData()));
    QVERIFY2(QByteArray(doc->lastError()).contains(reason), doc->lastError());
    QCOMPARE(doc->pageCount(), 0);
    Rendered out;
    QVERIFY(!doc->renderPage(0, &out.record, 100));
}

void TestPdfDocument::opensLockedFileWithItsPassword()
{
    Instance doc(GetPdfInstance());
    QVERIFY2(openPath(doc.get(), pdfFixture("locked.pdf"), "lesson-user"), doc->lastError());
    QCOMPARE(doc->pageCount(), 4);
    Rendered out;
    QVERIFY(doc->renderPage(3, &out.record, 50));
}

void TestPdfDocument::failedOpenLeavesNothingOpen()
{
    Instance doc(GetPdfInstance());
    QVERIFY(openPath(doc.get(), kCourseware));
    QVERIFY(!openPath(doc.get(), pdfFixture("damaged.pdf")));
    QCOMPARE(doc->pageCount(), 0);
    Rendered out;
    QVERIFY(!doc->renderPage(0, &out.record, 100));
    QVERIFY(openPath(doc.get(), kCourseware));
    QCOMPARE(doc->pageCount(), 4);
}

void TestPdfDocument::opensNonAsciiPath()
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("课件 Übung.pdf"));
    QVERIFY(QFile::copy(kCourseware, path));
    Instance doc(GetPdfInstance());
    QVERIFY2(openPath(doc.get(), path), doc->lastError());
    QCOMPARE(doc->pageCount(), 4);
}

void TestPdfDocument::closedDocumentRendersNothing()
{
    Instance doc(GetPdfInstance());
    QVERIFY(openPath(doc.get(), kCourseware));
    doc->close();
    doc->close();
    QCOMPARE(doc->pageCount(), 0);
    Rendered out;
    QVERIFY(!doc->renderPage(0, &out.record, 100));
    float size[2] = { -1, -1 };
    doc->pageSize(0, size);
    QCOMPARE(size[0], 0.0f);
}

void TestPdfDocument::nullArgumentsAreHarmless()
{
    Instance doc(GetPdfInstance());
    QVERIFY(!doc->open(nullptr, nullptr));
    QVERIFY(openPath(doc.get(), kCourseware, nullptr));
    QVERIFY(!doc->renderPage(0, nullptr, 100));
    doc->pageSize(0, nullptr);
    FreePdfPixels(nullptr);
    DestoryPdfInstance(nullptr);
}

QTEST_GUILESS_MAIN(TestPdfDocument)
#include "tst_pdfdocument.moc"
