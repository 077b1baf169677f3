#include "ProjectSession.h"

#include "platform/Ui.h"

#include <chrono>
#include <ctime>
#include <filesystem>

namespace fs = std::filesystem;

namespace {

const char* const kTitle = "Anivor 13";

std::string lossesText(const std::string& path, const std::vector<std::string>& losses)
{
    std::string text = path + ": not everything in the project could be restored:";
    for (const std::string& loss : losses)
        text += "\n- " + loss;
    return text;
}

// "14:05" today, else "2026-12-09 14:05".
std::string whenWritten(const std::string& path)
{
    std::error_code ec;
    const auto written = fs::last_write_time(path, ec);
    if (ec)
        return "an unknown time";
    const auto system = std::chrono::time_point_cast<std::chrono::system_clock::duration>(
        written - fs::file_time_type::clock::now() + std::chrono::system_clock::now());
    const std::time_t t = std::chrono::system_clock::to_time_t(system);
    const std::time_t now = std::time(nullptr);
    std::tm when{}, today{};
    localtime_r(&t, &when);
    localtime_r(&now, &today);
    char text[32];
    const bool sameDay = when.tm_year == today.tm_year && when.tm_yday == today.tm_yday;
    std::strftime(text, sizeof text, sameDay ? "%H:%M" : "%Y-%m-%d %H:%M", &when);
    return text;
}

} // namespace

TProjectSession::TProjectSession(TFrameStrip& strip, std::function<TAssemblyOptions()> assembly,
                                 std::function<void(const TAssemblyOptions&)> setAssembly)
    : m_strip(strip), m_assembly(std::move(assembly)), m_setAssembly(std::move(setAssembly)), m_saved(TDocumentMark(strip.Document()))
{
}

TProjectSession::~TProjectSession() = default;

std::string TProjectSession::DisplayName() const
{
    const std::string& file = !m_path.empty() ? m_path : m_opened;
    return file.empty() ? "Untitled" : fs::path(file).filename().string();
}

bool TProjectSession::Modified() const
{
    return !m_saved || !(TDocumentMark(m_strip.Document()) == *m_saved);
}

std::string TProjectSession::Title() const
{
    const bool modified = Modified();
    if (!modified && m_path.empty() && m_opened.empty())
        return kTitle;
    return std::string(kTitle) + " - " + DisplayName() + (modified ? "*" : "");
}

void TProjectSession::MarkSaved(const std::string& projectPath, const std::string& opened)
{
    m_path = projectPath;
    m_opened = opened;
    m_saved = TDocumentMark(m_strip.Document());
}

TProject TProjectSession::project() const
{
    TProject p;
    p.Document = m_strip.Document();
    if (m_assembly)
        p.Assembly = m_assembly();
    return p;
}

bool TProjectSession::ConfirmDiscard()
{
    if (!Modified())
        return true;
    switch (UI().ChooseButton(kTitle, "Save changes?", TMsgDlgType::mtConfirmation, {"&Save", "&Discard", "Cancel"})) {
    case 0:
        return Save();
    case 1:
        return true;
    default:
        return false;
    }
}

bool TProjectSession::Save()
{
    if (m_path.empty())
        return SaveAs();
    SaveTo(m_path);
    return true;
}

bool TProjectSession::SaveAs(const std::string& folder)
{
    TFileDialogOptions o;
    o.Title = "Save Project As";
    o.Filters = {"Anivor Projects|*.anivor"};
    o.DefaultExt = "anivor";
    o.InitialDir = !m_path.empty() ? fs::path(m_path).parent_path().string() : folder;
    const std::string name = DisplayName();
    o.FileName = name == "Untitled" ? "Untitled.anivor" : fs::path(name).replace_extension(kProjectExtension).string();
    o.OverwritePrompt = true;
    const std::optional<std::string> path = UI().SaveFile(o);
    if (!path)
        return false;
    SaveTo(*path);
    return true;
}

void TProjectSession::SaveTo(const std::string& path)
{
    WaitCursor wait;
    m_writer.Save(path, project());
    MarkSaved(path);
}

std::optional<std::string> TProjectSession::OpenProjectCommand(const std::string& folder)
{
    if (!ConfirmDiscard())
        return std::nullopt;
    TFileDialogOptions o;
    o.Title = "Open Project";
    o.Filters = {"Anivor Projects|*.anivor"};
    o.DefaultExt = "anivor";
    o.InitialDir = !m_path.empty() ? fs::path(m_path).parent_path().string() : folder;
    o.OverwritePrompt = false;
    const std::optional<std::string> path = UI().OpenFile(o);
    if (!path)
        return std::nullopt;
    OpenProject(*path);
    return path;
}

void TProjectSession::OpenProject(const std::string& path)
{
    TProjectLoad load;
    {
        WaitCursor wait;
        load = LoadProject(path);
        const int first = load.Project.Document.Count() > 0 ? 0 : -1;
        m_strip.SetDocument(std::move(load.Project.Document), first);
    }
    if (m_setAssembly)
        m_setAssembly(load.Project.Assembly);
    MarkSaved(path);
    if (!load.Losses.empty())
        UI().MessageDlg(lossesText(path, load.Losses), TMsgDlgType::mtWarning);
}

void TProjectSession::SetRecoveryFile(const std::string& path)
{
    m_autosave.reset();
    m_autosaved.reset();
    if (!path.empty())
        m_autosave = std::make_unique<TAutosaver>(path);
}

bool TProjectSession::AutosaveTick()
{
    if (!m_autosave)
        return false;
    if (!Modified()) {
        // Saved again: nothing would be lost, so no copy is kept.
        if (m_autosaved) {
            m_autosave->Remove();
            m_autosaved.reset();
        }
        return false;
    }
    TDocumentMark mark(m_strip.Document());
    if (m_autosaved && *m_autosaved == mark)
        return false;
    m_autosave->Request(project());
    m_autosaved = std::move(mark);
    return true;
}

void TProjectSession::FlushAutosave()
{
    if (m_autosave)
        m_autosave->Flush();
}

void TProjectSession::RemoveRecoveryFile()
{
    if (m_autosave)
        m_autosave->Remove();
    m_autosaved.reset();
}

bool TProjectSession::OfferRecovery(const std::string& folder)
{
    for (const std::string& file : FindRecoveryFiles(folder)) {
        // Restore is the default: a stray Return must not throw the copy away. Closing the
        // box keeps the copy for the next start.
        const int answer = UI().ChooseButton(kTitle, "Anivor was not closed properly last time. Restore the frames as "
                                                     "they were autosaved at " + whenWritten(file) + "?",
                                             TMsgDlgType::mtConfirmation, {"&Restore", "&Discard"});
        std::error_code ec;
        if (answer < 0)
            continue;
        if (answer == 1) {
            fs::remove(file, ec);
            continue;
        }
        TProjectLoad load;
        try {
            WaitCursor wait;
            load = LoadProject(file);
        } catch (...) {
            fs::remove(file, ec);
            throw;
        }
        const int first = load.Project.Document.Count() > 0 ? 0 : -1;
        m_strip.SetDocument(std::move(load.Project.Document), first);
        if (m_setAssembly)
            m_setAssembly(load.Project.Assembly);
        m_path.clear();
        m_opened.clear();
        m_saved.reset(); // nothing of it is saved anywhere but in the copy
        fs::remove(file, ec);
        if (!load.Losses.empty())
            UI().MessageDlg(lossesText(file, load.Losses), TMsgDlgType::mtWarning);
        return true;
    }
    return false;
}
