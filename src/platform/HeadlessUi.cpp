#include "HeadlessUi.h"

#include <cstdio>

namespace {

[[noreturn]] void noAnswer(const std::string& what)
{
    throw ENoUserInterface("No user interface to answer: " + what);
}

std::string quoted(const std::string& s)
{
    return "\"" + s + "\"";
}

} // namespace

std::string HeadlessUi::InputBox(const std::string& caption, const std::string& prompt, const std::string&)
{
    noAnswer("input box " + quoted(caption) + " " + quoted(prompt));
}

bool HeadlessUi::InputQuery(const std::string& caption, const std::string& prompt, std::string&)
{
    noAnswer("input box " + quoted(caption) + " " + quoted(prompt));
}

void HeadlessUi::ShowMessage(const std::string& text)
{
    std::fprintf(stderr, "%s\n", text.c_str());
}

void HeadlessUi::MessageDlg(const std::string& text, TMsgDlgType type)
{
    const char* kind = type == TMsgDlgType::mtError ? "Error: " : type == TMsgDlgType::mtWarning ? "Warning: " : "";
    std::fprintf(stderr, "%s%s\n", kind, text.c_str());
}

bool HeadlessUi::Confirm(const std::string& caption, const std::string& text)
{
    noAnswer("confirmation " + quoted(caption) + " " + quoted(text));
}

int HeadlessUi::ChooseButton(const std::string& caption, const std::string& text, TMsgDlgType, const std::vector<std::string>&)
{
    noAnswer("message " + quoted(caption) + " " + quoted(text));
}

std::optional<std::string> HeadlessUi::OpenFile(const TFileDialogOptions& options)
{
    noAnswer("open dialog " + quoted(options.Title));
}

std::optional<std::vector<std::string>> HeadlessUi::OpenFiles(const TFileDialogOptions& options)
{
    noAnswer("open dialog " + quoted(options.Title));
}

std::optional<std::string> HeadlessUi::SaveFile(const TFileDialogOptions& options)
{
    noAnswer("save dialog " + quoted(options.Title));
}

std::optional<std::string> HeadlessUi::ChooseDirectory(const std::string& title, const std::string&)
{
    noAnswer("folder dialog " + quoted(title));
}

std::optional<TColor> HeadlessUi::ChooseColor(TColor)
{
    noAnswer("colour dialog");
}

std::optional<TFontChoice> HeadlessUi::ChooseFont(const TFontChoice&)
{
    noAnswer("font dialog");
}
