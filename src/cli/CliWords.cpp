#include "CliWords.h"

#include "effects/EffectCatalog.h"
#include "effects/PainterEffects.h"
#include "gif/ReduceSettings.h"
#include "shapes/ShapeTypes.h"
#include "wizards/WizardKinds.h"
#include "workspace/FrameOperations.h"

#include <cctype>

namespace {

// Every name of an enumeration whose name function gives "" for unused and unknown values.
template <class E, class F>
std::vector<std::string> namesOf(int count, F name)
{
    std::vector<std::string> words;
    for (int i = 0; i < count; ++i)
        if (const char* n = name(static_cast<E>(i)); n && *n)
            words.emplace_back(n);
    return words;
}

// Every value the two enumerations can hold (their names give "" past the last one).
constexpr int kPaletteLimit = 16, kDitherLimit = 8;

} // namespace

std::vector<std::string> CliPaletteWords() { return namesOf<TColorReduction>(kPaletteLimit, PaletteName); }
std::vector<std::string> CliDitherWords() { return namesOf<TDitherMode>(kDitherLimit, DitherName); }
std::vector<std::string> CliShapeWords() { return namesOf<TqorShapeType>(kShapeTypeCount, ShapeTypeName); }
std::vector<std::string> CliGradientWords() { return namesOf<TqorFillDirection>(kFillDirectionCount, FillDirectionName); }
std::vector<std::string> CliBrushWords() { return namesOf<TBrushStyle>(kBrushStyleCount, BrushStyleName); }

std::vector<std::string> CliEffectWords()
{
    std::vector<std::string> words;
    for (const auto* catalog : {&PixelEffectCatalog(), &GeometricEffectCatalog()})
        for (const TEffectEntry& e : *catalog)
            words.push_back(e.name);
    return words;
}

std::vector<std::string> CliFrameOpWords()
{
    // The operations are found ignoring case, blanks and "-": "scroll-left" is "Scroll Left"
    // and needs no quoting on a command line.
    std::vector<std::string> words;
    for (const TFrameOperation& op : FrameOperations()) {
        std::string w;
        for (const char* c = op.Name; *c; ++c)
            w += *c == ' ' ? '-' : static_cast<char>(std::tolower(static_cast<unsigned char>(*c)));
        words.push_back(w);
    }
    return words;
}

std::vector<std::string> CliPainterWords()
{
    std::vector<std::string> words;
    for (const TPainterEffectNode& n : PainterEffectNodes())
        if (n.Index >= 0)
            words.push_back(PainterEffectNodePath(n));
    return words;
}

std::vector<std::string> CliWizardWords()
{
    std::vector<std::string> words;
    for (const TWizardKind& k : WizardKinds())
        words.emplace_back(k.MenuPath);
    return words;
}

std::string CliWordList(const std::vector<std::string>& words)
{
    std::string text;
    for (std::size_t i = 0; i < words.size(); ++i)
        text += (i == 0 ? "" : i + 1 == words.size() ? " or " : ", ") + words[i];
    return text;
}
