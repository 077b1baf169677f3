// The frame strip commands of the main window that talk to the user: each asks through
// UI() and then calls the strip. Menu items and toolbar buttons call these, as do tests.
#pragma once

#include "FrameStrip.h"

// Frame > New (F3), toolbar New Frame. On an empty strip the frame size is asked first
// ("Enter Width", "Enter Height"); an answer that is not a whole number ends the command
// silently, a size outside 1..kMaxFrameSide is refused with a message.
void NewFrameCommand(TFrameStrip& strip);
// Animation > New: after a Yes to "Do you want to erase all current Frames?" the strip is
// cleared.
void NewAnimationCommand(TFrameStrip& strip);
// Image > Duplicate (Ctrl+D), toolbar Duplicate Frame.
void DuplicateCommand(TFrameStrip& strip);
// Frame > Delete (Ctrl+F3), toolbar Delete Frame(s).
void DeleteCommand(TFrameStrip& strip);
// Frame > Arrange (F5).
void ArrangeCommand(TFrameStrip& strip);
// Delay...: the selected frame's delay, 10..255; other answers change nothing.
void DelayCommand(TFrameStrip& strip);
// Delay All...: every frame's delay, 10..255.
void DelayAllCommand(TFrameStrip& strip);
// Options > Frame Delay...: DefaultDelay, clamped to 10..255.
void FrameDelayCommand(TFrameStrip& strip);
// Options > Set Frames...: WizardFrameCount, clamped to 4..50.
void SetFramesCommand(TFrameStrip& strip);
// Options > Set Loops...: LoopCount; letters give 0, Cancel keeps it.
void SetLoopsCommand(TFrameStrip& strip);
// Options > Rotation Angle...: RotationAngle; letters give 90.
void RotationAngleCommand(TFrameStrip& strip);
// Options > Default Transparent: toggles the flag new frames take.
void DefaultTransparentCommand(TFrameStrip& strip);
// The frame popup's Transparent: toggles frame i's flag (nothing for -1).
void TransparentCommand(TFrameStrip& strip, int i);
// Toolbar Insert Wizard Frames.
void InsertWizardFramesCommand(TFrameStrip& strip);
// Options > Text Wizard > Font..., Color..., Accent Color...: the font and colour dialogs.
void TextWizardFontCommand(TFrameStrip& strip);
void TextWizardColorCommand(TFrameStrip& strip);
void AccentColorCommand(TFrameStrip& strip);
// Mark Position from the popup of frame i, opened at `imagePoint` in that image's
// coordinates.
void MarkPositionCommand(TFrameStrip& strip, TPoint imagePoint);

// The text wizard lines as one text for the templates window, and back.
std::string JoinLines(const std::vector<std::string>& lines);
std::vector<std::string> SplitLines(const std::string& text);
