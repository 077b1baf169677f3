#include "StripCommands.h"

#include "platform/NumberPrompt.h"
#include "platform/Ui.h"

#include <algorithm>
#include <climits>

namespace {

const char* const kFramesCaption = "Anivor Frames";
const char* const kDelayCaption = "Anivor Frame Delays";
const char* const kDelayPrompt = "Enter Delay (10..255)";
const char* const kTransitionsCaption = "Anivor Transitions";

// One side of the New Frame size: false ends the command. A text that is not a number
// ends it silently; a number outside 1..kMaxFrameSide ends it with a message, before
// anything is changed.
bool askFrameSide(const std::string& prompt, int proposed, const char* what, int& side)
{
    const std::string answer = UI().InputBox(kFramesCaption, prompt, std::to_string(proposed));
    if (!TryParseInt(answer, side))
        return false;
    if (side < 1 || side > kMaxFrameSide) {
        UI().MessageDlg(std::string("The frame ") + what + " must be between 1 and " + std::to_string(kMaxFrameSide)
                            + " pixels; " + answer + " is refused.",
                        TMsgDlgType::mtError);
        return false;
    }
    return true;
}

// The two delay prompts: the delay as typed when it reads (unparsable: 30) within 10..255;
// a number outside is not used, and the user is told so.
bool askDelay(const std::string& proposed, std::string& text)
{
    text = UI().InputBox(kDelayCaption, kDelayPrompt, proposed);
    int value = 0;
    if (!TryParseInt(text, value))
        return true;
    return RangedAnswer(text, "the delay", 10, 255, TRangeRule::Ignore).has_value();
}

} // namespace

void NewFrameCommand(TFrameStrip& strip)
{
    if (strip.Empty()) {
        int width = 0, height = 0;
        if (!askFrameSide("Enter Width", strip.Session.NewFrameWidth, "width", width))
            return;
        // A width read before a failing height stays.
        strip.SetFrameSize(width, strip.FrameHeight());
        if (!askFrameSide("Enter Height", strip.Session.NewFrameHeight, "height", height))
            return;
        strip.SetFrameSize(width, height);
    }
    strip.NewFrame();
    strip.Session.NewFrameWidth = strip.FrameWidth();
    strip.Session.NewFrameHeight = strip.FrameHeight();
}

void NewAnimationCommand(TFrameStrip& strip)
{
    if (UI().Confirm("Confirm", "Do you want to erase all current Frames?"))
        strip.ClearFrames();
}

void DuplicateCommand(TFrameStrip& strip)
{
    strip.Duplicate();
}

void DeleteCommand(TFrameStrip& strip)
{
    strip.DeleteSelected();
}

void ArrangeCommand(TFrameStrip& strip)
{
    strip.ArrangeFrames();
}

void DelayCommand(TFrameStrip& strip)
{
    const int i = strip.ItemIndex();
    if (i < 0)
        return;
    std::string text;
    if (askDelay(strip.FindFrameImage(i).DelayText, text))
        strip.SetDelayText(i, text);
}

void DelayAllCommand(TFrameStrip& strip)
{
    std::string text;
    if (askDelay(std::to_string(strip.Session.DefaultDelay), text))
        strip.SetAllDelayTexts(text);
}

void FrameDelayCommand(TFrameStrip& strip)
{
    const std::string answer = UI().InputBox(kTransitionsCaption, "Enter Default Frame Delay (10..255):", std::to_string(strip.Session.DefaultDelay));
    strip.Session.DefaultDelay = *RangedAnswer(answer, "the default frame delay", 10, 255, TRangeRule::Clamp, 10);
}

void SetFramesCommand(TFrameStrip& strip)
{
    const std::string answer = UI().InputBox(kTransitionsCaption, "Enter number of frames (4..50):", std::to_string(strip.Session.WizardFrameCount));
    strip.Session.WizardFrameCount = *RangedAnswer(answer, "the number of wizard frames", 4, 50, TRangeRule::Clamp, 10);
}

void SetLoopsCommand(TFrameStrip& strip)
{
    std::string value = std::to_string(strip.LoopCount());
    if (UI().InputQuery("GIF animation settings", "Enter number of loops (0 = forever):", value))
        strip.SetLoopCount(StrToIntDef(value, 0));
}

void RotationAngleCommand(TFrameStrip& strip)
{
    const std::string answer = UI().InputBox("Anivor Frame Rotation", "Enter Angle", std::to_string(strip.Session.RotationAngle));
    // Any whole number is an angle; other text is 90, which the user is told.
    strip.Session.RotationAngle = *RangedAnswer(answer, "the rotation angle", INT_MIN, INT_MAX, TRangeRule::Clamp, 90);
}

void DefaultTransparentCommand(TFrameStrip& strip)
{
    strip.Session.DefTrans = !strip.Session.DefTrans;
}

void TransparentCommand(TFrameStrip& strip, int i)
{
    if (i < 0 || i >= strip.Count())
        return;
    strip.SetTransparent(i, !strip.IsTransparent(i));
}

void InsertWizardFramesCommand(TFrameStrip& strip)
{
    strip.InsertWizardFrames();
}

void TextWizardFontCommand(TFrameStrip& strip)
{
    if (const auto font = UI().ChooseFont(strip.Session.TextWizardFont))
        strip.Session.TextWizardFont = *font;
}

void TextWizardColorCommand(TFrameStrip& strip)
{
    if (const auto color = UI().ChooseColor(strip.Session.TextWizardFont.Color))
        strip.Session.TextWizardFont.Color = *color;
}

void AccentColorCommand(TFrameStrip& strip)
{
    if (const auto color = UI().ChooseColor(strip.Session.AccentColor))
        strip.Session.AccentColor = *color;
}

void MarkPositionCommand(TFrameStrip& strip, TPoint imagePoint)
{
    strip.Session.TextPosition = imagePoint;
}

std::string JoinLines(const std::vector<std::string>& lines)
{
    std::string text;
    for (std::size_t i = 0; i < lines.size(); ++i) {
        if (i > 0)
            text += '\n';
        text += lines[i];
    }
    return text;
}

std::vector<std::string> SplitLines(const std::string& text)
{
    std::vector<std::string> lines;
    std::string line;
    for (char c : text) {
        if (c == '\r')
            continue;
        if (c == '\n') {
            lines.push_back(line);
            line.clear();
        } else {
            line += c;
        }
    }
    if (!line.empty() || lines.empty())
        lines.push_back(line);
    return lines;
}
