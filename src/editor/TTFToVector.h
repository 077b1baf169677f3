// TTTFToVectorConverter: one character of a TrueType font as straight strokes. The glyph's
// outline is taken at a size of 1024 pixels per em; its quadratic curves are flattened
// into `Precision` steps each. Coordinates: x to the right, y up from the baseline.
// A font name that the system does not have falls back to a font it has, as text does.
#pragma once

#include "graphics/canvas/Canvas.h"
#include "graphics/Types.h"

#include <memory>
#include <string>
#include <vector>

struct TStrokeSegment {
    int Stroke = 0;
    int X1 = 0, Y1 = 0, X2 = 0, Y2 = 0;
    friend bool operator==(const TStrokeSegment&, const TStrokeSegment&) = default;
};

// The segments of one glyph; each stroke is one closed contour, its segments contiguous,
// strokes numbered 0, 1, 2, ... in order.
class TStrokeCollection {
public:
    void Clear() { m_segments.clear(); }
    int Count() const { return static_cast<int>(m_segments.size()); }
    // The stroke index of the last segment + 1; 0 when empty.
    int StrokeCount() const { return m_segments.empty() ? 0 : m_segments.back().Stroke + 1; }
    // List index of the stroke's first segment; -1 for a stroke outside 0..StrokeCount - 1.
    int FirstSegment(int stroke) const;
    // Segments of the stroke; -1 for an invalid stroke.
    int SegmentCount(int stroke) const;
    TStrokeSegment Segment(int index) const { return m_segments.at(static_cast<std::size_t>(index)); }
    // Spans every end point: Left/Right the smallest and largest x, Top/Bottom the smallest
    // and largest y; (0, 0, 0, 0) when empty.
    TRect Bounds() const;

    // Adds the segment (rounded to whole units) unless both ends are the same point.
    void Add(int stroke, double x1, double y1, double x2, double y2);
    const std::vector<TStrokeSegment>& Segments() const { return m_segments; }

private:
    std::vector<TStrokeSegment> m_segments;
};

class TTTFToVectorConverter {
public:
    TTTFToVectorConverter();

    TFont Font; // "Arial", 28 points; only the name and style choose the outline
    int Precision() const { return m_precision; }
    // Accepted only from 1 to 100; other values keep the old one.
    void SetPrecision(int value);
    // When false the character is a Latin-1 code (its low byte); when true, any Unicode
    // code point.
    bool UNICODE = false;

    // The outline of `ch`, or nothing for a character without one (a space, say). The
    // caller owns the result.
    std::unique_ptr<TStrokeCollection> Convert(char32_t ch) const;
    // The family the outline really comes from (after any fallback).
    std::string ActualFamily() const;
    // True when that font has a glyph of its own for `ch` (a blank one included); false
    // where it would give its empty box.
    bool HasCharacter(char32_t ch) const;

private:
    int m_precision = 8;
};

// The strokes as an SVG document: one path, a subpath per stroke, y turned to point down.
std::string StrokesToSvg(const TStrokeCollection& strokes);
