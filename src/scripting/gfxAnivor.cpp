#include "gfxAnivor.h"

#include "effects/GeometricEffects.h"
#include "effects/ScriptEffects.h"
#include "graphics/MemoryBudget.h"
#include "graphics/NumberRules.h"

#include <cmath>
#include <cstdlib>

namespace {

using Args = QVariantList;

int hexDigit(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

// A real coordinate or size: finite and within the range integers have, so that what is
// drawn stays within what the canvas can place.
double coordinate(const QVariant& v)
{
    const double d = VariantToReal(v);
    if (std::fabs(d) > 2147483647.0)
        throw EAutomationError("Overflow", AutomationCode::Overflow);
    return d;
}

int boundedInt(const QVariant& v, int low, int high, const char* what)
{
    const int n = VariantToInt(v);
    if (n < low || n > high)
        throw EAutomationError(std::string(what) + " " + std::to_string(n) + " is out of range (" + std::to_string(low)
                               + " to " + std::to_string(high) + ")");
    return n;
}

} // namespace

TColor ParseHexColor(const QVariant& value)
{
    const std::string text = VariantToText(value);
    if (text.size() != 7 || text[0] != '#')
        return 0;
    TColor c = 0;
    // "$" + blue + green + red read as one hexadecimal number.
    for (int i : {5, 6, 3, 4, 1, 2}) {
        const int d = hexDigit(text[i]);
        if (d < 0)
            return 0;
        c = c * 16 + static_cast<TColor>(d);
    }
    return c;
}

unsigned FontStyleFromWords(const std::string& words, unsigned style)
{
    if (words.empty())
        return 0;
    const auto flag = [&](const char* word, unsigned bit) {
        style = words.find(word) != std::string::npos ? (style | bit) : (style & ~bit);
    };
    flag("bold", fsBold);
    flag("italic", fsItalic);
    flag("underline", fsUnderline);
    return style;
}

std::vector<int> ScriptArrayToIntegers(const QVariant& value)
{
    const QVariantList list = VariantToList(value);
    MemoryBudget::Check(std::uint64_t(list.size()) * sizeof(int), "a list of " + std::to_string(list.size()) + " numbers");
    std::vector<int> numbers;
    numbers.reserve(static_cast<std::size_t>(list.size()));
    for (const QVariant& v : list)
        numbers.push_back(VariantToInt(v));
    return numbers;
}

std::vector<TPoint> ScriptArrayToPoints(const QVariant& value)
{
    const std::vector<int> n = ScriptArrayToIntegers(value);
    std::vector<TPoint> points;
    if (n.empty() || n.size() % 2 != 0)
        return points;
    points.reserve(n.size() / 2);
    for (std::size_t i = 0; i < n.size(); i += 2)
        points.emplace_back(n[i], n[i + 1]);
    return points;
}

int TextRotateEscapement(double degrees)
{
    const double tenths = degrees * 10;
    if (!std::isfinite(tenths) || std::fabs(tenths) > 2147483647.0)
        throw EAutomationError("Overflow", AutomationCode::Overflow);
    return static_cast<int>(Round(tenths));
}

TgfxAnivor::TgfxAnivor() : TAutomationObject("gfxAnivor", "Anivor13.gfxAnivor")
{
    addMembers();
}

TCanvas& TgfxAnivor::canvas()
{
    if (!m_target)
        throw EAutomationError("There is no picture to draw on");
    return m_target->Canvas();
}

bool TgfxAnivor::UsesPicture(const TAutomationMember& member)
{
    const int id = member.DispId;
    // PenColor .. BrushClear, TextWidth, TextHeight, ActorWizardPath.
    return !((id >= 4 && id <= 14) || id == 21 || id == 22 || id == 25);
}

void TgfxAnivor::changed()
{
    if (m_busy)
        m_drawn = true;
    else if (m_target)
        m_target->PictureChanged();
}

void TgfxAnivor::BeginRun()
{
    m_drawn = false;
    m_busy = true;
}

void TgfxAnivor::SetActorPath(std::vector<TPoint> points)
{
    m_actorPath = std::move(points);
    if (m_actorSink)
        m_actorSink->SetActorPath(m_actorPath);
}

void TgfxAnivor::EndRun(bool drawnElsewhere)
{
    m_busy = false;
    if ((m_drawn || drawnElsewhere) && m_target)
        m_target->PictureChanged();
    m_drawn = false;
}

void TgfxAnivor::addMembers()
{
    using K = TMemberKind;
    const auto i = [](const Args& a, int n) { return VariantToInt(a[n]); };
    const std::vector<std::string> box = {"x1", "y1", "x2", "y2"};
    const std::vector<std::string> box3 = {"x1", "y1", "x2", "y2", "x3", "y3"};
    const std::vector<std::string> box4 = {"x1", "y1", "x2", "y2", "x3", "y3", "x4", "y4"};
    const auto method = [this](int id, const char* name, std::vector<std::string> params, auto fn) {
        AddMember({id, name, K::Method, std::move(params), false, [fn](const Args& a) { fn(a); return QVariant(); }});
    };
    const auto put = [this](int id, const char* name, auto fn) {
        AddMember({id, name, K::Put, {""}, false, [fn](const Args& a) { fn(a[0]); return QVariant(); }});
    };

    method(1, "Line", box, [this, i](const Args& a) {
        const int x1 = i(a, 0), y1 = i(a, 1), x2 = i(a, 2), y2 = i(a, 3);
        TCanvas& c = canvas();
        c.MoveTo(x1, y1);
        c.LineTo(x2, y2);
        changed();
    });
    method(2, "Rectangle", box, [this, i](const Args& a) {
        const int x1 = i(a, 0), y1 = i(a, 1), x2 = i(a, 2), y2 = i(a, 3);
        canvas().Rectangle(x1, y1, x2, y2);
        changed();
    });
    method(3, "Ellipse", box, [this, i](const Args& a) {
        const int x1 = i(a, 0), y1 = i(a, 1), x2 = i(a, 2), y2 = i(a, 3);
        canvas().Ellipse(x1, y1, x2, y2);
        changed();
    });
    put(4, "PenColor", [this](const QVariant& v) { canvas().Pen.Color = ParseHexColor(v); });
    put(5, "BrushColor", [this](const QVariant& v) { canvas().Brush.SetColor(ParseHexColor(v)); });
    put(6, "FontColor", [this](const QVariant& v) { canvas().Font.Color = ParseHexColor(v); });
    put(7, "FontName", [this](const QVariant& v) { canvas().Font.Name = VariantToText(v); });
    // Sizes beyond these draw nothing sensible and cost the rasteriser without bound.
    put(8, "FontSize", [this](const QVariant& v) { canvas().Font.SetSize(boundedInt(v, -4096, 4096, "Font size")); });
    put(9, "FontStyle", [this](const QVariant& v) {
        TFont& f = canvas().Font;
        f.Style = FontStyleFromWords(VariantToText(v), f.Style);
    });
    put(10, "PenWidth", [this](const QVariant& v) { canvas().Pen.Width = boundedInt(v, -4096, 4096, "Pen width"); });
    method(11, "PenSolid", {}, [this](const Args&) { canvas().Pen.Style = TPenStyle::psSolid; });
    method(12, "PenClear", {}, [this](const Args&) { canvas().Pen.Style = TPenStyle::psClear; });
    method(13, "BrushSolid", {}, [this](const Args&) { canvas().Brush.SetStyle(TBrushStyle::bsSolid); });
    method(14, "BrushClear", {}, [this](const Args&) { canvas().Brush.SetStyle(TBrushStyle::bsClear); });
    method(15, "Text", {"x", "y", "Text"}, [this, i](const Args& a) {
        const int x = i(a, 0), y = i(a, 1);
        canvas().TextOut(x, y, VariantToText(a[2]));
        changed();
    });
    method(16, "RoundRect", box3, [this, i](const Args& a) {
        const int x1 = i(a, 0), y1 = i(a, 1), x2 = i(a, 2), y2 = i(a, 3), x3 = i(a, 4), y3 = i(a, 5);
        canvas().RoundRect(x1, y1, x2, y2, x3, y3);
        changed();
    });
    method(17, "Effect", {"EffectName", "Value"}, [this](const Args& a) {
        const std::string name = VariantToText(a[0]);
        TBitmap& picture = canvas().Bitmap();
        // The effect works on a copy, so a failure half way leaves the picture as it was.
        TBitmap effectBitmap = picture;
        ApplyScriptEffect(effectBitmap, name, [&](TScriptValueKind kind) {
            return kind == TScriptValueKind::Real ? VariantToReal(a[1]) : static_cast<double>(VariantToInt(a[1]));
        });
        picture = std::move(effectBitmap);
        changed();
    });
    method(18, "TextRotate", {"x", "y", "Text", "angle"}, [this, i](const Args& a) {
        const int x = i(a, 0), y = i(a, 1);
        const std::string text = VariantToText(a[2]);
        const int escapement = TextRotateEscapement(VariantToReal(a[3]));
        canvas().TextOutRotated(x, y, text, escapement);
        changed();
    });
    method(19, "Pie", box4, [this, i](const Args& a) {
        int v[8];
        for (int k = 0; k < 8; ++k)
            v[k] = i(a, k);
        canvas().Pie(v[0], v[1], v[2], v[3], v[4], v[5], v[6], v[7]);
        changed();
    });
    method(20, "Chord", box4, [this, i](const Args& a) {
        int v[8];
        for (int k = 0; k < 8; ++k)
            v[k] = i(a, k);
        canvas().Chord(v[0], v[1], v[2], v[3], v[4], v[5], v[6], v[7]);
        changed();
    });
    AddMember({21, "TextWidth", K::Method, {"Text"}, true,
               [this](const Args& a) { return QVariant(canvas().TextWidth(VariantToText(a[0]))); }});
    AddMember({22, "TextHeight", K::Method, {"Text"}, true,
               [this](const Args& a) { return QVariant(canvas().TextHeight(VariantToText(a[0]))); }});
    method(23, "Polygon", {"points"}, [this](const Args& a) {
        const std::vector<TPoint> points = ScriptArrayToPoints(a[0]);
        if (points.empty())
            return;
        canvas().Polygon(points);
        changed();
    });
    method(24, "PolyLine", {"points"}, [this](const Args& a) {
        const std::vector<TPoint> points = ScriptArrayToPoints(a[0]);
        if (points.empty())
            return;
        canvas().Polyline(points);
        changed();
    });
    method(25, "ActorWizardPath", {"points"}, [this](const Args& a) {
        SetActorPath(ScriptArrayToPoints(a[0]));
    });
    method(26, "EllipseRotate", {"x", "y", "a", "b", "angle", "filled"}, [this](const Args& a) {
        const double x = coordinate(a[0]), y = coordinate(a[1]), ra = coordinate(a[2]), rb = coordinate(a[3]);
        const double angle = VariantToReal(a[4]);
        const bool filled = VariantToBool(a[5]);
        qorFX::DrawRotatedEllipse(canvas(), filled, angle, ra, rb, x, y);
        changed();
    });
    method(27, "Clear", {}, [this](const Args&) {
        TCanvas& c = canvas();
        c.Brush.SetColor(clWhite);
        c.FillRect(TRect(0, 0, c.Bitmap().Width(), c.Bitmap().Height()));
        changed();
    });
    AddMember({28, "Width", K::Get, {}, true, [this](const Args&) { return QVariant(canvas().Bitmap().Width()); }});
    AddMember({29, "Height", K::Get, {}, true, [this](const Args&) { return QVariant(canvas().Bitmap().Height()); }});
    method(30, "PolyBezier", {"points"}, [this](const Args& a) {
        const std::vector<TPoint> points = ScriptArrayToPoints(a[0]);
        if (points.empty())
            return;
        canvas().PolyBezier(points);
        changed();
    });
}

std::shared_ptr<TgfxAnivor> CogfxAnivor::Create()
{
    return std::make_shared<TgfxAnivor>();
}
