#include "QuickBackPresets.h"

#include "graphics/Exception.h"
#include "graphics/FileWrite.h"
#include "graphics/NumberRules.h"
#include "platform/AppDir.h"

#include <algorithm>
#include <cctype>
#include <filesystem>
#include <system_error>

const char* const kErrorInPresets = "Error in Presets";

std::string QuickBackPresetsFile()
{
    return AppDir() + "PainterQB.txt";
}

std::string PresetLine(const std::string& name, const TQuickBackSettings& s)
{
    std::string line = name + "=";
    const int values[7] = {s.RedMode, s.GreenMode, s.BlueMode, s.RedOffset, s.GreenOffset, s.BlueOffset, s.Factor};
    for (int i = 0; i < 7; ++i)
        line += (i ? "," : "") + std::to_string(values[i]);
    return line;
}

std::string PresetName(const std::string& line)
{
    return line.substr(0, line.find('='));
}

TPresetRead ReadPreset(const std::string& line, TQuickBackSettings& settings)
{
    const std::size_t eq = line.find('=');
    if (eq == std::string::npos)
        return TPresetRead::NotAPreset;
    TQuickBackSettings read = settings;
    int* const fields[7] = {&read.RedMode,   &read.GreenMode,   &read.BlueMode, &read.RedOffset,
                            &read.GreenOffset, &read.BlueOffset, &read.Factor};
    // What the window's controls hold.
    constexpr int kF = kQuickBackFunctionCount - 1;
    constexpr int kLow[7] = {0, 0, 0, 0, 0, 0, kQuickBackMinFactor};
    constexpr int kHigh[7] = {kF, kF, kF, 255, 255, 255, kQuickBackMaxFactor};
    std::size_t pos = eq + 1;
    for (int i = 0; i < 7; ++i) {
        if (pos > line.size()) { // fewer than seven values
            settings = read;
            return TPresetRead::Error;
        }
        const std::size_t comma = std::min(line.find(',', pos), line.size());
        int value = 0;
        if (!TryParseInt(line.substr(pos, comma - pos), value)) {
            settings = read;
            return TPresetRead::Error;
        }
        if (value < kLow[i] || value > kHigh[i])
            return TPresetRead::Error;
        *fields[i] = value;
        pos = comma + 1;
    }
    settings = read;
    return TPresetRead::Read;
}

void SortPresets(std::vector<std::string>& lines)
{
    const auto key = [](const std::string& s) {
        std::string k = s;
        std::transform(k.begin(), k.end(), k.begin(), [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
        return k;
    };
    std::stable_sort(lines.begin(), lines.end(), [&](const std::string& a, const std::string& b) {
        const std::string ka = key(a), kb = key(b);
        return ka != kb ? ka < kb : a < b;
    });
}

std::vector<std::string> ParsePresets(const std::uint8_t* data, std::size_t size)
{
    std::vector<std::string> lines;
    std::size_t start = 0;
    while (start < size) {
        std::size_t end = start;
        while (end < size && data[end] != '\n')
            ++end;
        std::string line(reinterpret_cast<const char*>(data) + start, end - start);
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        const bool blank = std::all_of(line.begin(), line.end(), [](unsigned char c) { return std::isspace(c); });
        if (!blank)
            lines.push_back(std::move(line));
        start = end + 1;
    }
    SortPresets(lines);
    return lines;
}

std::string PresetsText(const std::vector<std::string>& lines)
{
    std::string text;
    for (const std::string& line : lines)
        text += line + "\n";
    return text;
}

std::vector<std::string> LoadPresetsFile(const std::string& path)
{
    std::error_code ec;
    const auto status = std::filesystem::status(path, ec);
    if (status.type() == std::filesystem::file_type::not_found)
        return {};
    if (ec || status.type() != std::filesystem::file_type::regular)
        throw Exception("Unable to read " + path + ": not a file");
    const std::uintmax_t size = std::filesystem::file_size(path, ec);
    if (ec)
        throw Exception("Unable to read " + path);
    if (size > kMaxPresetsFileBytes)
        throw Exception("Unable to read " + path + ": the presets file is larger than "
                        + std::to_string(kMaxPresetsFileBytes >> 20) + " MB");
    const std::vector<std::uint8_t> bytes = ReadFileBytes(path);
    return ParsePresets(bytes.data(), bytes.size());
}

void SavePresetsFile(const std::string& path, const std::vector<std::string>& lines)
{
    WriteFileAtomic(path, PresetsText(lines));
}
