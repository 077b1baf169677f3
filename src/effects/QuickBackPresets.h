// The QuickBack presets file "PainterQB.txt": one preset a line, the name, "=", then the
// three function indices (red, green, blue), the three offsets (red, green, blue) and the
// factor as decimal numbers separated by ",". The list keeps the lines sorted by their
// text; only the part before the first "=" is shown.
#pragma once

#include "QuickBack.h"

#include <cstdint>
#include <string>
#include <vector>

// The message of a preset that cannot be used.
extern const char* const kErrorInPresets; // "Error in Presets"

// AppDir() + "PainterQB.txt".
std::string QuickBackPresetsFile();

// "name=r,g,b,ro,go,bo,f".
std::string PresetLine(const std::string& name, const TQuickBackSettings& settings);
// The text before the first "=" (the whole line when there is none).
std::string PresetName(const std::string& line);

enum class TPresetRead {
    NotAPreset, // the line has no "=": nothing happens
    Read,       // all seven values read into the settings
    Error,      // "Error in Presets"
};
// Reads the seven values after the first "=" in order (extra values are ignored). A value
// that is missing or not a whole number ends the reading with Error and leaves the values
// read before it in `settings`. A value outside what the window's controls hold (functions
// 0..40, offsets 0..255, factor 16..255; a factor of 0 would divide by zero) is an Error
// that changes nothing at all.
TPresetRead ReadPreset(const std::string& line, TQuickBackSettings& settings);

// Orders preset lines as the list shows them: by text, letter case ignored first.
void SortPresets(std::vector<std::string>& lines);
// The lines of a presets file, sorted; blank lines are left out, "\r\n" ends lines too.
std::vector<std::string> ParsePresets(const std::uint8_t* data, std::size_t size);
// The file as written: every line followed by "\n".
std::string PresetsText(const std::vector<std::string>& lines);

// Largest presets file read (a file of a hundred thousand presets is still far below it).
constexpr std::uintmax_t kMaxPresetsFileBytes = 16u << 20;
// The presets of `path`; none when the file does not exist. Throws Exception for a path
// that is not a regular file, a file larger than kMaxPresetsFileBytes or one that cannot
// be read.
std::vector<std::string> LoadPresetsFile(const std::string& path);
// Writes the whole list, whole or not at all: a failure leaves the old file as it was.
void SavePresetsFile(const std::string& path, const std::vector<std::string>& lines);
