// The arithmetic rules every pixel operation follows, so results match to the pixel.
#pragma once

#include <cstdint>
#include <string>

// Nearest integer, halves to the even neighbour (2.5 -> 2, 3.5 -> 4).
std::int64_t Round(double x);
// Cuts toward zero.
std::int64_t Trunc(double x);
// a * b / c with a 64-bit intermediate, rounded to nearest with halves away from zero.
// Returns -1 when c is 0.
int MulDiv(int a, int b, int c);
// Integer division and remainder as the rest of the system means them: toward zero,
// remainder with the dividend's sign. C++ already does this; the names make intent plain.
constexpr int Div(int a, int b) { return a / b; }
constexpr int Mod(int a, int b) { return a % b; }
// Clamps to 0..255.
constexpr int ClampByte(int v) { return v < 0 ? 0 : (v > 255 ? 255 : v); }

// Reads a whole decimal number (optional sign, surrounding blanks allowed); false for
// anything else, including values outside int.
bool TryParseInt(const std::string& text, int& value);
// The number in `text`, or `def` when it is not one.
int StrToIntDef(const std::string& text, int def);
