#include "RandomUi.h"

#include "platform/CommandGuard.h"

#include <QCoreApplication>

#include <algorithm>
#include <filesystem>

TRandomUi::TRandomUi(TMonkeyRandom& random, const TMonkeyFiles& files, std::function<void(const std::string&)> log)
    : m_random(random), m_files(files), m_log(std::move(log)), m_previous(InstalledUI())
{
    SetUI(this);
}

TRandomUi::~TRandomUi()
{
    SetUI(m_previous);
}

void TRandomUi::say(const std::string& what)
{
    // One line each, short enough to read in a log of thousands.
    std::string line = what.substr(0, 160);
    std::replace(line.begin(), line.end(), '\n', ' ');
    m_log("    ui: " + line);
}

std::string TRandomUi::text(const std::string& proposed)
{
    static const std::vector<std::string> odd = {
        "", "0", "-1", "-40", "abc", "1e9", "99999999999", "2147483648", " 7 ", "3.5", "0x10", "12abc",
        "\xEF\xBC\x91\xEF\xBC\x92", std::string(300, '9'), "\t", "Frame1", "=", "\xFF\xFE", "65535", "16385",
    };
    const int r = m_random.Below(100);
    if (r < 55)
        return std::to_string(m_random.Between(1, 120));
    if (r < 65)
        return proposed;
    if (r < 70)
        return std::to_string(m_random.Between(121, 400));
    return m_random.Pick(odd);
}

std::string TRandomUi::InputBox(const std::string& /*caption*/, const std::string& prompt, const std::string& proposed)
{
    if (m_random.Percent(10)) {
        say("input \"" + prompt + "\": Cancel");
        return proposed;
    }
    const std::string answer = text(proposed);
    say("input \"" + prompt + "\": \"" + answer + "\"");
    return answer;
}

bool TRandomUi::InputQuery(const std::string& /*caption*/, const std::string& prompt, std::string& value)
{
    if (m_random.Percent(12)) {
        say("query \"" + prompt + "\": Cancel");
        return false;
    }
    value = text(value);
    say("query \"" + prompt + "\": \"" + value + "\"");
    return true;
}

void TRandomUi::ShowMessage(const std::string& text)
{
    say("message: " + text);
}

void TRandomUi::MessageDlg(const std::string& text, TMsgDlgType type)
{
    static const std::string internal = ExceptionMessage(std::make_exception_ptr(0));
    if (type == TMsgDlgType::mtError && text == internal && OnInternalError)
        OnInternalError(text);
    say(std::string(type == TMsgDlgType::mtError ? "error: " : "message: ") + text);
}

bool TRandomUi::Confirm(const std::string& /*caption*/, const std::string& text)
{
    const bool yes = m_random.Percent(50);
    say("confirm \"" + text + "\": " + (yes ? "Yes" : "No"));
    return yes;
}

int TRandomUi::ChooseButton(const std::string& /*caption*/, const std::string& text, TMsgDlgType /*type*/,
                            const std::vector<std::string>& buttons)
{
    const int pressed = m_random.Below(static_cast<int>(buttons.size()) + 1) - 1;
    say("buttons \"" + text + "\": " + (pressed < 0 ? std::string("closed") : buttons[static_cast<std::size_t>(pressed)]));
    return pressed;
}

std::optional<std::string> TRandomUi::OpenFile(const TFileDialogOptions& options)
{
    if (m_random.Percent(12)) {
        say("open \"" + options.Title + "\": Cancel");
        return std::nullopt;
    }
    std::string path = m_random.Pick(m_files.Candidates());
    say("open \"" + options.Title + "\": " + path);
    return path;
}

std::optional<std::vector<std::string>> TRandomUi::OpenFiles(const TFileDialogOptions& options)
{
    if (m_random.Percent(12)) {
        say("open files \"" + options.Title + "\": Cancel");
        return std::nullopt;
    }
    const std::vector<std::string> candidates = m_files.Candidates();
    std::vector<std::string> paths;
    std::string shown;
    for (int n = m_random.Between(1, 3); n > 0; --n) {
        paths.push_back(m_random.Pick(candidates));
        shown += " " + paths.back();
    }
    say("open files \"" + options.Title + "\":" + shown);
    return paths;
}

std::optional<std::string> TRandomUi::SaveFile(const TFileDialogOptions& options)
{
    const int r = m_random.Below(100);
    std::string path;
    if (r < 12) {
        say("save \"" + options.Title + "\": Cancel");
        return std::nullopt;
    }
    if (r < 20) {
        path = m_random.Pick(m_files.Candidates()); // over a file that is there (or a folder)
    } else if (r < 25) {
        path = m_files.OutFolder() + "/no-such-folder/x.gif";
    } else {
        // The extension the dialog proposes, from its first filter, or a strange one.
        std::string ext = options.DefaultExt;
        if (!options.Filters.empty()) {
            const std::string& f = options.Filters.front();
            const auto star = f.find("*.", f.find('|') == std::string::npos ? 0 : f.find('|'));
            if (star != std::string::npos)
                ext = f.substr(star + 2, f.find_first_of(";|", star) - star - 2);
        }
        if (m_random.Percent(10))
            ext = m_random.Pick(std::vector<std::string>{"", "gif", "png", "bmp", "anivor", "avi", "txt"});
        path = m_files.OutFolder() + "/save-" + std::to_string(++m_saves) + (ext.empty() ? "" : "." + ext);
    }
    say("save \"" + options.Title + "\": " + path);
    return path;
}

std::optional<std::string> TRandomUi::ChooseDirectory(const std::string& title, const std::string& /*initialDir*/)
{
    const int r = m_random.Below(100);
    if (r < 15) {
        say("folder \"" + title + "\": Cancel");
        return std::nullopt;
    }
    const std::string path = r < 55 ? m_files.Folder() : r < 90 ? m_files.OutFolder() : m_files.OutFolder() + "/missing";
    say("folder \"" + title + "\": " + path);
    return path;
}

std::optional<TColor> TRandomUi::ChooseColor(TColor /*initial*/)
{
    if (m_random.Percent(10)) {
        say("colour: Cancel");
        return std::nullopt;
    }
    const TColor c = static_cast<TColor>(m_random.Next() & 0xFFFFFF);
    say("colour: " + std::to_string(c));
    return c;
}

std::optional<TFontChoice> TRandomUi::ChooseFont(const TFontChoice& /*initial*/)
{
    if (m_random.Percent(10)) {
        say("font: Cancel");
        return std::nullopt;
    }
    TFontChoice f;
    f.Name = m_random.Pick(std::vector<std::string>{"Arial", "Liberation Serif", "DejaVu Sans", "No Such Font", ""});
    f.Size = m_random.Percent(90) ? m_random.Between(1, 72) : m_random.Pick(std::vector<int>{0, -3, 400});
    f.Style = static_cast<unsigned>(m_random.Below(16));
    f.Color = static_cast<TColor>(m_random.Next() & 0xFFFFFF);
    say("font: " + f.Name + " " + std::to_string(f.Size));
    return f;
}

void TRandomUi::ProcessEvents()
{
    QCoreApplication::processEvents();
}
