#include "QuickBack.h"

#include "graphics/Exception.h"
#include "graphics/NumberRules.h"

#include <algorithm>
#include <cctype>
#include <cstdint>
#include <vector>

namespace {

const char* const kNames[kQuickBackFunctionCount] = {
    "Prod",      "Sum",       "Sub",       "Xor",       "And",        "OutAnd",      "InAnd",
    "OutXor",    "InXor",     "OutMod",    "InMod",     "ProdXor",    "SumXor",      "SubXor",
    "ProdAnd",   "SumAnd",    "SubAnd",    "Inner",     "Outer",      "OutRed",      "InRed",
    "OutGreen",  "InGreen",   "Outblue",   "InBlue",    "InModOut",   "OutModIn",    "OutModIn2",
    "ModMod",    "ModModXor", "Mod3",      "ModModSub", "ModModAdd",  "ModModAnd",   "ModModOr",
    "Xor3",      "XOr3Mod",   "SubXorSum", "SubProdSum", "ProdProdSum", "DrawXor",
};

std::string lower(std::string s)
{
    std::transform(s.begin(), s.end(), s.begin(), [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return s;
}

using u32 = std::uint32_t;

// One row of function `mode` into out[0..w-1]. Only the low byte of each value matters, so
// everything is computed in wrapping 32-bit arithmetic; remainders keep the sign of the
// dividend. The remainders of x that repeat along a row come from `xmod` (x mod F) or run
// as counters, so no row needs a division per pixel except Xor and And.
void functionRow(int mode, int y, int w, const TQuickBackSettings& s, const std::vector<u32>& xmod, u32* out)
{
    const int f = s.Factor;
    const u32 F = static_cast<u32>(f);
    const u32 Y = static_cast<u32>(y);
    const u32 ym = static_cast<u32>(y % f);
    auto each = [&](auto&& fn) {
        for (int x = 0; x < w; ++x)
            out[x] = fn(static_cast<u32>(x), x);
    };
    // x mod d for x = 0, 1, ... as a counter.
    auto countMod = [&](u32 d) {
        u32 r = 0;
        for (int x = 0; x < w; ++x) {
            out[x] = r;
            if (++r == d)
                r = 0;
        }
    };
    switch (mode) {
    case 0: { // (y x) mod F: the remainder grows by y mod F per column
        u32 r = 0;
        for (int x = 0; x < w; ++x) {
            out[x] = r;
            r += ym;
            if (r >= F)
                r -= F;
        }
        break;
    }
    case 1: { // (y + x) mod F
        u32 r = ym;
        for (int x = 0; x < w; ++x) {
            out[x] = r;
            if (++r == F)
                r = 0;
        }
        break;
    }
    case 2: { // (x - y) mod F: negative left of the diagonal
        const int left = std::min(y, w);
        u32 r = ym; // (y - x) mod F, falling
        for (int x = 0; x < left; ++x) {
            out[x] = 0u - r;
            r = r == 0 ? F - 1 : r - 1;
        }
        r = 0;
        for (int x = left; x < w; ++x) {
            out[x] = r;
            if (++r == F)
                r = 0;
        }
        break;
    }
    case 3: each([&](u32 X, int) { return (Y ^ X) % F; }); break;
    case 4: each([&](u32 X, int) { return (Y & X) % F; }); break;
    case 5: each([&](u32 X, int) { return F & X; }); break;
    case 6: std::fill(out, out + w, F & Y); break;
    case 7: each([&](u32 X, int) { return X ^ F; }); break;
    case 8: std::fill(out, out + w, Y ^ F); break;
    case 9: std::copy(xmod.begin(), xmod.begin() + w, out); break;
    case 10: std::fill(out, out + w, ym); break;
    case 11: each([&](u32 X, int) { return (Y * X) ^ F; }); break;
    case 12: each([&](u32 X, int) { return (Y + X) ^ F; }); break;
    case 13: each([&](u32 X, int) { return (X - Y) ^ F; }); break;
    case 14: each([&](u32 X, int) { return (Y * X) & F; }); break;
    case 15: each([&](u32 X, int) { return (Y + X) & F; }); break;
    case 16: each([&](u32 X, int) { return (X - Y) & F; }); break;
    case 17: std::fill(out, out + w, Y); break;
    case 18: each([&](u32 X, int) { return X; }); break;
    case 19: each([&](u32 X, int) { return X * static_cast<u32>(s.RedOffset); }); break;
    case 20: std::fill(out, out + w, Y * static_cast<u32>(s.RedOffset)); break;
    case 21: each([&](u32 X, int) { return X * static_cast<u32>(s.GreenOffset); }); break;
    case 22: std::fill(out, out + w, Y * static_cast<u32>(s.GreenOffset)); break;
    case 23: each([&](u32 X, int) { return X * static_cast<u32>(s.BlueOffset); }); break;
    case 24: std::fill(out, out + w, Y * static_cast<u32>(s.BlueOffset)); break;
    case 25: // y mod F left of column F, y mod x beyond: y itself once x passes y
        each([&](u32 X, int) { return X < F ? ym : (X > Y ? Y : Y % X); });
        break;
    case 26: countMod(Y < F ? F : Y); break;  // x mod F above row F, x mod y below
    case 27: countMod(Y + 2); break;          // (x mod (y + 2)) mod (x + y + 2): the outer mod never bites
    case 28: each([&](u32, int x) { return xmod[x] * ym; }); break;
    case 29: each([&](u32, int x) { return xmod[x] ^ ym; }); break;
    case 30: { // (x mod F) mod ((y mod F) + 1): a counter that restarts with x mod F
        const u32 d = ym + 1;
        u32 r = 0;
        for (int x = 0; x < w; ++x) {
            if (xmod[x] == 0)
                r = 0;
            out[x] = r;
            if (++r == d)
                r = 0;
        }
        break;
    }
    case 31: each([&](u32, int x) { return xmod[x] - ym; }); break;
    case 32: each([&](u32, int x) { return xmod[x] + ym; }); break;
    case 33: each([&](u32, int x) { return xmod[x] & ym; }); break;
    case 34: each([&](u32, int x) { return xmod[x] | ym; }); break;
    case 35: each([&](u32 X, int) { return X ^ F ^ Y; }); break;
    case 36: each([&](u32 X, int) { return X; }); break;
    case 37: each([&](u32 X, int) { return (X - Y) ^ (X + Y); }); break;
    case 38: each([&](u32 X, int) { return (X + Y) * (X - Y); }); break;
    case 39: each([&](u32 X, int) { return (Y * X) * (Y + X); }); break;
    case 40: each([&](u32 X, int) { return (X - F) ^ (Y + F); }); break;
    default: std::fill(out, out + w, 0u); break;
    }
}

} // namespace

const char* QuickBackFunctionName(int mode)
{
    return mode >= 0 && mode < kQuickBackFunctionCount ? kNames[mode] : "";
}

int FindQuickBackFunction(const std::string& text)
{
    int index = -1;
    if (TryParseInt(text, index))
        return index >= 0 && index < kQuickBackFunctionCount ? index : -1;
    const std::string wanted = lower(text);
    for (int i = 0; i < kQuickBackFunctionCount; ++i)
        if (lower(kNames[i]) == wanted)
            return i;
    return -1;
}

int QuickBackValue(int mode, int y, int x, const TQuickBackSettings& s)
{
    const std::int64_t F = std::max(s.Factor, 1);
    const std::int64_t X = x, Y = y;
    std::int64_t v = 0;
    switch (mode) {
    case 0: v = (Y * X) % F; break;
    case 1: v = (Y + X) % F; break;
    case 2: v = (X - Y) % F; break;
    case 3: v = (Y ^ X) % F; break;
    case 4: v = (Y & X) % F; break;
    case 5: v = F & X; break;
    case 6: v = F & Y; break;
    case 7: v = X ^ F; break;
    case 8: v = Y ^ F; break;
    case 9: v = X % F; break;
    case 10: v = Y % F; break;
    case 11: v = (Y * X) ^ F; break;
    case 12: v = (Y + X) ^ F; break;
    case 13: v = (X - Y) ^ F; break;
    case 14: v = (Y * X) & F; break;
    case 15: v = (Y + X) & F; break;
    case 16: v = (X - Y) & F; break;
    case 17: v = Y; break;
    case 18: v = X; break;
    case 19: v = X * s.RedOffset; break;
    case 20: v = Y * s.RedOffset; break;
    case 21: v = X * s.GreenOffset; break;
    case 22: v = Y * s.GreenOffset; break;
    case 23: v = X * s.BlueOffset; break;
    case 24: v = Y * s.BlueOffset; break;
    case 25: v = X < F ? Y % F : Y % X; break;
    case 26: v = Y < F ? X % F : X % Y; break;
    case 27: v = (X % (Y + 2)) % (X + Y + 2); break;
    case 28: v = (X % F) * (Y % F); break;
    case 29: v = (X % F) ^ (Y % F); break;
    case 30: v = (X % F) % ((Y % F) + 1); break;
    case 31: v = (X % F) - (Y % F); break;
    case 32: v = (X % F) + (Y % F); break;
    case 33: v = (X % F) & (Y % F); break;
    case 34: v = (X % F) | (Y % F); break;
    case 35: v = X ^ F ^ Y; break;
    case 36: v = X; break;
    case 37: v = (X - Y) ^ (X + Y); break;
    case 38: v = (X + Y) * (X - Y); break;
    case 39: v = (Y * X) * (Y + X); break;
    case 40: v = (X - F) ^ (Y + F); break;
    default: break;
    }
    // The low 32 bits, as the wrapping 32-bit arithmetic of the rows (functionRow) leaves them.
    return static_cast<int>(static_cast<u32>(static_cast<std::uint64_t>(v)));
}

void GenerateQuickBack(TBitmap& dest, const TQuickBackSettings& s)
{
    for (int mode : {s.RedMode, s.GreenMode, s.BlueMode})
        if (mode < 0 || mode >= kQuickBackFunctionCount)
            throw EInvalidArgument("No backdrop function " + std::to_string(mode));
    if (s.Factor < 1 || s.Factor > 255)
        throw EInvalidArgument("Backdrop factor " + std::to_string(s.Factor) + " is outside 1..255");
    if (dest.PixelFormat() != TPixelFormat::pf24bit)
        dest.SetPixelFormat(TPixelFormat::pf24bit);
    const int w = dest.Width(), h = dest.Height();
    if (w == 0 || h == 0)
        return;
    std::vector<u32> xmod(static_cast<std::size_t>(w));
    for (int x = 0, r = 0; x < w; ++x) {
        xmod[static_cast<std::size_t>(x)] = static_cast<u32>(r);
        if (++r == s.Factor)
            r = 0;
    }
    const int modes[3] = {s.RedMode, s.GreenMode, s.BlueMode};
    const u32 ro = static_cast<u32>(s.RedOffset), go = static_cast<u32>(s.GreenOffset), bo = static_cast<u32>(s.BlueOffset);
    std::vector<u32> values[3];
    for (std::vector<u32>& v : values)
        v.resize(static_cast<std::size_t>(w));
    // Channels with the same function share a row of values.
    const u32* rows[3] = {values[0].data(), modes[1] == modes[0] ? values[0].data() : values[1].data(),
                          modes[2] == modes[0]   ? values[0].data()
                          : modes[2] == modes[1] ? values[1].data()
                                                 : values[2].data()};
    for (int y = 0; y < h; ++y) {
        for (int c = 0; c < 3; ++c)
            if (rows[c] == values[c].data())
                functionRow(modes[c], y, w, s, xmod, values[c].data());
        std::uint8_t* p = dest.ScanLine(y);
        const u32 *r0 = rows[0], *r1 = rows[1], *r2 = rows[2];
        for (int x = 0; x < w; ++x, p += 3) {
            p[0] = static_cast<std::uint8_t>(r0[x] + ro);
            p[1] = static_cast<std::uint8_t>(r1[x] + go);
            p[2] = static_cast<std::uint8_t>(r2[x] + bo);
        }
    }
}
