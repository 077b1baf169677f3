// User vector shapes: a name, "=", then the vertices of a polygon as comma-separated
// fractions of the drawing box, x then y ("usrRectangle=0,0,1,0,1,1,0,1").
#pragma once

#include <optional>
#include <string>
#include <vector>

struct TUserPoint {
    double X = 0;
    double Y = 0;
    friend bool operator==(const TUserPoint&, const TUserPoint&) = default;
};

constexpr int kMaxUserPoints = 50;

// The list after the first "=" split the way a string list reads its comma text: items
// separated by commas or blanks, an item in double quotes may hold both (two quotes stand
// for one), a comma at the very end adds an empty item.
std::vector<std::string> SplitCommaText(const std::string& text);

// A number of a user vector string: blanks around it allowed, an optional sign, digits
// with an optional "." fraction, an optional exponent. Values too large for a double are
// refused.
std::optional<double> ParseFloatText(const std::string& text);

// The points of a user vector string; nullopt when the string is to be ignored: empty, no
// "=", no items, an odd count, more than 100 items, or an item that is not a number.
std::optional<std::vector<TUserPoint>> ParseUserVectorString(const std::string& value);

// The name before the "=" (the whole text when there is none).
std::string UserVectorName(const std::string& value);
