// The test double of the user-interface services. A test queues the answers the user would
// give, per kind of question, runs the code, then checks what the user was shown:
//
//     ScriptedUi ui;                 // installed as UI() for its lifetime
//     ui.AnswerInput("300");
//     ui.AnswerConfirm(true);
//     ... trigger the command ...
//     EXPECT_EQ(ui.Calls()[0].Prompt, "Width");
//     EXPECT_EQ(ui.Errors(), std::vector<std::string>{});
//
// Input boxes and input queries share one queue; every other kind has its own, answered in
// order. A question without a queued answer raises EUnansweredPrompt naming the question
// (and is listed in Unanswered()), so a test fails instead of hanging. Messages need no
// answer: they are only recorded.
#pragma once

#include "Ui.h"

#include "graphics/Exception.h"

#include <deque>
#include <functional>
#include <stdexcept>

enum class TUiCallKind {
    InputBox,
    InputQuery,
    ShowMessage,
    MessageDlg,
    Confirm,
    ChooseButton,
    OpenFile,
    OpenFiles,
    SaveFile,
    ChooseDirectory,
    ChooseColor,
    ChooseFont,
};

const char* UiCallKindName(TUiCallKind kind);

// One call as the user saw it.
struct TUiCall {
    TUiCallKind Kind = TUiCallKind::ShowMessage;
    std::string Caption;  // input box or confirmation caption, dialog title
    std::string Prompt;   // input box prompt
    std::string Proposed; // proposed input value; initial folder of a folder dialog
    std::string Text;     // message or confirmation text
    TMsgDlgType Type = TMsgDlgType::mtInformation; // MessageDlg and ChooseButton only
    std::vector<std::string> Buttons;              // ChooseButton only
    TFileDialogOptions FileOptions;                // file dialogs only
    TColor InitialColor = 0;                       // colour dialog only
    TFontChoice InitialFont;                       // font dialog only
    bool Cancelled = false;                        // the script answered Cancel / No
};

// One of our exceptions, so its text is what the command guard shows.
class EUnansweredPrompt : public Exception {
public:
    using Exception::Exception;
};

class ScriptedUi : public Ui {
public:
    // Installs itself as UI() and puts the previous services back when destroyed.
    ScriptedUi();
    ~ScriptedUi() override;
    ScriptedUi(const ScriptedUi&) = delete;
    ScriptedUi& operator=(const ScriptedUi&) = delete;

    // --- answers, consumed in order per kind ---
    void AnswerInput(const std::string& text); // OK with this text (InputBox and InputQuery)
    void AnswerInputCancel();
    void AnswerConfirm(bool yes);
    void AnswerButton(int index); // the button pressed (-1: the box closed)
    void AnswerOpenFile(const std::string& path);
    void AnswerOpenFileCancel();
    void AnswerOpenFiles(const std::vector<std::string>& paths);
    void AnswerOpenFilesCancel();
    void AnswerSaveFile(const std::string& path);
    void AnswerSaveFileCancel();
    void AnswerDirectory(const std::string& path);
    void AnswerDirectoryCancel();
    void AnswerColor(TColor color);
    void AnswerColorCancel();
    void AnswerFont(const TFontChoice& font);
    void AnswerFontCancel();
    // Answers not used yet, all kinds together (a finished test usually expects 0).
    int PendingAnswers() const;

    // --- what was shown ---
    const std::vector<TUiCall>& Calls() const { return m_calls; }
    std::vector<TUiCall> CallsOf(TUiCallKind kind) const;
    const TUiCall& Last() const; // throws std::logic_error when nothing was shown
    // Texts of ShowMessage and MessageDlg, in order; Errors() only those of type mtError.
    std::vector<std::string> Messages() const;
    std::vector<std::string> Errors() const;
    // Descriptions of the questions that found no answer.
    const std::vector<std::string>& Unanswered() const { return m_unanswered; }
    // Called with the description before EUnansweredPrompt is thrown (a test may report
    // it directly, e.g. with ADD_FAILURE, since a command guard would catch the exception).
    std::function<void(const std::string&)> OnUnanswered;
    // Forgets the recorded calls and unanswered questions (queued answers stay).
    void ClearCalls();

    // --- wait cursor and event processing ---
    int WaitDepth() const override { return m_waitDepth; }
    int MaxWaitDepth() const { return m_maxWaitDepth; }
    int ProcessEventsCount() const { return m_processEvents; }
    // When true, ProcessEvents really runs pending Qt events (default: only counted).
    bool RunEvents = false;

    // --- Ui ---
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
    void BeginWait() override;
    void EndWait() override;
    void ProcessEvents() override;

private:
    template <class T>
    T take(std::deque<T>& queue, TUiCall& call);
    TUiCall& record(TUiCallKind kind);

    Ui* m_previous = nullptr;
    std::vector<TUiCall> m_calls;
    std::vector<std::string> m_unanswered;
    std::deque<std::optional<std::string>> m_inputs;
    std::deque<bool> m_confirms;
    std::deque<int> m_buttons;
    std::deque<std::optional<std::string>> m_openFiles;
    std::deque<std::optional<std::vector<std::string>>> m_openManyFiles;
    std::deque<std::optional<std::string>> m_saveFiles;
    std::deque<std::optional<std::string>> m_directories;
    std::deque<std::optional<TColor>> m_colors;
    std::deque<std::optional<TFontChoice>> m_fonts;
    int m_waitDepth = 0;
    int m_maxWaitDepth = 0;
    int m_processEvents = 0;
};
