// Stand-in until the geometric operations join the library: an empty catalog.
#include "EffectCatalog.h"

const std::vector<TEffectEntry>& GeometricEffectCatalog()
{
    static const std::vector<TEffectEntry> none;
    return none;
}
