#include "ScriptedUi.h"

#include <QCoreApplication>

const char* UiCallKindName(TUiCallKind kind)
{
    switch (kind) {
    case TUiCallKind::InputBox: return "InputBox";
    case TUiCallKind::InputQuery: return "InputQuery";
    case TUiCallKind::ShowMessage: return "ShowMessage";
    case TUiCallKind::MessageDlg: return "MessageDlg";
    case TUiCallKind::Confirm: return "Confirm";
    case TUiCallKind::ChooseButton: return "ChooseButton";
    case TUiCallKind::OpenFile: return "OpenFile";
    case TUiCallKind::OpenFiles: return "OpenFiles";
    case TUiCallKind::SaveFile: return "SaveFile";
    case TUiCallKind::ChooseDirectory: return "ChooseDirectory";
    case TUiCallKind::ChooseColor: return "ChooseColor";
    case TUiCallKind::ChooseFont: return "ChooseFont";
    }
    return "?";
}

namespace {

std::string describe(const TUiCall& c)
{
    std::string d = std::string("ScriptedUi: no answer queued for ") + UiCallKindName(c.Kind);
    const std::string* parts[] = {&c.Caption, &c.Prompt, &c.Text};
    for (const std::string* p : parts)
        if (!p->empty())
            d += " \"" + *p + "\"";
    return d;
}

} // namespace

ScriptedUi::ScriptedUi() : m_previous(InstalledUI())
{
    SetUI(this);
}

ScriptedUi::~ScriptedUi()
{
    if (InstalledUI() == this)
        SetUI(m_previous);
}

void ScriptedUi::AnswerInput(const std::string& text) { m_inputs.emplace_back(text); }
void ScriptedUi::AnswerInputCancel() { m_inputs.emplace_back(std::nullopt); }
void ScriptedUi::AnswerConfirm(bool yes) { m_confirms.push_back(yes); }
void ScriptedUi::AnswerButton(int index) { m_buttons.push_back(index); }
void ScriptedUi::AnswerOpenFile(const std::string& path) { m_openFiles.emplace_back(path); }
void ScriptedUi::AnswerOpenFileCancel() { m_openFiles.emplace_back(std::nullopt); }
void ScriptedUi::AnswerOpenFiles(const std::vector<std::string>& paths) { m_openManyFiles.emplace_back(paths); }
void ScriptedUi::AnswerOpenFilesCancel() { m_openManyFiles.emplace_back(std::nullopt); }
void ScriptedUi::AnswerSaveFile(const std::string& path) { m_saveFiles.emplace_back(path); }
void ScriptedUi::AnswerSaveFileCancel() { m_saveFiles.emplace_back(std::nullopt); }
void ScriptedUi::AnswerDirectory(const std::string& path) { m_directories.emplace_back(path); }
void ScriptedUi::AnswerDirectoryCancel() { m_directories.emplace_back(std::nullopt); }
void ScriptedUi::AnswerColor(TColor color) { m_colors.emplace_back(color); }
void ScriptedUi::AnswerColorCancel() { m_colors.emplace_back(std::nullopt); }
void ScriptedUi::AnswerFont(const TFontChoice& font) { m_fonts.emplace_back(font); }
void ScriptedUi::AnswerFontCancel() { m_fonts.emplace_back(std::nullopt); }

int ScriptedUi::PendingAnswers() const
{
    return static_cast<int>(m_inputs.size() + m_confirms.size() + m_buttons.size() + m_openFiles.size() + m_openManyFiles.size()
        + m_saveFiles.size() + m_directories.size() + m_colors.size() + m_fonts.size());
}

std::vector<TUiCall> ScriptedUi::CallsOf(TUiCallKind kind) const
{
    std::vector<TUiCall> out;
    for (const TUiCall& c : m_calls)
        if (c.Kind == kind)
            out.push_back(c);
    return out;
}

const TUiCall& ScriptedUi::Last() const
{
    if (m_calls.empty())
        throw std::logic_error("ScriptedUi: nothing was shown");
    return m_calls.back();
}

std::vector<std::string> ScriptedUi::Messages() const
{
    std::vector<std::string> out;
    for (const TUiCall& c : m_calls)
        if (c.Kind == TUiCallKind::ShowMessage || c.Kind == TUiCallKind::MessageDlg)
            out.push_back(c.Text);
    return out;
}

std::vector<std::string> ScriptedUi::Errors() const
{
    std::vector<std::string> out;
    for (const TUiCall& c : m_calls)
        if (c.Kind == TUiCallKind::MessageDlg && c.Type == TMsgDlgType::mtError)
            out.push_back(c.Text);
    return out;
}

void ScriptedUi::ClearCalls()
{
    m_calls.clear();
    m_unanswered.clear();
}

TUiCall& ScriptedUi::record(TUiCallKind kind)
{
    m_calls.emplace_back();
    m_calls.back().Kind = kind;
    return m_calls.back();
}

// Takes the next answer of a queue; with none queued, reports and throws.
template <class T>
T ScriptedUi::take(std::deque<T>& queue, TUiCall& call)
{
    if (queue.empty()) {
        const std::string d = describe(call);
        m_unanswered.push_back(d);
        if (OnUnanswered)
            OnUnanswered(d);
        throw EUnansweredPrompt(d);
    }
    T answer = std::move(queue.front());
    queue.pop_front();
    return answer;
}

std::string ScriptedUi::InputBox(const std::string& caption, const std::string& prompt, const std::string& proposed)
{
    TUiCall& call = record(TUiCallKind::InputBox);
    call.Caption = caption;
    call.Prompt = prompt;
    call.Proposed = proposed;
    const std::optional<std::string> a = take(m_inputs, call);
    call.Cancelled = !a;
    return a ? *a : proposed;
}

bool ScriptedUi::InputQuery(const std::string& caption, const std::string& prompt, std::string& value)
{
    TUiCall& call = record(TUiCallKind::InputQuery);
    call.Caption = caption;
    call.Prompt = prompt;
    call.Proposed = value;
    const std::optional<std::string> a = take(m_inputs, call);
    call.Cancelled = !a;
    if (a)
        value = *a;
    return a.has_value();
}

void ScriptedUi::ShowMessage(const std::string& text)
{
    record(TUiCallKind::ShowMessage).Text = text;
}

void ScriptedUi::MessageDlg(const std::string& text, TMsgDlgType type)
{
    TUiCall& call = record(TUiCallKind::MessageDlg);
    call.Text = text;
    call.Type = type;
}

bool ScriptedUi::Confirm(const std::string& caption, const std::string& text)
{
    TUiCall& call = record(TUiCallKind::Confirm);
    call.Caption = caption;
    call.Text = text;
    const bool yes = take(m_confirms, call);
    call.Cancelled = !yes;
    return yes;
}

int ScriptedUi::ChooseButton(const std::string& caption, const std::string& text, TMsgDlgType type,
                             const std::vector<std::string>& buttons)
{
    TUiCall& call = record(TUiCallKind::ChooseButton);
    call.Caption = caption;
    call.Text = text;
    call.Type = type;
    call.Buttons = buttons;
    const int index = take(m_buttons, call);
    call.Cancelled = index < 0;
    return index;
}

std::optional<std::string> ScriptedUi::OpenFile(const TFileDialogOptions& options)
{
    TUiCall& call = record(TUiCallKind::OpenFile);
    call.Caption = options.Title;
    call.FileOptions = options;
    auto a = take(m_openFiles, call);
    call.Cancelled = !a;
    return a;
}

std::optional<std::vector<std::string>> ScriptedUi::OpenFiles(const TFileDialogOptions& options)
{
    TUiCall& call = record(TUiCallKind::OpenFiles);
    call.Caption = options.Title;
    call.FileOptions = options;
    auto a = take(m_openManyFiles, call);
    call.Cancelled = !a;
    return a;
}

std::optional<std::string> ScriptedUi::SaveFile(const TFileDialogOptions& options)
{
    TUiCall& call = record(TUiCallKind::SaveFile);
    call.Caption = options.Title;
    call.FileOptions = options;
    auto a = take(m_saveFiles, call);
    call.Cancelled = !a;
    return a;
}

std::optional<std::string> ScriptedUi::ChooseDirectory(const std::string& title, const std::string& initialDir)
{
    TUiCall& call = record(TUiCallKind::ChooseDirectory);
    call.Caption = title;
    call.Proposed = initialDir;
    auto a = take(m_directories, call);
    call.Cancelled = !a;
    return a;
}

std::optional<TColor> ScriptedUi::ChooseColor(TColor initial)
{
    TUiCall& call = record(TUiCallKind::ChooseColor);
    call.InitialColor = initial;
    auto a = take(m_colors, call);
    call.Cancelled = !a;
    return a;
}

std::optional<TFontChoice> ScriptedUi::ChooseFont(const TFontChoice& initial)
{
    TUiCall& call = record(TUiCallKind::ChooseFont);
    call.InitialFont = initial;
    auto a = take(m_fonts, call);
    call.Cancelled = !a;
    return a;
}

void ScriptedUi::BeginWait()
{
    ++m_waitDepth;
    if (m_waitDepth > m_maxWaitDepth)
        m_maxWaitDepth = m_waitDepth;
}

void ScriptedUi::EndWait()
{
    if (m_waitDepth > 0)
        --m_waitDepth;
}

void ScriptedUi::ProcessEvents()
{
    ++m_processEvents;
    if (RunEvents)
        QCoreApplication::processEvents();
}
