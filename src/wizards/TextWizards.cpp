// Text kinds: A with the text wizard text drawn over it, without a background box.
#include "TextWizards.h"

#include "graphics/Exception.h"
#include "graphics/NumberRules.h"

#include <algorithm>
#include <string>

namespace {

// Byte offset after the first `count` characters of a UTF-8 string (the whole string when
// it has fewer), so that a prefix never splits a character.
std::size_t charOffset(const std::string& s, int count)
{
    std::size_t pos = 0;
    for (int k = 0; k < count && pos < s.size(); ++k) {
        ++pos;
        while (pos < s.size() && (static_cast<unsigned char>(s[pos]) & 0xC0) == 0x80)
            ++pos;
    }
    return pos;
}

// Line 0 of the text; the run ends with an index error when there is none.
const std::string& firstLine(const TWizardContext& ctx)
{
    if (ctx.TextWizardText.empty())
        throw EInvalidArgument("List index out of bounds (0)");
    return ctx.TextWizardText.front();
}

// Common start of every text step: A drawn onto W, then a clear brush so text has no box.
void startText(TWizardStepInput& in, TCanvas& canvas)
{
    canvas.Brush.SetStyle(TBrushStyle::bsSolid);
    canvas.Draw(0, 0, in.A);
    canvas.Brush.SetStyle(TBrushStyle::bsClear);
    canvas.Font = in.context.TextWizardFont;
}

} // namespace

void StepTextType(TWizardStepInput& in)
{
    const std::string& line = firstLine(in.context);
    TCanvas canvas(in.W);
    startText(in, canvas);
    const TPoint p = in.context.TextPosition;
    canvas.TextOut(p.X, p.Y, line.substr(0, charOffset(line, in.i)));
}

void StepTextGrow(TWizardStepInput& in)
{
    const std::string& line = firstLine(in.context);
    TCanvas canvas(in.W);
    startText(in, canvas);
    // The size grows from what the previous step drew with; below 10 points the 10 %
    // never reaches the next whole point, so small fonts keep their size.
    if (in.i == 1 || in.run.GrowFontSize == 0)
        in.run.GrowFontSize = in.context.TextWizardFont.Size();
    else
        in.run.GrowFontSize = static_cast<int>(Trunc(in.run.GrowFontSize * 1.1));
    canvas.Font.SetSize(in.run.GrowFontSize);
    const TPoint p = in.context.TextPosition;
    canvas.TextOut(p.X, p.Y, line);
}

void StepTextMarquee(TWizardStepInput& in)
{
    const std::string& line = firstLine(in.context);
    TCanvas canvas(in.W);
    startText(in, canvas);
    const int w = in.A.Width();
    const TPoint p = in.context.TextPosition;
    const int x = w + p.X - static_cast<int>(Round((static_cast<double>(in.i) / in.n) * w));
    canvas.TextOut(x, p.Y, line);
}

void StepTextLines(TWizardStepInput& in)
{
    TCanvas canvas(in.W);
    startText(in, canvas);
    const auto& lines = in.context.TextWizardText;
    if (lines.empty())
        return;
    const std::size_t index = std::min(static_cast<std::size_t>(in.i - 1), lines.size() - 1);
    const TPoint p = in.context.TextPosition;
    canvas.TextOut(p.X, p.Y, lines[index]);
}

void StepTextAccent(TWizardStepInput& in)
{
    const std::string& t = firstLine(in.context);
    TCanvas canvas(in.W);
    startText(in, canvas);
    const std::size_t beforeEnd = charOffset(t, in.i - 1);
    const std::size_t letterEnd = charOffset(t, in.i);
    const std::string before = t.substr(0, beforeEnd);
    const std::string letter = t.substr(beforeEnd, letterEnd - beforeEnd);
    const std::string after = t.substr(letterEnd);
    const TPoint p = in.context.TextPosition;
    canvas.TextOut(p.X, p.Y, before);
    const TColor fontColor = canvas.Font.Color;
    canvas.Font.Color = in.context.AccentColor;
    canvas.TextOut(p.X + canvas.TextWidth(before), p.Y, letter);
    canvas.Font.Color = fontColor;
    canvas.TextOut(p.X + canvas.TextWidth(before + letter), p.Y, after);
}
