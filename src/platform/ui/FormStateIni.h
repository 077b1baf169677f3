// TFormStateIni: keeps a window's placement in the settings file, in a section named after
// the window (its objectName, e.g. "DrawF"), keys State (maximised), Left, Top, Width and
// Height. A window closed maximised writes only State, so the file keeps the placement it
// had before and the window returns to it when un-maximised in the next run.
#pragma once

#include <string>

class QWidget;

class TFormStateIni {
public:
    explicit TFormStateIni(std::string fileName);

    // At the window's creation: maximised when State reads true, otherwise Left, Top, Width
    // and Height, each defaulting to the window's current value, moved onto a screen when
    // they lie off every screen (PlaceOnScreens).
    void Restore(QWidget& form) const;
    // At the window's destruction. Raises EIniWriteError when the file cannot be written.
    void Save(const QWidget& form) const;

    // The section of a window: its objectName, else its class name.
    static std::string SectionName(const QWidget& form);

private:
    std::string m_fileName;
};
