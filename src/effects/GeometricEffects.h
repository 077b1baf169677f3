// Operations of the effects library that move pixels: rotation, fish-eye, twist, waves,
// squeezes, shakes, folds, flips and mirrors, tilings, displacement by a map, the wing
// distortions, smooth resizing and filtered resampling, and the rotated-ellipse drawer.
//
// All pixel work is on 24-bit bitmaps (blue, green, red). Inputs of another format are
// read through a 24-bit copy; destinations are made 24-bit. A source may be the very
// bitmap given as destination: the operation then reads a copy taken before it starts.
//
// Several operations do not paint all of their destination; the comments say so. The
// unpainted pixels keep whatever the destination held before the call.
#pragma once

#include "graphics/Bitmap.h"

#include <string>
#include <vector>

class TCanvas;

namespace qorFX {

// Rotates `source` by `angle` degrees about (cx, cy) into `dest`, bilinear. Destination
// pixels whose source point falls outside the source are not written. A destination of
// another size than the source is centred on it.
void SmoothRotate(const TBitmap& source, TBitmap& dest, int cx, int cy, double angle);

// Fish-eye lens over the whole destination (every pixel written), single precision.
// Where the lens formula has no value (a distance equal to amount x width, a zero
// amount) the centre of the source is sampled.
void FishEye(const TBitmap& source, TBitmap& dest, double amount);

// Whirl about the centre, single precision. Writes dest over the source's size (clipped
// to the destination). Amount 0 leaves out the twist term (the limit of large amounts).
void Twist(const TBitmap& source, TBitmap& dest, int amount);

// Sine displacement of the rows, in place. Style 0 plain, 1 extra (sin x cos), 2 with
// `inference`; other styles act as 0. Amounts of 0 or less leave the bitmap unchanged.
void Wave(TBitmap& bitmap, int amount, double inference, int style);

// Draws every row of `source` squeezed into a span of the destination's row; outside
// the span the destination keeps its pixels. Styles 7 Horizontal, 8 Top, 9 Bottom,
// 10 Diamond, 11 Waste, 12 Round, 13 Round Double; other styles draw nothing.
// Negative amounts count as 0.
void Squeeze(const TBitmap& source, TBitmap& dest, int amount, int style);

// Bilinear resize of `source` onto the whole of `dest` (its size stays), 15-bit fixed point.
void SmoothResize(const TBitmap& source, TBitmap& dest);

// dest := copy of source, then count x count smooth copies tiled over it; no tiles when a
// tile would be narrower or lower than 5 pixels. The right and bottom margins keep the copy.
void TileSmooth(const TBitmap& source, TBitmap& dest, int count);

// Resampling filters, by their user-visible names.
enum class TResampleFilter { Box, Triangle, Hermite, Bell, BSpline, Lanczos3, Mitchell };

struct TResampleFilterInfo {
    const char* name;       // "Box", "Triangle", "Hermite", "Bell", "B-Spline", "Lanczos3", "Mitchell"
    TResampleFilter filter;
    float support;          // reach of the kernel
};
const std::vector<TResampleFilterInfo>& ResampleFilters();
// Filter by name (letter case ignored); nullptr when unknown.
const TResampleFilterInfo* FindResampleFilter(const std::string& name);
// The kernel k(x), single precision.
float ResampleKernel(TResampleFilter filter, float x);

// One source pixel's share of a destination pixel.
struct TContributor {
    int pixel;
    float weight;
};
// Contributor lists of every destination index of one axis (source size -> destination
// size): non-zero weights only, source indices mirrored at the edges and kept inside.
std::vector<std::vector<TContributor>> ResampleContributors(int sourceSize, int destSize,
                                                            TResampleFilter filter, float support);

// Filtered resampling of `source` onto the whole of `dest` (its size stays). Throws
// EInvalidGraphic "Source bitmap too small" for an empty source; dest is untouched then.
void Resample(const TBitmap& source, TBitmap& dest, TResampleFilter filter, float support);

// dest := copy of first; `second` resampled (B-Spline) to scale x first's size is drawn
// over it at (x, y). Only the part that lands inside dest is computed. A scale giving a
// negative, empty or unrepresentable size draws nothing.
void ScaleOnto(const TBitmap& first, const TBitmap& second, TBitmap& dest, double scale, int x, int y);

// Folds first over second: dest gets first's width and second's height, second on the
// left up to column Round(fraction x width), first's left part mirrored beyond it, first
// after that. Pixels a smaller source does not have are not written.
void Fold(const TBitmap& first, const TBitmap& second, TBitmap& dest, double fraction);

// dest := copy of source; odd rows shift right and even rows left by Round(fraction x
// width). No shift when that is 0, negative or more than half the width.
void ShakeHorizontal(const TBitmap& source, TBitmap& dest, double fraction);
// The same vertically: even columns move up, odd columns down.
void ShakeVertical(const TBitmap& source, TBitmap& dest, double fraction);

// Displaces the pixels of `source` by a vector chosen by the blue byte of `map` at the
// same place, into `dest`. Pixels whose source point lies outside (or outside the map)
// are not written. Amplitude is raised to 5, turbulence to 10.
void Plasma(const TBitmap& source, const TBitmap& map, TBitmap& dest, double amplitude, double turbulence);

// In place; other formats are turned into 24 bits first.
void FlipDown(TBitmap& bitmap);    // upside down
void FlipRight(TBitmap& bitmap);   // left to right
void MirrorDown(TBitmap& bitmap);  // the top half mirrored onto the bottom
void MirrorRight(TBitmap& bitmap); // the left half mirrored onto the right

// Triangle texture of the given size (at least 5, made odd), in place.
void Triangles(TBitmap& bitmap, int size);
// The picture shrunk to size x size (limited to half the bitmap) and tiled over itself.
void Tile(TBitmap& bitmap, int size);
// The same with tiles two thirds of a tile apart, so that they overlap.
void TileOverlap(TBitmap& bitmap, int size);

// The wing distortions: dest := copy of source, then every source pixel is moved to a
// target computed from period and amplitude. A period or amplitude of 0 leaves the copy.
void WingsDeep(const TBitmap& source, TBitmap& dest, int period, double amplitude);
void WingsDown(const TBitmap& source, TBitmap& dest, int period, double amplitude);
void WingsUp(const TBitmap& source, TBitmap& dest, int period, double amplitude);
void WingsFold(const TBitmap& source, TBitmap& dest, int period, double amplitude);
void WingsTouche(const TBitmap& source, TBitmap& dest, int period, double amplitude);
void WingsFlyer(const TBitmap& source, TBitmap& dest, int period, double amplitude);
void WingsFlipover(const TBitmap& source, TBitmap& dest, int period, double amplitude);
void WingsWavy(const TBitmap& source, TBitmap& dest, int period, double amplitude);

// Ellipse of half-axes rx, ry about (cx, cy), turned by `angle` radians (clockwise on
// screen), as eight Bézier segments: stroked with the canvas's pen, filled with its brush
// when `filled`.
void DrawRotatedEllipse(TCanvas& canvas, bool filled, double angle, double rx, double ry, double cx, double cy);
// The 25 Bézier points DrawRotatedEllipse draws.
std::vector<TPoint> RotatedEllipsePoints(double angle, double rx, double ry, double cx, double cy);

} // namespace qorFX
