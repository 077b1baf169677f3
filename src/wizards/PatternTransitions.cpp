// Transitions that pick A or B per row, column or cell: blinds and the checkerboard.
#include "Transitions.h"

#include "BlockCopy.h"

#include <cstdint>
#include <cstring>
#include <vector>

using namespace wizardpixels;

void BlindsDown(const TBitmap& A, const TBitmap& B, int i, int n, TBitmap& W)
{
    const int w = A.Width(), h = A.Height();
    SetWorkSize(W, w, h);
    const std::size_t bytes = static_cast<std::size_t>(w) * 3;
    for (int y = 0; y < h; ++y) {
        const TBitmap& src = (y % n) > i ? A : B;
        std::memcpy(W.ScanLine(y), src.ScanLine(y), bytes);
    }
}

void BlindsRight(const TBitmap& A, const TBitmap& B, int i, int n, TBitmap& W)
{
    const int w = A.Width(), h = A.Height();
    SetWorkSize(W, w, h);
    std::vector<char> fromA(static_cast<std::size_t>(w));
    for (int x = 0; x < w; ++x)
        fromA[static_cast<std::size_t>(x)] = (x % n) > i;
    for (int y = 0; y < h; ++y) {
        const std::uint8_t* a = A.ScanLine(y);
        const std::uint8_t* b = B.ScanLine(y);
        std::uint8_t* d = W.ScanLine(y);
        for (int x = 0; x < w; ++x) {
            const std::uint8_t* s = fromA[static_cast<std::size_t>(x)] ? a : b;
            d[3 * x] = s[3 * x];
            d[3 * x + 1] = s[3 * x + 1];
            d[3 * x + 2] = s[3 * x + 2];
        }
    }
}

void CheckerBoardRight(const TBitmap& A, const TBitmap& B, int i, int n, TBitmap& W)
{
    const int w = A.Width(), h = A.Height();
    AssignFrom(W, A);
    const int half = n / 2;
    const bool late = i > half;
    const int earlyEdge = 2 * i;
    const int lateEdge = late ? 2 * (i - half) : 0;
    for (int y = 0; y < h; ++y) {
        const int by = y / n;
        const std::uint8_t* b = B.ScanLine(y);
        std::uint8_t* d = W.ScanLine(y);
        for (int x = 0; x < w; ++x) {
            const bool early = ((x / n + by) % 2) == 1;
            const int u = x % n;
            if (u < (early ? earlyEdge : lateEdge)) {
                d[3 * x] = b[3 * x];
                d[3 * x + 1] = b[3 * x + 1];
                d[3 * x + 2] = b[3 * x + 2];
            }
        }
    }
}
