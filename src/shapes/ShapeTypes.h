// The enumerations of the smart shapes and their names. The names are the shapes' own
// vocabulary: the controller's menu items carry them as captions and the command line
// accepts them, so they are listed here once, in enumeration order.
#pragma once

#include "graphics/canvas/Canvas.h"

#include <optional>
#include <string>

enum class TqorShapeType {
    qstRectangle, qstSquare, qstRoundRect, qstRoundSquare, qstEllipse, qstCircle, qstValve, qstValveUp,
    qstHouse, qstTriangleRight, qstTriangleUp, qstTriangleLeft, qstTriangleDown, qstArrowRight, qstArrowUp,
    qstArrowLeft, qstArrowDown, qstArrowUpDown, qstArrowLeftRight, qstDiamond, qstOctagon, qstHexagon,
    qstHexagonFlat, qstUBarUp, qstUBarLeft, qstUBarDown, qstUBarRight, qstChairLeft, qstChairRight,
    qstBowlLeft, qstBowlRight, qstBowlDown, qstBowlUp, qstIBar, qstHBar, qst4Point, qstWaggle, qstCloudLeft,
    qstCloudRight, qstDoubleOval, qstDoubleOvalV, qstTorus, qstFrame, qstFrameNarrow, qstLBarUpLeft,
    qstLBarUpRight, qstLBarLeft, qstLBarRight, qst2HoleHoriz, qst2HoleVert, qstCubeUpRight, qstCubeUpLeft,
    qstCubeDownRight, qstCubeDownLeft, qstCubeHalf, qstRoofRight, qstRoofLeft, qstRoofFront, qstRoofBack,
    qstPyramid, qstMoret, qstZ, qstN, qstMatta, qstPistacheTop, qstPistacheBottom, qstPistacheLeft,
    qstPistacheRight, qst1Hole, qst1HoleBig, qstflower, qstFatArrowUp, qstFatArrowLeft, qstFatArrowDown,
    qstFatArrowRight, qstUser
};
constexpr int kShapeTypeCount = 76;

enum class TqorFillDirection {
    qgdUp, qgdDown, qgdLeft, qgdRight, qgdRectOut, qgdRectIn, qgdHorizCenter, qgdVertCenter, qgdCircOut,
    qgdCircIn, qgdNWSE, qgdNESW, qgdSENW, qgdSWNE, qgdUright, qgdULeft, qgdUUp, qgdUDown, qgdRCMix,
    qgdRCModulo, qgdQuatro, qgdDuo, qgdLNE, qgdLNW, qgdUpDown, qgdLeftRight
};
constexpr int kFillDirectionCount = 26;

enum class TShapeMouseMode { mmfixed, mmMoveObject, mmSizeObject, mmMoveText, mmRotateText };
constexpr int kMouseModeCount = 5;
constexpr int kBrushStyleCount = 8;
constexpr int kPenStyleCount = 7;

// Value names in enumeration order ("qstRectangle", "qgdUp", "mmfixed", "bsSolid",
// "psSolid"); an index outside the enumeration gives an empty string.
const char* ShapeTypeName(TqorShapeType type);
const char* FillDirectionName(TqorFillDirection direction);
const char* MouseModeName(TShapeMouseMode mode);
const char* BrushStyleName(TBrushStyle style);
const char* PenStyleName(TPenStyle style);

// A name as people read it: without the enumeration's prefix, one word per capital
// ("qstTriangleRight" is "Triangle Right", "qstUBarUp" "U Bar Up", "qst4Point" "4 Point",
// "mmfixed" "Fixed"). Menus show these; scripts and the command line keep the names above.
std::string ReadableName(const std::string& name);

// A value by its name typed loosely: any letter case, with or without the enumeration's
// prefix ("qstCircle", "circle", "CIRCLE"; "qgdUp", "up"; "bsClear", "clear").
std::optional<TqorShapeType> ShapeTypeFromText(const std::string& text);
std::optional<TqorFillDirection> FillDirectionFromText(const std::string& text);
std::optional<TBrushStyle> BrushStyleFromText(const std::string& text);
