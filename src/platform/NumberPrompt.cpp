#include "NumberPrompt.h"

#include "Ui.h"

#include "graphics/NumberRules.h"

std::optional<int> RangedAnswer(const std::string& typed, const std::string& what, int low, int high, TRangeRule rule,
                                std::optional<int> unreadable)
{
    int value = 0;
    std::string told;
    std::optional<int> used;
    if (!TryParseInt(typed, value)) {
        used = unreadable;
        told = "\"" + typed + "\" is not a whole number";
    } else if (value >= low && value <= high) {
        return value;
    } else {
        if (rule == TRangeRule::Clamp)
            used = value < low ? low : high;
        told = std::to_string(value) + " is outside " + std::to_string(low) + ".." + std::to_string(high);
    }
    if (used)
        told += ": " + what + " is " + std::to_string(*used) + ".";
    else
        told += ": " + what + " stays as it was.";
    UI().MessageDlg(told, TMsgDlgType::mtInformation);
    return used;
}
