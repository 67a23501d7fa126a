#ifndef DRAWUNIT_H
#define DRAWUNIT_H

#include <QColor>
#include <QFont>
#include <QPoint>
#include <QRect>
#include <QString>
#include <QVector>

class QPaintDevice;

// What participants put on a page of the board. Geometry is kept in page
// fractions: a position inside the page image is stored as its share of the
// image width and height times 10000, so a unit paints on the same spot of
// the page at any zoom and on any peer. A position beyond the right or
// bottom edge is kept in pixels (the stroke may leave the page).
//
// Painting needs the size of the shown page image; with an empty page
// nothing is stored and nothing is painted.
class DrawLayer
{
public:
    DrawLayer(const QColor &color, QString ownerUid);
    virtual ~DrawLayer();

    DrawLayer &operator=(const DrawLayer &) = delete;

    // A copy of the unit, painted by the board's render thread while the
    // board goes on changing its own units.
    virtual DrawLayer *clone() const = 0;

    // Paints the unit with a painter of its own on device (the board or an
    // image) for the page image shown at (originX, originY) in the given size.
    virtual void paint(QPaintDevice *device, int originX, int originY, int pageWidth, int pageHeight) = 0;

    // About what painting the unit costs, in the time of a short stroke
    // segment of a thin pen: the board paints on its own thread what would
    // hold the GUI thread too long.
    virtual int paintWeight() const = 0;

    QColor getColor() const { return color; }
    QString getOwnerUid() const { return ownerUid; }
    QRect getRect() const { return rect; }

    // The storing rule: a pixel position of the page image becomes page
    // fractions when it lies at or before the right and bottom edges, and
    // stays in pixels otherwise. The page must not be empty.
    static QPoint toPageFraction(int x, int y, int pageWidth, int pageHeight);
    // The reading rule: a stored pair with both values at most 10000 is read
    // as fractions, any other as pixels; the origin is then added.
    static QPointF fromPageFraction(const QPoint &stored, int originX, int originY, int pageWidth, int pageHeight);

    // Colours on the wire: one unsigned 32-bit number holding alpha, blue,
    // green and red from the top byte down, carried as a JSON double.
    static double colorToWire(const QColor &color);
    // A value that is not within 0..2^32-1 (NaN, negative, too large) counts
    // as 0, and 0 stands for opaque blue.
    static QColor colorFromWire(double value);

protected:
    DrawLayer(const DrawLayer &) = default;
    static bool isEmptyPage(int pageWidth, int pageHeight);

    QRect rect;
    QColor color;
    QString ownerUid;
};

// A unit drawn with the pen: points in input order.
class DrawUnit : public DrawLayer
{
public:
    DrawUnit(int penWidth, const QColor &color, QString ownerUid);

    // Starts again with (x, y) as the only point.
    virtual void begin(int x, int y, int pageWidth, int pageHeight);
    // The last point of the unit; the same as addPoint.
    virtual void end(int x, int y, int pageWidth, int pageHeight);
    virtual void addPoint(int x, int y, int pageWidth, int pageHeight) = 0;
    virtual int getType() = 0;
    // At least one point.
    virtual bool isValid();

    // Appends a point already in page fractions (a received stroke).
    void appendPoint(const QPoint &point);

    const QVector<QPoint> &getPoints() const { return points; }
    int getPenWidth() const { return penWidth; }
    int paintWeight() const override;

protected:
    void storePoint(const QPoint &point);

    int penWidth;
    QVector<QPoint> points;

private:
    // The length of the path through the stored values, kept as points come.
    qint64 pathLength = 0;
};

// A pen stroke: a polyline of round-capped segments in the pen width, which
// does not follow the zoom.
class DrawCurveUnit : public DrawUnit
{
public:
    DrawCurveUnit(int penWidth, const QColor &color, QString ownerUid);

    DrawLayer *clone() const override { return new DrawCurveUnit(*this); }
    void paint(QPaintDevice *device, int originX, int originY, int pageWidth, int pageHeight) override;
    void addPoint(int x, int y, int pageWidth, int pageHeight) override;
    // 1, the code of a stroke in the whiteboard messages.
    int getType() override { return 1; }
    // At least two points: a single click draws nothing.
    bool isValid() override;
};

// A committed text box: its lines scaled to fill the box height.
class TextUnit : public DrawLayer
{
public:
    TextUnit(const QColor &color, QString ownerUid, const QString &fontFamily);

    DrawLayer *clone() const override { return new TextUnit(*this); }
    void paint(QPaintDevice *device, int originX, int originY, int pageWidth, int pageHeight) override;

    // Both corners are moved into the page first, so the stored box is in
    // page fractions and fits the 16-bit halves of the wire format.
    void setRect(const QRect &rect, int pageWidth, int pageHeight);
    // A rectangle already in page fractions (a received text), unchanged.
    void setRect(const QRect &rect);
    // A pixel size relative to the page image height.
    void setFontSize(int pixelSize, int pageHeight);
    // A size already in fractions of the page height (a received text).
    void setFontSize(int fraction);
    void setFontWeight(int weight) { fontWeight = weight; }
    void setFontStyle(int style) { fontStyle = style; }
    void setText(const QString &text) { this->text = text; }

    int paintWeight() const override;

    QString getText() const { return text; }
    int getFontSize() const { return fontSize; }
    QString getFontFamily() const { return fontFamily; }
    int getFontWeight() const { return fontWeight; }
    int getFontStyle() const { return fontStyle; }

    // The font of whiteboard text in the given point size (not set when 0 or
    // less). The application's family falls back to a CJK family that a
    // Debian system has, so text looks alike wherever it is painted.
    static QFont makeFont(const QString &family, int pointSize, int weight, int style);

    // Stored font sizes lie within 0..10000 (up to the page height) and a
    // painted text within 1..this many points.
    static constexpr int maxPointSize = 2000;

private:
    QString text;
    int fontSize = 0;
    QString fontFamily;
    int fontStyle = QFont::StyleNormal;
    int fontWeight = QFont::Bold;
};

#endif // DRAWUNIT_H
