#include "PainterQB.h"

#include "platform/Ui.h"

#include <algorithm>
#include <cctype>

namespace {

const char* const kCaption = "Painter Quick Backdrops";

bool sameName(const std::string& a, const std::string& b)
{
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](unsigned char x, unsigned char y) {
               return std::tolower(x) == std::tolower(y);
           });
}

} // namespace

TPainterQB::TPainterQB(std::string presetsFile) : m_presetsFile(std::move(presetsFile)) {}

void TPainterQB::SetSettings(const TQuickBackSettings& settings)
{
    const TQuickBackSettings old = m_settings;
    m_settings = settings;
    try {
        Generate();
    } catch (...) {
        m_settings = old;
        throw;
    }
}

void TPainterQB::SetSourceSize(int width, int height)
{
    CheckBitmapSize(width, height, "Backdrop");
    m_sourceWidth = width;
    m_sourceHeight = height;
    if (m_image.Empty())
        Generate();
}

void TPainterQB::Generate()
{
    // Every pixel is written, so a picture of the right size is drawn over in place (the
    // settings are checked before the first pixel changes).
    if (m_image.Width() == m_sourceWidth && m_image.Height() == m_sourceHeight) {
        GenerateQuickBack(m_image, m_settings);
        return;
    }
    TBitmap image(m_sourceWidth, m_sourceHeight);
    GenerateQuickBack(image, m_settings);
    m_image = std::move(image);
}

void TPainterQB::Use()
{
    m_image.SetSize(m_sourceWidth, m_sourceHeight);
}

void TPainterQB::CheckChannel(int channel)
{
    if (channel >= Red && channel <= Blue)
        m_checked = channel;
}

int TPainterQB::ChannelMode(int channel) const
{
    switch (channel) {
    case Red: return m_settings.RedMode;
    case Green: return m_settings.GreenMode;
    case Blue: return m_settings.BlueMode;
    default: return -1;
    }
}

void TPainterQB::SetMode(int mode)
{
    if (mode < 0 || mode >= kQuickBackFunctionCount)
        return;
    TQuickBackSettings s = m_settings;
    (m_checked == Red ? s.RedMode : m_checked == Green ? s.GreenMode : s.BlueMode) = mode;
    SetSettings(s);
}

void TPainterQB::SetOffset(int channel, int value)
{
    TQuickBackSettings s = m_settings;
    value = std::clamp(value, 0, 255);
    switch (channel) {
    case Red: s.RedOffset = value; break;
    case Green: s.GreenOffset = value; break;
    case Blue: s.BlueOffset = value; break;
    default: return;
    }
    SetSettings(s);
}

void TPainterQB::SetFactor(int value)
{
    TQuickBackSettings s = m_settings;
    s.Factor = std::clamp(value, kQuickBackMinFactor, kQuickBackMaxFactor);
    SetSettings(s);
}

void TPainterQB::LoadPresets()
{
    m_presets.clear();
    m_presets = LoadPresetsFile(m_presetsFile);
}

void TPainterQB::commit(std::vector<std::string> lines)
{
    SortPresets(lines);
    SavePresetsFile(m_presetsFile, lines);
    m_presets = std::move(lines);
}

int TPainterQB::indexOf(const std::string& line) const
{
    const auto it = std::find(m_presets.begin(), m_presets.end(), line);
    return it == m_presets.end() ? -1 : static_cast<int>(it - m_presets.begin());
}

std::string TPainterQB::askName(const std::string& proposed)
{
    std::string name = proposed;
    if (!UI().InputQuery(kCaption, "Enter Name:", name))
        return {};
    // A name is the text before the first "=" and one line of the file.
    if (name.find_first_of("=\r\n") != std::string::npos) {
        UI().ShowMessage("A backdrop name cannot contain \"=\"");
        return {};
    }
    return name;
}

int TPainterQB::AddBackdrop()
{
    const std::string name = askName("");
    if (name.empty())
        return -1;
    const std::string line = PresetLine(name, m_settings);
    std::vector<std::string> lines = m_presets;
    lines.push_back(line);
    commit(std::move(lines));
    return indexOf(line);
}

void TPainterQB::DeleteBackdrop(int i)
{
    if (i < 0 || i >= static_cast<int>(m_presets.size()))
        return;
    std::vector<std::string> lines = m_presets;
    lines.erase(lines.begin() + i);
    commit(std::move(lines));
}

int TPainterQB::UpdateBackdrop(int i)
{
    if (i < 0 || i >= static_cast<int>(m_presets.size())) {
        UI().ShowMessage("No item selected!");
        return -1;
    }
    const std::string name = askName(PresetName(m_presets[static_cast<std::size_t>(i)]));
    if (name.empty())
        return -1;
    const std::string line = PresetLine(name, m_settings);
    std::vector<std::string> lines = m_presets;
    lines[static_cast<std::size_t>(i)] = line;
    commit(std::move(lines));
    return indexOf(line);
}

bool TPainterQB::ApplyPreset(int i)
{
    if (i < 0 || i >= static_cast<int>(m_presets.size()))
        return false;
    TQuickBackSettings s = m_settings;
    const TPresetRead read = ReadPreset(m_presets[static_cast<std::size_t>(i)], s);
    if (read == TPresetRead::NotAPreset)
        return false;
    const bool changed = !(s == m_settings);
    // What was read before a bad value stays; the picture follows the settings in force.
    if (changed || read == TPresetRead::Read)
        SetSettings(s);
    if (read == TPresetRead::Error)
        UI().ShowMessage(kErrorInPresets);
    return changed;
}

int TPainterQB::FindPreset(const std::string& name) const
{
    for (std::size_t i = 0; i < m_presets.size(); ++i)
        if (m_presets[i].find('=') != std::string::npos && sameName(PresetName(m_presets[i]), name))
            return static_cast<int>(i);
    return -1;
}
