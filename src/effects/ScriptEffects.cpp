#include "ScriptEffects.h"

#include "EffectCatalog.h"

namespace {

std::string lowerAZ(std::string s)
{
    for (char& c : s)
        if (c >= 'A' && c <= 'Z')
            c = static_cast<char>(c - 'A' + 'a');
    return s;
}

} // namespace

const std::vector<TScriptEffect>& ScriptEffectTable()
{
    using K = TScriptValueKind;
    static const std::vector<TScriptEffect> table = {
        {"invert", "Invert", K::None, false},
        {"grayscale", "Grayscale", K::None, false},
        {"antialias", "AntiAlias", K::None, false},
        {"lighter", "Lightness", K::Integer, false},
        {"darker", "Darkness", K::Integer, false},
        {"contrast", "Contrast", K::Integer, false},
        {"soft", "Soften", K::Integer, false},
        {"saturation", "Saturation", K::Integer, false},
        {"emboss", "Emboss", K::None, false},
        {"blur", "GaussianBlur", K::Integer, false},
        {"flipdown", "FlipDown", K::None, false},
        {"flipright", "FlipRight", K::None, false},
        {"mirrordown", "MirrorDown", K::None, false},
        {"mirrorright", "MirrorRight", K::None, false},
        {"fisheye", "FishEye", K::Real, true},
        {"solarize", "Solarize", K::Integer, true},
        {"posterize", "Posterize", K::Integer, true},
        {"twist", "Twist", K::Integer, true},
    };
    return table;
}

const TScriptEffect* FindScriptEffect(const std::string& effectName)
{
    const std::string name = lowerAZ(effectName);
    for (const TScriptEffect& e : ScriptEffectTable())
        if (e.name == name)
            return &e;
    return nullptr;
}

bool ApplyScriptEffect(TBitmap& bitmap, const std::string& effectName, const TScriptValueSource& value)
{
    if (bitmap.PixelFormat() != TPixelFormat::pf24bit)
        bitmap.SetPixelFormat(TPixelFormat::pf24bit);
    const TScriptEffect* effect = FindScriptEffect(effectName);
    if (!effect)
        return false;
    std::vector<double> args;
    if (effect->value != TScriptValueKind::None)
        args.push_back(value ? value(effect->value) : 0.0);
    // Catalog entries of source-to-destination operations read a copy of the bitmap and
    // write the bitmap, which is what "from a copy" asks for.
    if (const TEffectEntry* op = FindEffect(effect->operation))
        ApplyEffect(*op, bitmap, args);
    return true;
}
