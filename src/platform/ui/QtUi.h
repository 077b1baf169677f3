// The user-interface services of the program: Qt's standard dialogs, titled with the
// application's title, parented to the active window.
#pragma once

#include "platform/Ui.h"

// The title of the program's message boxes and main window.
inline constexpr const char* ApplicationTitle = "Anivor 13";

class QtUi : public Ui {
public:
    ~QtUi() override;

    std::string InputBox(const std::string& caption, const std::string& prompt, const std::string& proposed) override;
    bool InputQuery(const std::string& caption, const std::string& prompt, std::string& value) override;
    void ShowMessage(const std::string& text) override;
    void MessageDlg(const std::string& text, TMsgDlgType type) override;
    bool Confirm(const std::string& caption, const std::string& text) override;
    int ChooseButton(const std::string& caption, const std::string& text, TMsgDlgType type,
                     const std::vector<std::string>& buttons) override;
    std::optional<std::string> OpenFile(const TFileDialogOptions& options) override;
    std::optional<std::vector<std::string>> OpenFiles(const TFileDialogOptions& options) override;
    std::optional<std::string> SaveFile(const TFileDialogOptions& options) override;
    std::optional<std::string> ChooseDirectory(const std::string& title, const std::string& initialDir) override;
    std::optional<TColor> ChooseColor(TColor initial) override;
    std::optional<TFontChoice> ChooseFont(const TFontChoice& initial) override;
    // Nests through QApplication's override-cursor stack; EndWait without a Begin is ignored.
    void BeginWait() override;
    void EndWait() override;
    void ProcessEvents() override;
    int WaitDepth() const override { return m_waitDepth; }

private:
    int m_waitDepth = 0;
};

// Makes Qt's dialogs the default services when a QApplication runs on a real display
// (offscreen and minimal platforms have nobody to click a dialog: they keep the
// non-interactive default). The window programs call it once their application exists.
void UseDesktopDialogs();
