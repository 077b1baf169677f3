#include "TTFToVector.h"

#include "graphics/Exception.h"
#include "graphics/NumberRules.h"

#include <QGuiApplication>
#include <QPainterPath>
#include <QRawFont>

#include <algorithm>
#include <cmath>
#include <sstream>

namespace {

constexpr int kOutlineSize = 1024;

QRawFont outlineFont(const TFont& font)
{
    if (!qobject_cast<QGuiApplication*>(QCoreApplication::instance()))
        throw Exception("Glyph outlines cannot be read before the application's graphics system is started");
    QFont f(QString::fromStdString(MapFontFamily(font.Name)));
    f.setBold((font.Style & fsBold) != 0);
    f.setItalic((font.Style & fsItalic) != 0);
    f.setPixelSize(kOutlineSize);
    f.setHintingPreference(QFont::PreferNoHinting);
    f.setStyleStrategy(QFont::PreferOutline);
    return QRawFont::fromFont(f);
}

struct TOutlineWalk {
    TOutlineWalk(TStrokeCollection& strokes, int steps) : out(strokes), precision(steps) {}
    TStrokeCollection& out;
    int precision;
    int stroke = -1;
    QPointF start, current;
    bool open = false;

    void add(QPointF a, QPointF b) { out.Add(stroke, a.x(), -a.y(), b.x(), -b.y()); }

    void close()
    {
        if (open)
            add(current, start);
        open = false;
    }

    // Points at t = 1/n, 2/n, ..., 1 of the curve `at`, each joined to the one before.
    template <class Curve>
    void flatten(const Curve& at, QPointF end)
    {
        QPointF prev = current;
        for (int k = 1; k <= precision; ++k) {
            const QPointF p = k == precision ? end : at(static_cast<double>(k) / precision);
            add(prev, p);
            prev = p;
        }
        current = end;
    }

    void quadratic(QPointF b, QPointF e)
    {
        const QPointF a = current;
        flatten([&](double t) { return a + t * t * (a - 2 * b + e) + t * (2 * b - 2 * a); }, e);
    }

    void cubic(QPointF c1, QPointF c2, QPointF e)
    {
        const QPointF a = current;
        flatten(
            [&](double t) {
                const double u = 1 - t;
                return u * u * u * a + 3 * u * u * t * c1 + 3 * u * t * t * c2 + t * t * t * e;
            },
            e);
    }
};

} // namespace

int TStrokeCollection::FirstSegment(int stroke) const
{
    if (stroke < 0 || stroke >= StrokeCount())
        return -1;
    const auto it = std::find_if(m_segments.begin(), m_segments.end(),
                                 [stroke](const TStrokeSegment& s) { return s.Stroke == stroke; });
    return it == m_segments.end() ? -1 : static_cast<int>(it - m_segments.begin());
}

int TStrokeCollection::SegmentCount(int stroke) const
{
    const int first = FirstSegment(stroke);
    if (first < 0)
        return -1;
    int n = 0;
    for (std::size_t i = static_cast<std::size_t>(first); i < m_segments.size() && m_segments[i].Stroke == stroke; ++i)
        ++n;
    return n;
}

TRect TStrokeCollection::Bounds() const
{
    if (m_segments.empty())
        return TRect();
    TRect r(m_segments[0].X1, m_segments[0].Y1, m_segments[0].X1, m_segments[0].Y1);
    for (const TStrokeSegment& s : m_segments) {
        r.Left = std::min({r.Left, s.X1, s.X2});
        r.Right = std::max({r.Right, s.X1, s.X2});
        r.Top = std::min({r.Top, s.Y1, s.Y2});
        r.Bottom = std::max({r.Bottom, s.Y1, s.Y2});
    }
    return r;
}

void TStrokeCollection::Add(int stroke, double x1, double y1, double x2, double y2)
{
    if (x1 == x2 && y1 == y2)
        return;
    m_segments.push_back({stroke, static_cast<int>(Round(x1)), static_cast<int>(Round(y1)), static_cast<int>(Round(x2)),
                          static_cast<int>(Round(y2))});
}

TTTFToVectorConverter::TTTFToVectorConverter()
{
    Font.Name = "Arial";
    Font.SetSize(28);
}

void TTTFToVectorConverter::SetPrecision(int value)
{
    if (value >= 1 && value <= 100)
        m_precision = value;
}

std::string TTTFToVectorConverter::ActualFamily() const
{
    return outlineFont(Font).familyName().toStdString();
}

bool TTTFToVectorConverter::HasCharacter(char32_t ch) const
{
    if (!UNICODE)
        ch &= 0xFF;
    const QRawFont raw = outlineFont(Font);
    return raw.isValid() && raw.supportsCharacter(static_cast<uint>(ch));
}

std::unique_ptr<TStrokeCollection> TTTFToVectorConverter::Convert(char32_t ch) const
{
    if (!UNICODE)
        ch &= 0xFF;
    const QRawFont raw = outlineFont(Font);
    if (!raw.isValid())
        return nullptr;
    const QList<quint32> glyphs = raw.glyphIndexesForString(QString::fromUcs4(&ch, 1));
    if (glyphs.size() != 1)
        return nullptr;
    const QPainterPath path = raw.pathForGlyph(glyphs[0]);
    if (path.isEmpty())
        return nullptr;

    auto strokes = std::make_unique<TStrokeCollection>();
    TOutlineWalk walk(*strokes, m_precision);
    for (int i = 0; i < path.elementCount(); ++i) {
        const QPainterPath::Element e = path.elementAt(i);
        const QPointF p(e.x, e.y);
        if (e.isMoveTo()) {
            walk.close();
            ++walk.stroke;
            walk.start = walk.current = p;
            walk.open = true;
        } else if (e.isLineTo()) {
            walk.add(walk.current, p);
            walk.current = p;
        } else if (e.isCurveTo() && i + 2 < path.elementCount()) {
            const QPointF c2(path.elementAt(i + 1).x, path.elementAt(i + 1).y);
            const QPointF end(path.elementAt(i + 2).x, path.elementAt(i + 2).y);
            i += 2;
            // TrueType curves are quadratic; the path holds them raised to cubics, from
            // which the one control point comes back exactly.
            const QPointF q1 = (3 * p - walk.current) / 2, q2 = (3 * c2 - end) / 2;
            if (std::abs(q1.x() - q2.x()) < 1e-3 && std::abs(q1.y() - q2.y()) < 1e-3)
                walk.quadratic(q1, end);
            else
                walk.cubic(p, c2, end);
        }
    }
    walk.close();
    if (strokes->Count() == 0)
        return nullptr;
    return strokes;
}

std::string StrokesToSvg(const TStrokeCollection& strokes)
{
    const TRect b = strokes.Bounds();
    const int margin = 16;
    std::ostringstream s;
    s << "<svg xmlns=\"http://www.w3.org/2000/svg\" viewBox=\"" << b.Left - margin << ' ' << -b.Bottom - margin << ' '
      << b.Width() + 2 * margin << ' ' << b.Height() + 2 * margin << "\">\n<path fill=\"none\" stroke=\"black\" "
      << "stroke-width=\"4\" d=\"";
    int stroke = -1;
    TPoint pen(0, 0);
    for (const TStrokeSegment& seg : strokes.Segments()) {
        if (seg.Stroke != stroke || !(pen == TPoint(seg.X1, seg.Y1))) {
            if (stroke >= 0)
                s << ' ';
            s << 'M' << seg.X1 << ' ' << -seg.Y1;
            stroke = seg.Stroke;
        }
        s << " L" << seg.X2 << ' ' << -seg.Y2;
        pen = TPoint(seg.X2, seg.Y2);
    }
    s << "\"/>\n</svg>\n";
    return s.str();
}
