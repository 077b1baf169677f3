#include "Settings.h"

#include "platform/IniFile.h"

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <unistd.h>

namespace fs = std::filesystem;

namespace {

// The same rule the INI helper writes by: a file without write permission is not replaced
// (a rename would do so even as root).
bool isReadOnly(const fs::path& path)
{
    std::error_code ec;
    const fs::file_status st = fs::status(path, ec);
    if (ec || !fs::is_regular_file(st))
        return false;
    const fs::perms write = fs::perms::owner_write | fs::perms::group_write | fs::perms::others_write;
    return (st.permissions() & write) == fs::perms::none || ::access(path.c_str(), W_OK) != 0;
}

// Something is there, but its lines cannot be read (a folder, no permission).
bool isUnreadable(const fs::path& path)
{
    std::error_code ec;
    const fs::file_status st = fs::status(path, ec);
    if (ec || !fs::exists(st))
        return false;
    if (!fs::is_regular_file(st))
        return true;
    std::ifstream in(path, std::ios::binary);
    return !in.good();
}

} // namespace

std::optional<std::uint64_t> ParseMemoryLimit(const std::string& text)
{
    const std::optional<std::uint64_t> bytes = MemoryBudget::ParseSize(text);
    if (!bytes)
        return std::nullopt;
    return std::max(*bytes, MemoryBudget::kMinimumLimit);
}

TSettings LoadSettings(const std::string& fileName, const TSettings& defaults, TSettingsProblem* problem)
{
    if (isUnreadable(fileName)) {
        if (problem)
            problem->Message = "Unable to read the settings file " + fileName + "; the default settings are used.";
        return defaults;
    }
    if (problem && isReadOnly(fileName))
        problem->Message = "The settings file " + fileName + " is read-only; changes to the settings will not be saved.";

    const TIniFile32 ini(fileName);
    TSettings s = defaults;
    // A value that is there but is no number (the reader falls back to either default).
    const auto checkInteger = [&](const char* section, const char* key, int used) {
        if (ini.ReadInteger(section, key, 0) != ini.ReadInteger(section, key, 1))
            if (const std::string text = ini.ReadString(section, key, ""); !text.empty())
                s.Unreadable.push_back({section, key, text, std::to_string(used)});
    };
    s.Maximized = ini.ReadBool("Window", "State", false);
    if (!s.Maximized) {
        s.Left = ini.ReadInteger("Window", "Left", defaults.Left);
        s.Top = ini.ReadInteger("Window", "Top", defaults.Top);
        s.Width = ini.ReadInteger("Window", "Width", defaults.Width);
        s.Height = ini.ReadInteger("Window", "Height", defaults.Height);
    }
    s.FramesDir = ini.ReadString("Directories", "Frames", defaults.FramesDir);
    s.OpenDir = ini.ReadString("Directories", "Open", defaults.OpenDir);
    s.SaveDir = ini.ReadString("Directories", "Save", defaults.SaveDir);
    s.WizardFrameCount = std::clamp(ini.ReadInteger("Frames", "Count", 10), 4, 50);
    s.NewFrameWidth = ini.ReadInteger("Frames", "Width", 120);
    s.NewFrameHeight = ini.ReadInteger("Frames", "Height", 60);
    s.DefaultDelay = std::clamp(ini.ReadInteger("Frames", "Delay", 10), 10, 255);
    s.MemoryLimit = ParseMemoryLimit(ini.ReadString("Memory", "Limit", "")).value_or(MemoryBudget::kDefaultLimit);
    s.KeepFramePalettes = ini.ReadBool("Optimizer", "KeepFramePalettes", false);
    s.AutosaveSeconds = std::clamp(ini.ReadInteger("Autosave", "Seconds", kDefaultAutosaveSeconds), 0, 86400);
    for (int i = kMaxRecentFiles; i >= 1; --i) {
        const std::string file = ini.ReadString("Recent", "File" + std::to_string(i), "");
        if (!file.empty())
            AddRecentFile(s.RecentFiles, file);
    }

    checkInteger("Window", "State", s.Maximized ? 1 : 0);
    if (!s.Maximized) {
        checkInteger("Window", "Left", s.Left);
        checkInteger("Window", "Top", s.Top);
        checkInteger("Window", "Width", s.Width);
        checkInteger("Window", "Height", s.Height);
    }
    checkInteger("Frames", "Count", s.WizardFrameCount);
    checkInteger("Frames", "Width", s.NewFrameWidth);
    checkInteger("Frames", "Height", s.NewFrameHeight);
    checkInteger("Frames", "Delay", s.DefaultDelay);
    if (const std::string limit = ini.ReadString("Memory", "Limit", ""); !limit.empty() && !ParseMemoryLimit(limit))
        s.Unreadable.push_back({"Memory", "Limit", limit, MemoryBudget::SizeText(s.MemoryLimit)});
    checkInteger("Optimizer", "KeepFramePalettes", s.KeepFramePalettes ? 1 : 0);
    checkInteger("Autosave", "Seconds", s.AutosaveSeconds);
    if (problem && !s.Unreadable.empty()) {
        std::string text = "These values in the settings file " + fileName
                           + " cannot be read; their defaults are used and the file keeps them as they are:";
        for (const TSettings::TUnreadable& u : s.Unreadable)
            text += "\n[" + u.Section + "] " + u.Key + "=" + u.Text;
        problem->Message += (problem->Message.empty() ? "" : "\n") + text;
    }
    return s;
}

void SaveSettings(const std::string& fileName, const TSettings& s)
{
    TIniFile32 file(fileName);
    // Every key goes through here: an unreadable value whose setting is unchanged stays.
    struct TWriter {
        TIniFile32& Ini;
        const TSettings& S;
        void WriteString(const std::string& section, const std::string& key, const std::string& text)
        {
            for (const TSettings::TUnreadable& u : S.Unreadable)
                if (u.Section == section && u.Key == key && u.UsedText == text)
                    return;
            Ini.WriteString(section, key, text);
        }
        void WriteInteger(const std::string& section, const std::string& key, int value)
        {
            WriteString(section, key, std::to_string(value));
        }
        void WriteBool(const std::string& section, const std::string& key, bool value)
        {
            WriteString(section, key, value ? "1" : "0");
        }
    } ini{file, s};
    ini.WriteBool("Window", "State", s.Maximized);
    if (!s.Maximized) {
        ini.WriteInteger("Window", "Left", s.Left);
        ini.WriteInteger("Window", "Top", s.Top);
        ini.WriteInteger("Window", "Width", s.Width);
        ini.WriteInteger("Window", "Height", s.Height);
    }
    ini.WriteString("Directories", "Frames", s.FramesDir);
    ini.WriteString("Directories", "Open", s.OpenDir);
    ini.WriteString("Directories", "Save", s.SaveDir);
    ini.WriteInteger("Frames", "Count", s.WizardFrameCount);
    ini.WriteInteger("Frames", "Width", s.NewFrameWidth);
    ini.WriteInteger("Frames", "Height", s.NewFrameHeight);
    ini.WriteInteger("Frames", "Delay", s.DefaultDelay);
    ini.WriteString("Memory", "Limit", MemoryBudget::SizeText(s.MemoryLimit));
    ini.WriteBool("Optimizer", "KeepFramePalettes", s.KeepFramePalettes);
    ini.WriteInteger("Autosave", "Seconds", s.AutosaveSeconds);
    for (int i = 1; i <= kMaxRecentFiles; ++i) {
        const std::size_t k = static_cast<std::size_t>(i - 1);
        ini.WriteString("Recent", "File" + std::to_string(i), k < s.RecentFiles.size() ? s.RecentFiles[k] : "");
    }
}

void AddRecentFile(std::vector<std::string>& recent, const std::string& path)
{
    std::error_code ec;
    std::string full = fs::absolute(path, ec).lexically_normal().string();
    if (ec || full.empty())
        full = path;
    std::erase(recent, full);
    recent.insert(recent.begin(), full);
    if (recent.size() > static_cast<std::size_t>(kMaxRecentFiles))
        recent.resize(kMaxRecentFiles);
}
