// The services used when nobody can answer: no window system, or a program without windows
// (anivor-cli). Messages go to stderr; every question raises an exception naming it, so a
// command that needs an answer fails clearly instead of waiting forever.
#pragma once

#include "Ui.h"

#include "graphics/Exception.h"

class ENoUserInterface : public Exception {
public:
    using Exception::Exception;
};

class HeadlessUi : public Ui {
public:
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
    void BeginWait() override { ++m_waitDepth; }
    void EndWait() override
    {
        if (m_waitDepth > 0)
            --m_waitDepth;
    }
    void ProcessEvents() override {}
    int WaitDepth() const override { return m_waitDepth; }

private:
    int m_waitDepth = 0;
};
