// TShapeModel: everything a smart shape draws from, without a window: size, figure, pen,
// brush, gradient, caption, user polygon and the selection flag. The shape widget holds
// one; the command line, the controller's icons and the tests use it directly.
#pragma once

#include "ShapeTypes.h"
#include "UserVector.h"

#include "graphics/canvas/Canvas.h"

#include <string>
#include <vector>

// Largest width or height of a shape; larger sizes are cut to it.
constexpr int kMaxShapeSide = 16384;

class TShapeModel {
public:
    TShapeModel();

    int Width() const { return m_width; }
    int Height() const { return m_height; }
    // Sizes are kept within 0..kMaxShapeSide.
    void SetSize(int width, int height);

    TqorShapeType Shape = TqorShapeType::qstRectangle;
    TPen Pen;     // black, width 1, solid
    TBrush Brush; // solid white
    bool Gradient = false;
    TColor GradientColor = clBlack;
    TqorFillDirection FillDirection = TqorFillDirection::qgdUp;
    TFont Font;
    std::string Caption;
    int CaptionX = 0;
    int CaptionY = 0;
    bool CaptionCentered = true;
    int CaptionAngle = 0; // degrees, counter-clockwise
    bool byUser = false;  // the owner draws instead of the caption
    bool PolyLineMode = false;
    bool Selected = false;

    const std::string& UserVectorString() const { return m_userVectorString; }
    // Takes the string and its points when it parses; otherwise changes nothing and
    // returns false (no message: a malformed string is simply ignored).
    bool SetUserVectorString(const std::string& value);
    const std::vector<TUserPoint>& UserPoints() const { return m_userPoints; }

private:
    int m_width = 65;
    int m_height = 65;
    std::string m_userVectorString = "usrRectangle=0,0,1,0,1,1,0,1";
    std::vector<TUserPoint> m_userPoints{{0, 0}, {1, 0}, {1, 1}, {0, 1}};
};
