// Stand-in until the pixel operations' catalog is merged: no pixel entries, and a lookup
// over both catalogs.
#include "EffectCatalog.h"

#include <strings.h>

const std::vector<TEffectEntry>& PixelEffectCatalog()
{
    static const std::vector<TEffectEntry> none;
    return none;
}

const TEffectEntry* FindEffect(const std::string& name)
{
    for (const auto* catalog : {&PixelEffectCatalog(), &GeometricEffectCatalog()})
        for (const auto& e : *catalog)
            if (strcasecmp(e.name.c_str(), name.c_str()) == 0)
                return &e;
    return nullptr;
}
