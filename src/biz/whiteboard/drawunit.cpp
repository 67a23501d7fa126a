#include "biz/whiteboard/drawunit.h"

#include <QDebug>
#include <QFontMetrics>
#include <QLineF>
#include <QPainter>
#include <QPen>

#include <climits>
#include <cmath>

namespace {

const int kFractionScale = 10000;

// The fraction rules truncate toward zero; values come from peers and
// from far off the page, so NaN and out-of-range values are pinned first.
int truncToInt(double value)
{
    if (std::isnan(value))
        return 0;
    if (value >= double(INT_MAX))
        return INT_MAX;
    if (value <= double(INT_MIN))
        return INT_MIN;
    return int(value);
}

int clampPointSize(double size)
{
    if (!std::isfinite(size))
        return 0;
    return int(qBound(0.0, size, double(TextUnit::maxPointSize)));
}

} // namespace

DrawLayer::DrawLayer(const QColor &color, QString ownerUid)
    : color(color)
    , ownerUid(std::move(ownerUid))
{
}

DrawLayer::~DrawLayer() = default;

bool DrawLayer::isEmptyPage(int pageWidth, int pageHeight)
{
    return pageWidth <= 0 || pageHeight <= 0;
}

QPoint DrawLayer::toPageFraction(int x, int y, int pageWidth, int pageHeight)
{
    if (isEmptyPage(pageWidth, pageHeight) || x > pageWidth || y > pageHeight)
        return QPoint(x, y);
    return QPoint(truncToInt(double(x) / pageWidth * kFractionScale),
                  truncToInt(double(y) / pageHeight * kFractionScale));
}

QPointF DrawLayer::fromPageFraction(const QPoint &stored, int originX, int originY, int pageWidth, int pageHeight)
{
    double x = stored.x();
    double y = stored.y();
    if (stored.x() <= kFractionScale && stored.y() <= kFractionScale) {
        x = std::trunc(x / kFractionScale * pageWidth);
        y = std::trunc(pageHeight * (y / kFractionScale));
    }
    return QPointF(x + originX, y + originY);
}

double DrawLayer::colorToWire(const QColor &color)
{
    const quint32 value = quint32(color.alpha()) << 24 | quint32(color.blue()) << 16
        | quint32(color.green()) << 8 | quint32(color.red());
    return double(value);
}

QColor DrawLayer::colorFromWire(double value)
{
    quint32 packed = 0;
    if (value >= 0 && value <= 4294967295.0)
        packed = quint32(value);
    if (packed == 0)
        packed = 0xFFFF0000u;
    return QColor(int(packed & 0xFF), int(packed >> 8 & 0xFF), int(packed >> 16 & 0xFF), int(packed >> 24));
}

DrawUnit::DrawUnit(int penWidth, const QColor &color, QString ownerUid)
    : DrawLayer(color, std::move(ownerUid))
    , penWidth(penWidth)
{
}

void DrawUnit::begin(int x, int y, int pageWidth, int pageHeight)
{
    points.clear();
    pathLength = 0;
    addPoint(x, y, pageWidth, pageHeight);
}

void DrawUnit::end(int x, int y, int pageWidth, int pageHeight)
{
    addPoint(x, y, pageWidth, pageHeight);
}

bool DrawUnit::isValid()
{
    return !points.isEmpty();
}

void DrawUnit::appendPoint(const QPoint &point)
{
    storePoint(point);
}

void DrawUnit::storePoint(const QPoint &point)
{
    if (!points.isEmpty())
        pathLength += qAbs(qint64(point.x()) - points.last().x()) + qAbs(qint64(point.y()) - points.last().y());
    points.append(point);
}

int DrawUnit::paintWeight() const
{
    // Measured on the raster engine: a segment across the whole page costs
    // about as much as twenty short ones, a pen of 100 pixels about three
    // times a thin one.
    const qint64 weight = (points.size() + pathLength / 500) * (50 + qBound(0, penWidth, 1000)) / 50;
    return int(qMin<qint64>(weight, INT_MAX));
}

DrawCurveUnit::DrawCurveUnit(int penWidth, const QColor &color, QString ownerUid)
    : DrawUnit(penWidth, color, std::move(ownerUid))
{
}

void DrawCurveUnit::addPoint(int x, int y, int pageWidth, int pageHeight)
{
    // Without a page there are no fractions to store: the point is dropped,
    // so a stroke begun on an empty page stays invalid.
    if (isEmptyPage(pageWidth, pageHeight)) {
        qWarning("point (%d, %d) on an empty page %dx%d ignored", x, y, pageWidth, pageHeight);
        return;
    }
    storePoint(toPageFraction(x, y, pageWidth, pageHeight));
}

bool DrawCurveUnit::isValid()
{
    return points.size() >= 2;
}

void DrawCurveUnit::paint(QPaintDevice *device, int originX, int originY, int pageWidth, int pageHeight)
{
    if (points.size() < 2 || !device || isEmptyPage(pageWidth, pageHeight))
        return;
    QPainter painter(device);
    painter.setPen(QPen(QBrush(color), penWidth, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    QPointF previous = fromPageFraction(points.at(0), originX, originY, pageWidth, pageHeight);
    for (int i = 1; i < points.size(); ++i) {
        const QPointF current = fromPageFraction(points.at(i), originX, originY, pageWidth, pageHeight);
        // The raster engine draws nothing for a line of no length; a point
        // gives the round dot of the pen width.
        if (current == previous)
            painter.drawPoint(current);
        else
            painter.drawLine(QLineF(previous, current));
        previous = current;
    }
}

TextUnit::TextUnit(const QColor &color, QString ownerUid, const QString &fontFamily)
    : DrawLayer(color, std::move(ownerUid))
    , fontFamily(fontFamily)
{
}

int TextUnit::paintWeight() const
{
    // A character of a large font costs about two short segments.
    return 1 + 2 * int(text.size());
}

void TextUnit::setRect(const QRect &rect, int pageWidth, int pageHeight)
{
    if (isEmptyPage(pageWidth, pageHeight)) {
        qWarning("text box on an empty page %dx%d ignored", pageWidth, pageHeight);
        return;
    }
    const auto store = [pageWidth, pageHeight](const QPoint &corner) {
        return toPageFraction(qBound(0, corner.x(), pageWidth), qBound(0, corner.y(), pageHeight), pageWidth,
                              pageHeight);
    };
    this->rect = QRect(store(rect.topLeft()), store(rect.bottomRight()));
}

void TextUnit::setRect(const QRect &rect)
{
    this->rect = rect;
}

void TextUnit::setFontSize(int pixelSize, int pageHeight)
{
    if (pageHeight <= 0) {
        qWarning("font size on an empty page ignored");
        return;
    }
    setFontSize(truncToInt(double(pixelSize) / pageHeight * kFractionScale));
}

void TextUnit::setFontSize(int fraction)
{
    fontSize = qBound(0, fraction, kFractionScale);
}

QFont TextUnit::makeFont(const QString &family, int pointSize, int weight, int style)
{
    static const bool substituted = [] {
        const QStringList fallback { QStringLiteral("WenQuanYi Micro Hei") };
        QFont::insertSubstitutions(QStringLiteral("微软雅黑"), fallback);
        QFont::insertSubstitutions(QStringLiteral("Microsoft YaHei"), fallback);
        return true;
    }();
    Q_UNUSED(substituted)

    QFont font(family);
    // QFont refuses (with a warning) sizes of 0 or less and keeps its own.
    if (pointSize > 0)
        font.setPointSize(qMin(pointSize, maxPointSize));
    font.setWeight(qBound(0, weight, 99));
    font.setStyle(style == QFont::StyleItalic || style == QFont::StyleOblique ? QFont::Style(style)
                                                                               : QFont::StyleNormal);
    return font;
}

void TextUnit::paint(QPaintDevice *device, int originX, int originY, int pageWidth, int pageHeight)
{
    if (!device || isEmptyPage(pageWidth, pageHeight))
        return;
    const QPointF topLeft = fromPageFraction(rect.topLeft(), originX, originY, pageWidth, pageHeight);
    const QPointF bottomRight = fromPageFraction(rect.bottomRight(), originX, originY, pageWidth, pageHeight);
    const double left = topLeft.x();
    const double top = topLeft.y();
    const QStringList lines = text.split(QLatin1Char('\n'), Qt::KeepEmptyParts, Qt::CaseSensitive);

    const int basePointSize = clampPointSize(std::trunc(double(pageHeight) * fontSize / kFractionScale));
    QFont font = makeFont(fontFamily, basePointSize, fontWeight, fontStyle);

    // Scale the text so that its lines fill the box height, whatever the
    // fonts of this machine.
    const int lineSpacing = QFontMetrics(font, device).lineSpacing();
    const double boxHeight = bottomRight.y() - top + 1;
    int pointSize = 0;
    if (lineSpacing > 0) {
        const float ratio = float(boxHeight) / float(lines.size() * lineSpacing);
        pointSize = clampPointSize(std::trunc(float(basePointSize) * ratio));
    }
    qInfo().noquote() << QStringLiteral("AbsoluteRect:([x]%1, [y]%2, [w]%3, [h]%4) fontSize:%5")
                             .arg(left).arg(top).arg(bottomRight.x() - left + 1).arg(boxHeight).arg(pointSize);
    if (pointSize > 0)
        font.setPointSize(pointSize);

    const QFontMetrics metrics(font, device);
    QPainter painter(device);
    painter.setPen(color);
    painter.setFont(font);
    for (int i = 0; i < lines.size(); ++i)
        painter.drawText(QPointF(left, top + metrics.ascent() + i * metrics.lineSpacing()), lines.at(i));
}
