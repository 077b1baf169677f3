// The user-interface services of the monkey: every question gets an answer at once, drawn
// from the run's generator (OK or Cancel, plausible numbers or text no one should type,
// the prepared files, saves into the output folder or somewhere impossible). Messages are
// written to the action log. Installed as UI() for its lifetime.
#pragma once

#include "MonkeyFiles.h"
#include "MonkeyRandom.h"

#include "platform/Ui.h"

#include <functional>

class TRandomUi : public Ui {
public:
    TRandomUi(TMonkeyRandom& random, const TMonkeyFiles& files, std::function<void(const std::string&)> log);
    ~TRandomUi() override;
    TRandomUi(const TRandomUi&) = delete;
    TRandomUi& operator=(const TRandomUi&) = delete;

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
    void EndWait() override { --m_waitDepth; }
    int WaitDepth() const override { return m_waitDepth; }
    // Long loops hand the event loop a turn here, as on the desktop: the monkey's next
    // actions run inside them.
    void ProcessEvents() override;

    // Called with an error message the command guard shows for an exception that is none
    // of the program's own (a library's or a programming error).
    std::function<void(const std::string&)> OnInternalError;

private:
    std::string text(const std::string& proposed);
    void say(const std::string& what);

    TMonkeyRandom& m_random;
    const TMonkeyFiles& m_files;
    std::function<void(const std::string&)> m_log;
    Ui* m_previous = nullptr;
    int m_waitDepth = 0;
    int m_saves = 0;
};
