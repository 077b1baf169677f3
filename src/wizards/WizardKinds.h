// The 105 wizard kinds as data: menu path, the frame copies a kind reads, its step(s).
#pragma once

#include "WizardStep.h"

#include <vector>

constexpr int kWizardKindCount = 105;

// Which frame copies a kind reads.
enum class TWizardUses {
    A,      // the current frame only
    AB,     // both frames
    AThenB, // A in the first pass, B in the second
};

enum class TWizardGroup { Transition, Effect, Text, Actor };

struct TWizardKind {
    int Kind;
    const char* MenuPath;  // captions under "Wizards", submenu levels separated by '/'
    const char* Operation; // generator or effects-library operation the step uses
    TWizardUses Uses;
    TWizardGroup Group;
    TWizardStep Pass1;
    TWizardStep Pass2;     // nullptr for kinds with one pass

    bool TwoPasses() const { return Pass2 != nullptr; }
};

// All kinds, indexed by kind number.
const std::vector<TWizardKind>& WizardKinds();
// nullptr when `kind` is outside 0..104.
const TWizardKind* FindWizardKind(int kind);
// Images one run makes: n, or 2n for the two-pass kinds; 0 for unknown kinds.
int WizardImageCount(int kind, int n);
