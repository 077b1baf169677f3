// TPainterQB: what the QuickBack window holds and does, without its widgets. The frame's
// size, the settings of the three channels and the factor, the generated picture, the
// radio button that says which channel a function click sets, and the presets list with
// its file. The window (effects/ui/PainterQBForm.h) turns clicks into these calls; the
// tests and anivor-cli call them directly.
#pragma once

#include "QuickBack.h"
#include "QuickBackPresets.h"

#include "graphics/Bitmap.h"

#include <string>
#include <vector>

class TPainterQB {
public:
    enum TChannel { Red = 0, Green = 1, Blue = 2 };

    // The presets are those of `presetsFile`; LoadPresets reads them.
    explicit TPainterQB(std::string presetsFile);

    const TQuickBackSettings& Settings() const { return m_settings; }
    // Takes every setting at once (range-checked by the generator) and generates.
    void SetSettings(const TQuickBackSettings& settings);

    // The frame handed over: only its size matters. When nothing has been generated yet
    // the backdrop is generated now, so "Use" never hands back an empty picture.
    void SetSource(const TBitmap& frame) { SetSourceSize(frame.Width(), frame.Height()); }
    void SetSourceSize(int width, int height);
    int SourceWidth() const { return m_sourceWidth; }
    int SourceHeight() const { return m_sourceHeight; }
    // The picture of `image`: the last generated backdrop.
    const TBitmap& Image() const { return m_image; }
    // A backdrop of the source's size from the current settings.
    void Generate();
    // "Use": the picture takes the source's width and height.
    void Use();

    // The channel radio buttons; a function click sets the checked one.
    int CheckedChannel() const { return m_checked; }
    void CheckChannel(int channel);
    int ChannelMode(int channel) const;
    // The caption of a channel's radio button: the name of its function.
    std::string ChannelCaption(int channel) const { return QuickBackFunctionName(ChannelMode(channel)); }
    // A click in the function list: the checked channel takes function `mode` (0..40).
    void SetMode(int mode);
    // The offset bars (0..255) and the factor bar (16..255); values are held in range.
    void SetOffset(int channel, int value);
    void SetFactor(int value);

    // --- presets -----------------------------------------------------------------------
    const std::string& PresetsFile() const { return m_presetsFile; }
    const std::vector<std::string>& Presets() const { return m_presets; }
    // Reads the presets file (missing: no presets). On failure the list stays empty and
    // the error is passed on.
    void LoadPresets();
    // "&Add Backdrop": asks for a name; a line with it and the current settings joins the
    // list and the file is written. Returns the new line's index, -1 when nothing was added.
    int AddBackdrop();
    // "&Delete Backdrop": removes preset i (nothing for -1) and writes the file.
    void DeleteBackdrop(int i);
    // "&Update Backdrop": "No item selected!" for -1; otherwise asks for the name (proposing
    // the current one) and replaces preset i with it and the current settings. Returns the
    // line's new index, -1 when nothing changed.
    int UpdateBackdrop(int i);
    // A click on preset i: its values become the settings and the backdrop is generated.
    // A line without "=" does nothing; a bad preset shows "Error in Presets". Returns
    // whether the settings changed.
    bool ApplyPreset(int i);
    // The first preset whose name is `name` (letter case ignored); -1 when none.
    int FindPreset(const std::string& name) const;

private:
    // Writes `lines` (sorted) to the file and, only when that worked, makes them the list.
    void commit(std::vector<std::string> lines);
    int indexOf(const std::string& line) const;
    // Asks for a preset name; empty when cancelled or left empty.
    static std::string askName(const std::string& proposed);

    std::string m_presetsFile;
    TQuickBackSettings m_settings;
    int m_sourceWidth = 0;
    int m_sourceHeight = 0;
    TBitmap m_image;
    int m_checked = Red;
    std::vector<std::string> m_presets;
};
