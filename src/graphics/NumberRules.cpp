#include "NumberRules.h"

#include <cmath>
#include <cstdlib>

std::int64_t Round(double x)
{
    // The default floating-point mode rounds to nearest, ties to even.
    return static_cast<std::int64_t>(std::nearbyint(x));
}

std::int64_t Trunc(double x)
{
    return static_cast<std::int64_t>(std::trunc(x));
}

int MulDiv(int a, int b, int c)
{
    if (c == 0)
        return -1;
    std::int64_t num = static_cast<std::int64_t>(a) * b;
    std::int64_t den = c;
    if (den < 0) {
        num = -num;
        den = -den;
    }
    std::int64_t q = (std::llabs(num) * 2 + den) / (2 * den);
    return static_cast<int>(num < 0 ? -q : q);
}
