#include "ShapeModel.h"

#include <algorithm>

TShapeModel::TShapeModel() = default;

void TShapeModel::SetSize(int width, int height)
{
    m_width = std::clamp(width, 0, kMaxShapeSide);
    m_height = std::clamp(height, 0, kMaxShapeSide);
}

bool TShapeModel::SetUserVectorString(const std::string& value)
{
    std::optional<std::vector<TUserPoint>> points = ParseUserVectorString(value);
    if (!points)
        return false;
    m_userVectorString = value;
    m_userPoints = std::move(*points);
    return true;
}
