// The user-interface services the program asks of its desktop: modal prompts, messages,
// confirmations, file, colour and font dialogs, the wait cursor. Windows and commands talk
// to this interface only; the program installs QtUi, tests install ScriptedUi and answer
// every prompt from a script.
#pragma once

#include "graphics/Types.h"

#include <optional>
#include <string>
#include <vector>

struct TFontChoice {
    std::string Name;
    int Size = 10;      // points
    unsigned Style = 0; // TFontStyle flags (bold 1, italic 2, underline 4, strike-out 8)
    TColor Color = 0;

    friend bool operator==(const TFontChoice&, const TFontChoice&) = default;
};

enum class TMsgDlgType { mtInformation, mtWarning, mtError, mtConfirmation };

struct TFileDialogOptions {
    std::string Title;
    // Filters as "Description|*.ext1;*.ext2", in order; the first is selected.
    std::vector<std::string> Filters;
    std::string InitialDir;
    std::string FileName;    // proposed file name
    std::string DefaultExt;  // appended when the user types a name without extension
    bool Preview = false;    // open dialogs: show the picture of the selected file
    bool OverwritePrompt = true;
};

class Ui {
public:
    virtual ~Ui() = default;

    // Modal input box; Cancel returns `proposed`.
    virtual std::string InputBox(const std::string& caption, const std::string& prompt, const std::string& proposed) = 0;
    // Modal input box; false on Cancel (value unchanged), true with the new text on OK.
    virtual bool InputQuery(const std::string& caption, const std::string& prompt, std::string& value) = 0;
    // A plain message with an OK button.
    virtual void ShowMessage(const std::string& text) = 0;
    // A message of the given kind with an OK button (errors are shown this way).
    virtual void MessageDlg(const std::string& text, TMsgDlgType type) = 0;
    // Yes/No question; true for Yes.
    virtual bool Confirm(const std::string& caption, const std::string& text) = 0;
    // A message with buttons of its own (captions with "&" mnemonics, the first is the
    // default); the index of the button pressed, -1 when the box was closed without one.
    virtual int ChooseButton(const std::string& caption, const std::string& text, TMsgDlgType type,
                             const std::vector<std::string>& buttons) = 0;
    // File dialogs; nullopt when cancelled.
    virtual std::optional<std::string> OpenFile(const TFileDialogOptions& options) = 0;
    virtual std::optional<std::vector<std::string>> OpenFiles(const TFileDialogOptions& options) = 0;
    virtual std::optional<std::string> SaveFile(const TFileDialogOptions& options) = 0;
    virtual std::optional<std::string> ChooseDirectory(const std::string& title, const std::string& initialDir) = 0;
    // Colour and font dialogs; nullopt when cancelled.
    virtual std::optional<TColor> ChooseColor(TColor initial) = 0;
    // An OK without a change returns `initial` as it is, even when the desktop shows an
    // installed family in place of a missing one.
    virtual std::optional<TFontChoice> ChooseFont(const TFontChoice& initial) = 0;
    // The hourglass: Begin/End nest; use WaitCursor rather than calling them directly.
    virtual void BeginWait() = 0;
    virtual void EndWait() = 0;
    // Lets pending window events run (long loops on the GUI thread call it between steps).
    virtual void ProcessEvents() = 0;
    // How many BeginWait calls are not yet ended (the command guard uses it to restore the
    // cursor after a failure); 0 for services that do not count.
    virtual int WaitDepth() const { return 0; }
};

// The services in force: those set with SetUI (a test's ScriptedUi), else the desktop's
// (SetDesktopUI: the window program's dialogs on a real display), else a non-interactive
// one that writes messages to stderr and raises an exception for every question, so
// nothing ever waits for an answer nobody can give (anivor-cli, offscreen runs).
Ui& UI();
void SetUI(Ui* ui);
// The services set with SetUI, or nullptr when the default is in force.
Ui* InstalledUI();
// The default when nothing is set with SetUI; nullptr takes it back.
void SetDesktopUI(Ui* ui);

// Shows the hourglass for its lifetime; restores the cursor on every way out. It ends the
// wait on the same services it began it on, even if another Ui was installed meanwhile.
class WaitCursor {
public:
    WaitCursor() : m_ui(&UI()) { m_ui->BeginWait(); }
    ~WaitCursor() { m_ui->EndWait(); }
    WaitCursor(const WaitCursor&) = delete;
    WaitCursor& operator=(const WaitCursor&) = delete;

private:
    Ui* m_ui;
};
