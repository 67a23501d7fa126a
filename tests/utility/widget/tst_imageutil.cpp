#include "utility/widget/imageutil.h"

#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QLabel>
#include <QPainter>
#include <QTemporaryDir>
#include <QRegularExpression>
#include <QTest>

namespace {

const QColor kBorder(255, 0, 0);
const QColor kInside(0, 160, 0);
// 254 characters: a valid file name, too long once the size is appended.
const QString kLongName = QString(250, QLatin1Char('a')) + QStringLiteral(".png");

// A green picture with a red frame a tenth of its size thick: after a crop
// the frame shows which sides were kept and which were cut.
QPixmap framedPicture(int width, int height)
{
    QImage image(width, height, QImage::Format_RGB32);
    image.fill(kBorder);
    const int thickness = qMax(1, qMax(width, height) / 10);
    QPainter painter(&image);
    painter.fillRect(QRect(thickness, thickness, width - 2 * thickness, height - 2 * thickness), kInside);
    painter.end();
    return QPixmap::fromImage(image);
}

bool isBorder(const QImage &image, int x, int y)
{
    return QColor(image.pixel(x, y)) == kBorder;
}

} // namespace

class TestImageUtil : public QObject
{
    Q_OBJECT

private slots:
    void init();

    void centerCrop_data();
    void centerCrop();
    void centerCropCutsScaledPictureAtItsMiddle();
    void centerCropRefusesEmptySize_data();
    void centerCropRefusesEmptySize();
    void croppedImageFilePath();
    void setBackgroundImage_data();
    void setBackgroundImage();
    void setBackgroundImageUsesCachedCrop();
    void setBackgroundImageFailures_data();
    void setBackgroundImageFailures();

private:
    QString writePicture(const QString &name, int width, int height);

    QScopedPointer<QTemporaryDir> m_dir;
};

void TestImageUtil::init()
{
    m_dir.reset(new QTemporaryDir);
    QVERIFY(m_dir->isValid());
}

QString TestImageUtil::writePicture(const QString &name, int width, int height)
{
    const QString path = m_dir->filePath(name);
    if (!framedPicture(width, height).save(path, "PNG"))
        return QString();
    return path;
}

void TestImageUtil::centerCrop_data()
{
    QTest::addColumn<QSize>("source");
    QTest::addColumn<QSize>("target");
    // Which sides of the picture survive the crop.
    QTest::addColumn<bool>("keepsLeftRight");
    QTest::addColumn<bool>("keepsTopBottom");
    QTest::addColumn<bool>("checkFrame");

    QTest::newRow("landscape on square") << QSize(400, 300) << QSize(100, 100) << false << true << true;
    QTest::newRow("portrait on square") << QSize(300, 400) << QSize(100, 100) << true << false << true;
    QTest::newRow("landscape on wider landscape") << QSize(400, 300) << QSize(200, 50) << true << false << true;
    QTest::newRow("portrait on taller portrait") << QSize(300, 400) << QSize(50, 200) << false << true << true;
    QTest::newRow("portrait on landscape") << QSize(300, 400) << QSize(100, 50) << true << false << true;
    QTest::newRow("square on square") << QSize(200, 200) << QSize(100, 100) << true << true << true;
    QTest::newRow("same aspect, enlarged") << QSize(40, 30) << QSize(400, 300) << true << true << true;
    QTest::newRow("small picture on large widget") << QSize(50, 20) << QSize(300, 300) << false << true << true;
    // Too thin for a frame; only the size is checked.
    QTest::newRow("one pixel wide") << QSize(1, 1000) << QSize(10, 10) << true << false << false;
    QTest::newRow("one pixel high") << QSize(1000, 1) << QSize(30, 20) << false << true << false;
}

void TestImageUtil::centerCrop()
{
    QFETCH(QSize, source);
    QFETCH(QSize, target);
    QFETCH(bool, keepsLeftRight);
    QFETCH(bool, keepsTopBottom);
    QFETCH(bool, checkFrame);

    const QPixmap cropped = ImageUtil::centerCrop(framedPicture(source.width(), source.height()),
                                                  target.width(), target.height());
    QCOMPARE(cropped.size(), target);
    if (!checkFrame)
        return;

    const QImage image = cropped.toImage();
    const int midX = target.width() / 2;
    const int midY = target.height() / 2;
    const int right = target.width() - 1;
    const int bottom = target.height() - 1;
    // Cut around the centre: both ends of an axis look alike.
    QCOMPARE(isBorder(image, 0, midY), keepsLeftRight);
    QCOMPARE(isBorder(image, right, midY), keepsLeftRight);
    QCOMPARE(isBorder(image, midX, 0), keepsTopBottom);
    QCOMPARE(isBorder(image, midX, bottom), keepsTopBottom);
    QVERIFY(!isBorder(image, midX, midY));
}

void TestImageUtil::centerCropCutsScaledPictureAtItsMiddle()
{
    // 400 x 300 on 100 x 100: scaled to 133 x 100, the square from x 16.
    QImage source(400, 300, QImage::Format_RGB32);
    for (int x = 0; x < source.width(); ++x) {
        for (int y = 0; y < source.height(); ++y)
            source.setPixel(x, y, qRgb(x % 256, y % 256, (x * 7 + y * 3) % 256));
    }
    const QPixmap picture = QPixmap::fromImage(source);
    const QPixmap scaled = picture.scaled(100, 100, Qt::KeepAspectRatioByExpanding, Qt::FastTransformation);
    QCOMPARE(scaled.size(), QSize(133, 100));
    QCOMPARE(ImageUtil::centerCrop(picture, 100, 100).toImage(), scaled.copy(16, 0, 100, 100).toImage());
}

void TestImageUtil::centerCropRefusesEmptySize_data()
{
    QTest::addColumn<int>("width");
    QTest::addColumn<int>("height");
    QTest::newRow("zero width") << 0 << 100;
    QTest::newRow("zero height") << 100 << 0;
    QTest::newRow("negative") << -5 << 100;
}

void TestImageUtil::centerCropRefusesEmptySize()
{
    QFETCH(int, width);
    QFETCH(int, height);
    QTest::ignoreMessage(QtCriticalMsg, QRegularExpression(QStringLiteral("^centerCrop refused")));
    QVERIFY(ImageUtil::centerCrop(framedPicture(40, 30), width, height).isNull());
}

void TestImageUtil::croppedImageFilePath()
{
    QCOMPARE(ImageUtil::croppedImageFilePath(QStringLiteral("/data/a.png"), 120, 90),
             QStringLiteral("/data/a.png.120_90"));
}

void TestImageUtil::setBackgroundImage_data()
{
    QTest::addColumn<bool>("asBackgroundImage");
    QTest::addColumn<QString>("property");
    QTest::newRow("background image") << true << "background-image";
    QTest::newRow("border image") << false << "border-image";
}

void TestImageUtil::setBackgroundImage()
{
    QFETCH(bool, asBackgroundImage);
    QFETCH(QString, property);

    const QString path = writePicture(QStringLiteral("a.png"), 400, 300);
    QVERIFY(!path.isEmpty());
    QLabel label;
    label.resize(100, 100);
    label.setStyleSheet(QStringLiteral("QLabel\n{\nborder-radius:8px;\n}\n"));

    QTest::ignoreMessage(QtInfoMsg, "file not exits");
    QVERIFY(ImageUtil::setBackgroundImage(&label, QStringLiteral("QLabel"), path, asBackgroundImage));

    const QString cached = path + QStringLiteral(".100_100");
    QCOMPARE(QImage(cached).size(), QSize(100, 100));
    QCOMPARE(label.styleSheet(),
             QStringLiteral("QLabel\n{\nborder-radius:8px;\n%1:url(%2);\n}\n").arg(property, cached));
}

void TestImageUtil::setBackgroundImageUsesCachedCrop()
{
    const QString path = writePicture(QStringLiteral("b.png"), 400, 300);
    QLabel label;
    label.resize(100, 100);
    QVERIFY(ImageUtil::setBackgroundImage(&label, QStringLiteral("QLabel"), path, false));

    // Mark the cached file: a second call for the same size must keep it.
    const QString cached = path + QStringLiteral(".100_100");
    QImage marker(100, 100, QImage::Format_RGB32);
    marker.fill(Qt::blue);
    QVERIFY(marker.save(cached, "PNG"));

    QTest::ignoreMessage(QtInfoMsg, "file exists");
    QVERIFY(ImageUtil::setBackgroundImage(&label, QStringLiteral("QLabel"), path, false));
    QCOMPARE(QColor(QImage(cached).pixel(50, 50)), QColor(Qt::blue));

    // A new size is a new cache file.
    label.resize(120, 80);
    QTest::ignoreMessage(QtInfoMsg, "file not exits");
    QVERIFY(ImageUtil::setBackgroundImage(&label, QStringLiteral("QLabel"), path, false));
    QCOMPARE(QImage(path + QStringLiteral(".120_80")).size(), QSize(120, 80));
    QVERIFY(label.styleSheet().contains(path + QStringLiteral(".120_80")));
}

void TestImageUtil::setBackgroundImageFailures_data()
{
    QTest::addColumn<bool>("nullWidget");
    QTest::addColumn<QString>("section");
    QTest::addColumn<QString>("file");
    QTest::addColumn<QSize>("widgetSize");
    QTest::addColumn<QString>("error");

    QTest::newRow("null widget") << true << "QLabel" << "good.png" << QSize(100, 100) << "label is null";
    QTest::newRow("empty section") << false << "" << "good.png" << QSize(100, 100) << "styleSheetSectionName is empty";
    QTest::newRow("missing file") << false << "QLabel" << "missing.png" << QSize(100, 100) << "load imageFilePath:.* failed";
    QTest::newRow("not a picture") << false << "QLabel" << "garbage.png" << QSize(100, 100) << "load imageFilePath:.* failed";
    QTest::newRow("widget without size") << false << "QLabel" << "good.png" << QSize(0, 0) << "centerCrop refused.*";
    // The picture loads, but its cache name is longer than a file name may
    // be: the open fails, or (with an unnamed temporary file) the commit.
    QTest::newRow("cache file cannot be written") << false << "QLabel" << kLongName << QSize(100, 100)
                                                  << "(file open|save filePath) failed";
}

void TestImageUtil::setBackgroundImageFailures()
{
    QFETCH(bool, nullWidget);
    QFETCH(QString, section);
    QFETCH(QString, file);
    QFETCH(QSize, widgetSize);
    QFETCH(QString, error);

    QVERIFY(!writePicture(QStringLiteral("good.png"), 40, 30).isEmpty());
    QVERIFY(!writePicture(kLongName, 40, 30).isEmpty());
    QFile garbage(m_dir->filePath(QStringLiteral("garbage.png")));
    QVERIFY(garbage.open(QIODevice::WriteOnly));
    garbage.write("not a picture at all");
    garbage.close();

    const QString sheet = QStringLiteral("QLabel\n{\ncolor:red;\n}\n");
    QLabel label;
    label.setStyleSheet(sheet);
    label.resize(widgetSize);

    QTest::ignoreMessage(QtCriticalMsg, QRegularExpression(QLatin1Char('^') + error + QLatin1Char('$')));
    QVERIFY(!ImageUtil::setBackgroundImage(nullWidget ? nullptr : &label, section, m_dir->filePath(file), true));
    QCOMPARE(label.styleSheet(), sheet);
    // Nothing half-made is left for later calls to take as the cache.
    QCOMPARE(QDir(m_dir->path()).entryList(QStringList() << QStringLiteral("*_*")), QStringList());
}

QTEST_MAIN(TestImageUtil)
#include "tst_imageutil.moc"
