// The number typed at a prompt that takes only a range. Each command keeps its own rule for
// a number outside the range (held at the nearer end, or not used) and for text that is no
// whole number; whenever the value used is not the one typed, the user is told so.
#pragma once

#include <optional>
#include <string>

enum class TRangeRule { Clamp, Ignore };

// `typed` read as a whole number in low..high. `what` names the value in the message ("the
// default frame delay"). Returns the value to use, or nullopt when nothing is to change:
// - a number in the range: itself;
// - outside it: Clamp gives the nearer end, Ignore gives nullopt;
// - text that is no whole number: `unreadable` (nullopt: not used).
// Every answer but the first kind shows an information message saying what happened.
std::optional<int> RangedAnswer(const std::string& typed, const std::string& what, int low, int high, TRangeRule rule,
                                std::optional<int> unreadable = std::nullopt);
