// Dithering engines: each takes the source pixels of a row in its own serpentine order
// (left to right on the first row, reversing at every NextLine) and returns palette
// indices from a lookup. Engines are templates over the lookup type so the pixel loop
// makes no virtual calls.
#pragma once

#include "ColorReduction.h"
#include "graphics/NumberRules.h"

#include <algorithm>
#include <array>
#include <vector>

// A lookup's View() where it has one (the same answers through pointers a pixel loop
// keeps in registers), else the lookup itself.
template <class TLookup>
decltype(auto) viewOf(TLookup& lookup)
{
    if constexpr (requires { lookup.View(); })
        return lookup.View();
    else
        return (lookup);
}

// Nearest colour: the pixel goes to the lookup as it is. The base of the other engines,
// which keep the same direction and column.
template <class TLookup>
class TDitherEngine {
public:
    TDitherEngine(int width, TLookup& lookup) : m_lookup(lookup), m_width(width) {}

    int Width() const { return m_width; }
    // +1 while the row runs left to right, -1 while it runs right to left.
    int Direction() const { return m_direction; }
    // The column the next Dither call stands for.
    int Column() const { return m_column; }

    int Dither(int red, int green, int blue, int& r, int& g, int& b)
    {
        const int index = m_lookup.Lookup(ClampByte(red), ClampByte(green), ClampByte(blue), r, g, b);
        m_column += m_direction;
        return index;
    }

    void NextLine()
    {
        m_direction = -m_direction;
        m_column = m_direction > 0 ? 0 : m_width - 1;
    }

protected:
    TLookup& m_lookup;
    int m_width;
    int m_direction = 1;
    int m_column = 0;
};

// One weight of an error-diffusion kernel: `row` 0 is the current row, `offset` counts in
// the scanning direction (+1 is the next pixel ahead).
struct TDiffusionWeight {
    int row;
    int offset;
    int weight;
};

// Error diffusion with a fixed kernel. Errors are integers per channel kept in `Rows`
// rows of width + 2 * margin cells; the margins take the error that falls off either end
// of a row. The value handed to the lookup is source + (error + divisor div 2) div
// divisor (truncated toward zero), clamped to 0..255; the error of a channel is that
// value minus the channel of the returned palette colour.
template <class TLookup, class TKernel>
class TErrorDiffusionDitherer : public TDitherEngine<TLookup> {
    static constexpr int kRows = TKernel::kRows;
    static constexpr int kMargin = TKernel::kMargin;
    static constexpr int kDivisor = TKernel::kDivisor;

public:
    TErrorDiffusionDitherer(int width, TLookup& lookup)
        : TDitherEngine<TLookup>(width, lookup),
          m_stride(3 * (std::max(width, 0) + 2 * kMargin)),
          m_errors(static_cast<std::size_t>(kRows) * m_stride, 0)
    {
        for (int i = 0; i < kRows; ++i)
            m_rows[i] = m_errors.data() + static_cast<std::size_t>(i) * m_stride;
    }

    int Dither(int red, int green, int blue, int& r, int& g, int& b)
    {
        const int column = this->m_column + kMargin;
        const int* error = m_rows[0] + 3 * column;
        const int vr = ClampByte(red + Div(error[0] + kDivisor / 2, kDivisor));
        const int vg = ClampByte(green + Div(error[1] + kDivisor / 2, kDivisor));
        const int vb = ClampByte(blue + Div(error[2] + kDivisor / 2, kDivisor));
        const int index = this->m_lookup.Lookup(vr, vg, vb, r, g, b);
        const int er = vr - r, eg = vg - g, eb = vb - b;
        const int direction = this->m_direction;
#pragma GCC unroll 16
        for (const TDiffusionWeight& w : TKernel::kWeights) {
            int* cell = m_rows[w.row] + 3 * (column + w.offset * direction);
            cell[0] += er * w.weight;
            cell[1] += eg * w.weight;
            cell[2] += eb * w.weight;
        }
        this->m_column += direction;
        return index;
    }

    // Clears the finished row and rotates: the next row becomes current, the cleared one
    // becomes the last.
    void NextLine()
    {
        TDitherEngine<TLookup>::NextLine();
        int* done = m_rows[0];
        std::fill(done, done + m_stride, 0);
        for (int i = 0; i + 1 < kRows; ++i)
            m_rows[i] = m_rows[i + 1];
        m_rows[kRows - 1] = done;
    }

protected:
    int* currentRow() { return m_rows[0]; }
    int* nextRow() { return m_rows[kRows - 1]; }

private:
    int m_stride;
    std::vector<int> m_errors;
    std::array<int*, kRows> m_rows{};
};

struct TFloydSteinbergKernel {
    static constexpr int kRows = 2, kMargin = 1, kDivisor = 16;
    static constexpr std::array<TDiffusionWeight, 4> kWeights{{{0, 1, 7}, {1, -1, 3}, {1, 0, 5}, {1, 1, 1}}};
};

struct TStuckiKernel {
    static constexpr int kRows = 3, kMargin = 2, kDivisor = 42;
    static constexpr std::array<TDiffusionWeight, 12> kWeights{{
        {0, 1, 8}, {0, 2, 4},
        {1, -2, 2}, {1, -1, 4}, {1, 0, 8}, {1, 1, 4}, {1, 2, 2},
        {2, -2, 1}, {2, -1, 2}, {2, 0, 4}, {2, 1, 2}, {2, 2, 1},
    }};
};

struct TSierraKernel {
    static constexpr int kRows = 3, kMargin = 2, kDivisor = 32;
    static constexpr std::array<TDiffusionWeight, 10> kWeights{{
        {0, 1, 5}, {0, 2, 3},
        {1, -2, 2}, {1, -1, 4}, {1, 0, 5}, {1, 1, 4}, {1, 2, 2},
        {2, -1, 2}, {2, 0, 3}, {2, 1, 2},
    }};
};

struct TJaJuNiKernel {
    static constexpr int kRows = 3, kMargin = 2, kDivisor = 48;
    static constexpr std::array<TDiffusionWeight, 12> kWeights{{
        {0, 1, 7}, {0, 2, 5},
        {1, -2, 3}, {1, -1, 5}, {1, 0, 7}, {1, 1, 5}, {1, 2, 3},
        {2, -2, 1}, {2, -1, 3}, {2, 0, 5}, {2, 1, 3}, {2, 2, 1},
    }};
};

struct TSteveArcheKernel {
    static constexpr int kRows = 4, kMargin = 3, kDivisor = 200;
    static constexpr std::array<TDiffusionWeight, 12> kWeights{{
        {0, 2, 32},
        {1, -3, 12}, {1, -1, 26}, {1, 1, 30}, {1, 3, 16},
        {2, -2, 12}, {2, 0, 26}, {2, 2, 12},
        {3, -3, 5}, {3, -1, 12}, {3, 1, 12}, {3, 3, 5},
    }};
};

struct TBurkesKernel {
    static constexpr int kRows = 2, kMargin = 2, kDivisor = 32;
    static constexpr std::array<TDiffusionWeight, 7> kWeights{{
        {0, 1, 8}, {0, 2, 4},
        {1, -2, 2}, {1, -1, 4}, {1, 0, 8}, {1, 1, 4}, {1, 2, 2},
    }};
};

template <class TLookup>
class TFloydSteinbergDitherer final : public TErrorDiffusionDitherer<TLookup, TFloydSteinbergKernel> {
    using TBase = TErrorDiffusionDitherer<TLookup, TFloydSteinbergKernel>;

public:
    using TBase::TBase;

    // A whole row, the same values as Dither pixel by pixel: the error handed ahead and
    // the next row's cells still gathering errors stay in registers, and each cell of the
    // next row is stored once, when its last share has come (the row was cleared).
    void Row(const std::uint8_t* source, std::uint8_t* dest, int width)
    {
        const int dir = this->m_direction;
        int x = dir > 0 ? 0 : width - 1;
        const int* current = this->currentRow() + 3;
        int* next = this->nextRow() + 3;
        auto&& lookup = viewOf(this->m_lookup);
        int aheadR = 0, aheadG = 0, aheadB = 0;       // 7/16 shares for pixel x
        int hereR = 0, hereG = 0, hereB = 0;          // next row at x so far
        int behindR = 0, behindG = 0, behindB = 0;    // next row at x - dir so far
        for (int k = 0; k < width; ++k, x += dir) {
            const int* e = current + 3 * x;
            const std::uint8_t* p = source + 3 * x;
            const int vr = ClampByte(p[2] + (e[0] + aheadR + 8) / 16);
            const int vg = ClampByte(p[1] + (e[1] + aheadG + 8) / 16);
            const int vb = ClampByte(p[0] + (e[2] + aheadB + 8) / 16);
            int r, g, b;
            dest[x] = static_cast<std::uint8_t>(lookup.Lookup(vr, vg, vb, r, g, b));
            const int er = vr - r, eg = vg - g, eb = vb - b;
            int* done = next + 3 * (x - dir);
            done[0] = behindR + 3 * er;
            done[1] = behindG + 3 * eg;
            done[2] = behindB + 3 * eb;
            behindR = hereR + 5 * er;
            behindG = hereG + 5 * eg;
            behindB = hereB + 5 * eb;
            hereR = er;
            hereG = eg;
            hereB = eb;
            aheadR = 7 * er;
            aheadG = 7 * eg;
            aheadB = 7 * eb;
        }
        if (width > 0) {
            // The last pixel's shares: its own cell below and the margin beyond.
            int* last = next + 3 * (x - dir);
            last[0] = behindR;
            last[1] = behindG;
            last[2] = behindB;
            last[3 * dir] = hereR;
            last[3 * dir + 1] = hereG;
            last[3 * dir + 2] = hereB;
        }
        this->m_column = x;
        this->NextLine();
    }
};

// The three-row engines: current row, next row and the one after, two margin cells a side.
template <class TLookup, class TKernel>
class T5by3Ditherer : public TErrorDiffusionDitherer<TLookup, TKernel> {
    static_assert(TKernel::kRows == 3 && TKernel::kMargin == 2);

public:
    using TErrorDiffusionDitherer<TLookup, TKernel>::TErrorDiffusionDitherer;
};

template <class TLookup>
class TStuckiDitherer final : public T5by3Ditherer<TLookup, TStuckiKernel> {
public:
    using T5by3Ditherer<TLookup, TStuckiKernel>::T5by3Ditherer;
};

template <class TLookup>
class TSierraDitherer final : public T5by3Ditherer<TLookup, TSierraKernel> {
public:
    using T5by3Ditherer<TLookup, TSierraKernel>::T5by3Ditherer;
};

template <class TLookup>
class TJaJuNiDitherer final : public T5by3Ditherer<TLookup, TJaJuNiKernel> {
public:
    using T5by3Ditherer<TLookup, TJaJuNiKernel>::T5by3Ditherer;
};

template <class TLookup>
class TSteveArcheDitherer final : public TErrorDiffusionDitherer<TLookup, TSteveArcheKernel> {
public:
    using TErrorDiffusionDitherer<TLookup, TSteveArcheKernel>::TErrorDiffusionDitherer;
};

template <class TLookup>
class TBurkesDitherer final : public TErrorDiffusionDitherer<TLookup, TBurkesKernel> {
public:
    using TErrorDiffusionDitherer<TLookup, TBurkesKernel>::TErrorDiffusionDitherer;
};

// One row of 24-bit blue, green, red pixels through `engine` in its direction, indices to
// `dest`; then the engine turns to the next row.
template <class TEngine>
void DitherRow(TEngine& engine, const std::uint8_t* source, std::uint8_t* dest, int width)
{
    if constexpr (requires { engine.Row(source, dest, width); }) {
        engine.Row(source, dest, width);
        return;
    }
    int r, g, b;
    if (engine.Direction() > 0) {
        for (int x = 0; x < width; ++x)
            dest[x] = static_cast<std::uint8_t>(engine.Dither(source[3 * x + 2], source[3 * x + 1], source[3 * x], r, g, b));
    } else {
        for (int x = width - 1; x >= 0; --x)
            dest[x] = static_cast<std::uint8_t>(engine.Dither(source[3 * x + 2], source[3 * x + 1], source[3 * x], r, g, b));
    }
    engine.NextLine();
}

// Calls `run(engine)` with the engine of `dither` for rows of `width` over `lookup`.
template <class TLookup, class TRun>
void WithDitherEngine(TDitherMode dither, int width, TLookup& lookup, TRun&& run)
{
    switch (dither) {
    case dmNearest: {
        TDitherEngine<TLookup> e(width, lookup);
        return run(e);
    }
    case dmFloydSteinberg: {
        TFloydSteinbergDitherer<TLookup> e(width, lookup);
        return run(e);
    }
    case dmStucki: {
        TStuckiDitherer<TLookup> e(width, lookup);
        return run(e);
    }
    case dmSierra: {
        TSierraDitherer<TLookup> e(width, lookup);
        return run(e);
    }
    case dmJaJuNi: {
        TJaJuNiDitherer<TLookup> e(width, lookup);
        return run(e);
    }
    case dmSteveArche: {
        TSteveArcheDitherer<TLookup> e(width, lookup);
        return run(e);
    }
    case dmBurkes: {
        TBurkesDitherer<TLookup> e(width, lookup);
        return run(e);
    }
    }
}
