// The whole-picture effects scripts call by name (the scripting object's Effect method):
// lower-case names mapped onto operations of the effects library.
#pragma once

#include "graphics/Bitmap.h"

#include <functional>
#include <string>
#include <vector>

enum class TScriptValueKind { None, Integer, Real };

struct TScriptEffect {
    std::string name;      // lower-case script name, e.g. "blur"
    std::string operation; // catalog name of the operation, e.g. "GaussianBlur"
    TScriptValueKind value; // what the script's Value argument is converted to
    bool fromCopy;          // the operation reads a copy of the picture and writes the picture
};

// The table in the order names are compared.
const std::vector<TScriptEffect>& ScriptEffectTable();

// The entry for `effectName` with the letters A to Z lower-cased; nullptr when unknown.
const TScriptEffect* FindScriptEffect(const std::string& effectName);

// Converts the script's Value as the entry needs it (integers are whole numbers already);
// only called when the matched operation takes a value, so a value that would not convert
// never fails for the others.
using TScriptValueSource = std::function<double(TScriptValueKind)>;

// Makes `bitmap` 24-bit and applies the named effect to it. Returns false, changing no
// pixel, when the name is not in the table.
bool ApplyScriptEffect(TBitmap& bitmap, const std::string& effectName, const TScriptValueSource& value);
