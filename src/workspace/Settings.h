// The settings file: window placement, three remembered folders, four numeric defaults,
// the memory limit, the GIF optimizer's Keep Frame Palettes, the autosave interval and the
// Recent list, kept in an INI file beside the program. Read once at start, written once at
// exit.
#pragma once

#include "graphics/MemoryBudget.h"

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

constexpr int kDefaultAutosaveSeconds = 60;

struct TSettings {
    // [Window]
    bool Maximized = false;
    int Left = 0;
    int Top = 0;
    int Width = 0;
    int Height = 0;
    // [Directories]
    std::string FramesDir;
    std::string OpenDir;
    std::string SaveDir;
    // [Frames]
    int WizardFrameCount = 10;
    int NewFrameWidth = 120;
    int NewFrameHeight = 60;
    int DefaultDelay = 10;
    // [Memory]: the memory budget for pixel data, "Limit" as a size such as 2G or 512M
    // (at least 1M); a value that is not a size reads as the default, 2G.
    std::uint64_t MemoryLimit = MemoryBudget::kDefaultLimit;
    // [Optimizer]
    bool KeepFramePalettes = false;
    // [Autosave] Seconds: how often a strip with unsaved changes is copied to the recovery
    // folder; 0 turns the autosave off (at most a day).
    int AutosaveSeconds = kDefaultAutosaveSeconds;
    // [Recent] File1..File10: the GIFs last opened or saved, the latest first.
    std::vector<std::string> RecentFiles;

    // Values in the file that cannot be read ("[Frames] Count=many"): their defaults are
    // used, and saving leaves them as written unless the setting was changed meanwhile.
    struct TUnreadable {
        std::string Section, Key, Text;
        std::string UsedText; // the default in force, as it would be written
    };
    std::vector<TUnreadable> Unreadable;
};

constexpr int kMaxRecentFiles = 10;

// Puts `path` (made absolute) first in `recent`, once, keeping at most kMaxRecentFiles.
void AddRecentFile(std::vector<std::string>& recent, const std::string& path);

// The memory limit a text gives ("2G", "512 MB", "1073741824"), raised to the smallest
// allowed; nothing when the text is not a size.
std::optional<std::uint64_t> ParseMemoryLimit(const std::string& text);

// Why a settings file cannot be used as it stands; empty when it can.
struct TSettingsProblem {
    std::string Message;
    bool Empty() const { return Message.empty(); }
};

// Reads the file over `defaults` (the designed placement, AppDir for the folders). Missing
// keys and values that are not numbers keep their defaults; WizardFrameCount is clamped to
// 4..50 and DefaultDelay to 10..255; a maximised window does not read its placement.
// A file that exists but cannot be read gives the defaults and a message in `problem`;
// so does one that is read-only (it is read, but will not be saved), and one with values
// that cannot be read (each named; see TSettings::Unreadable).
TSettings LoadSettings(const std::string& fileName, const TSettings& defaults, TSettingsProblem* problem = nullptr);

// Writes every key in order; the placement only when the window is not maximised, so a
// maximised close keeps the stored placement; an unreadable value whose setting was not
// changed stays as written. Throws Exception("Unable to write to
// <file>: <why>") at the first key that cannot be written (also for a read-only or
// unreadable file, which is never replaced); the remaining keys are not written.
void SaveSettings(const std::string& fileName, const TSettings& settings);
