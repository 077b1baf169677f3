#include "ShapeTypes.h"

#include <array>
#include <cctype>

namespace {

const std::array<const char*, kShapeTypeCount> kShapeNames{
    "qstRectangle", "qstSquare", "qstRoundRect", "qstRoundSquare", "qstEllipse", "qstCircle", "qstValve",
    "qstValveUp", "qstHouse", "qstTriangleRight", "qstTriangleUp", "qstTriangleLeft", "qstTriangleDown",
    "qstArrowRight", "qstArrowUp", "qstArrowLeft", "qstArrowDown", "qstArrowUpDown", "qstArrowLeftRight",
    "qstDiamond", "qstOctagon", "qstHexagon", "qstHexagonFlat", "qstUBarUp", "qstUBarLeft", "qstUBarDown",
    "qstUBarRight", "qstChairLeft", "qstChairRight", "qstBowlLeft", "qstBowlRight", "qstBowlDown", "qstBowlUp",
    "qstIBar", "qstHBar", "qst4Point", "qstWaggle", "qstCloudLeft", "qstCloudRight", "qstDoubleOval",
    "qstDoubleOvalV", "qstTorus", "qstFrame", "qstFrameNarrow", "qstLBarUpLeft", "qstLBarUpRight",
    "qstLBarLeft", "qstLBarRight", "qst2HoleHoriz", "qst2HoleVert", "qstCubeUpRight", "qstCubeUpLeft",
    "qstCubeDownRight", "qstCubeDownLeft", "qstCubeHalf", "qstRoofRight", "qstRoofLeft", "qstRoofFront",
    "qstRoofBack", "qstPyramid", "qstMoret", "qstZ", "qstN", "qstMatta", "qstPistacheTop",
    "qstPistacheBottom", "qstPistacheLeft", "qstPistacheRight", "qst1Hole", "qst1HoleBig", "qstflower",
    "qstFatArrowUp", "qstFatArrowLeft", "qstFatArrowDown", "qstFatArrowRight", "qstUser"};

const std::array<const char*, kFillDirectionCount> kDirectionNames{
    "qgdUp", "qgdDown", "qgdLeft", "qgdRight", "qgdRectOut", "qgdRectIn", "qgdHorizCenter", "qgdVertCenter",
    "qgdCircOut", "qgdCircIn", "qgdNWSE", "qgdNESW", "qgdSENW", "qgdSWNE", "qgdUright", "qgdULeft", "qgdUUp",
    "qgdUDown", "qgdRCMix", "qgdRCModulo", "qgdQuatro", "qgdDuo", "qgdLNE", "qgdLNW", "qgdUpDown",
    "qgdLeftRight"};

const std::array<const char*, kMouseModeCount> kMouseModeNames{"mmfixed", "mmMoveObject", "mmSizeObject",
                                                               "mmMoveText", "mmRotateText"};

const std::array<const char*, kBrushStyleCount> kBrushStyleNames{
    "bsSolid", "bsClear", "bsHorizontal", "bsVertical", "bsFDiagonal", "bsBDiagonal", "bsCross", "bsDiagCross"};

const std::array<const char*, kPenStyleCount> kPenStyleNames{"psSolid", "psDash", "psDot", "psDashDot",
                                                             "psDashDotDot", "psClear", "psInsideFrame"};

template <std::size_t N>
const char* nameAt(const std::array<const char*, N>& names, int index)
{
    return index >= 0 && index < static_cast<int>(N) ? names[static_cast<std::size_t>(index)] : "";
}

std::string lower(const std::string& s)
{
    std::string out;
    for (char c : s)
        out += static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return out;
}

// Matches the whole name or the name without its `prefixLength` prefix letters, ignoring case.
template <class E, std::size_t N>
std::optional<E> loose(const std::array<const char*, N>& names, std::size_t prefixLength, const std::string& text)
{
    const std::string key = lower(text);
    for (std::size_t i = 0; i < N; ++i) {
        const std::string name = lower(names[i]);
        if (key == name || key == name.substr(prefixLength))
            return static_cast<E>(i);
    }
    return std::nullopt;
}

} // namespace

const char* ShapeTypeName(TqorShapeType type) { return nameAt(kShapeNames, static_cast<int>(type)); }
const char* FillDirectionName(TqorFillDirection direction) { return nameAt(kDirectionNames, static_cast<int>(direction)); }
const char* MouseModeName(TShapeMouseMode mode) { return nameAt(kMouseModeNames, static_cast<int>(mode)); }
const char* BrushStyleName(TBrushStyle style) { return nameAt(kBrushStyleNames, static_cast<int>(style)); }
const char* PenStyleName(TPenStyle style) { return nameAt(kPenStyleNames, static_cast<int>(style)); }

std::string ReadableName(const std::string& name)
{
    std::string word = name;
    for (const char* prefix : {"qst", "qgd", "mm", "bs", "ps"})
        if (word.rfind(prefix, 0) == 0 && word.size() > std::string(prefix).size()) {
            word.erase(0, std::string(prefix).size());
            break;
        }
    std::string out;
    const auto upper = [](char c) { return std::isupper(static_cast<unsigned char>(c)) != 0; };
    const auto lowerCase = [](char c) { return std::islower(static_cast<unsigned char>(c)) != 0; };
    const auto digit = [](char c) { return std::isdigit(static_cast<unsigned char>(c)) != 0; };
    for (std::size_t i = 0; i < word.size(); ++i) {
        const char c = word[i];
        if (i > 0) {
            const char before = word[i - 1];
            const bool next = i + 1 < word.size() && lowerCase(word[i + 1]);
            // A word starts at a capital after a small letter or a digit ("TriangleRight",
            // "4Point"), at the last capital of a run followed by a small letter ("UBar"),
            // and at a digit after a letter.
            if ((upper(c) && (lowerCase(before) || digit(before))) || (upper(c) && upper(before) && next)
                || (digit(c) && !digit(before)))
                out += ' ';
        }
        out += i == 0 ? static_cast<char>(std::toupper(static_cast<unsigned char>(c))) : c;
    }
    return out;
}

std::optional<TqorShapeType> ShapeTypeFromText(const std::string& text) { return loose<TqorShapeType>(kShapeNames, 3, text); }
std::optional<TqorFillDirection> FillDirectionFromText(const std::string& text)
{
    return loose<TqorFillDirection>(kDirectionNames, 3, text);
}
std::optional<TBrushStyle> BrushStyleFromText(const std::string& text) { return loose<TBrushStyle>(kBrushStyleNames, 2, text); }
