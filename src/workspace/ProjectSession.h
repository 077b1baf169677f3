// The strip as the user's work: the project file it belongs to, whether it changed since
// it was last saved or opened, the "Save changes?" question before anything discards it,
// Save Project, Save Project As, Open Project, the autosave's recovery copy and the
// recovery after a run that died. Plain code: the window wires its commands to it, tests
// drive it through the scripted Ui.
#pragma once

#include "Autosave.h"
#include "FrameStrip.h"
#include "ProjectFile.h"

#include <functional>
#include <memory>
#include <optional>
#include <string>

class TProjectSession {
public:
    // `assembly` gives the assembly options a saved project keeps; `setAssembly` takes
    // those of a project opened.
    TProjectSession(TFrameStrip& strip, std::function<TAssemblyOptions()> assembly,
                    std::function<void(const TAssemblyOptions&)> setAssembly);
    ~TProjectSession();

    // The project file the strip was last saved to or opened from; "" when none.
    const std::string& Path() const { return m_path; }
    // What the title names: the project's or the opened GIF's file name, "Untitled" for a
    // strip of neither.
    std::string DisplayName() const;
    // "Anivor 13" for an untouched new strip, else "Anivor 13 - name", with "*" after the
    // name while the strip has unsaved changes.
    std::string Title() const;
    // The strip differs from what was last saved or opened.
    bool Modified() const;

    // The strip as it stands is what was opened or saved (`path` for a project; a GIF
    // opened names `opened` without being a project file).
    void MarkSaved(const std::string& projectPath = {}, const std::string& opened = {});
    // A new strip: no file, nothing to save.
    void Reset() { MarkSaved(); }

    // Before the strip is discarded (close, New, Open, Open Project): when it has unsaved
    // changes, "Save changes?" with Save, Discard and Cancel. True when the caller may go
    // on (nothing to save, saved, or discarded); false on Cancel or a save that did not
    // happen (changes nothing).
    bool ConfirmDiscard();

    // Save Project (Ctrl+S): to the project's file, or through Save Project As. True when
    // it was written.
    bool Save();
    // Save Project As: the dialog (".anivor", starting in `folder`, proposing the strip's
    // name), then the write. True when it was written.
    bool SaveAs(const std::string& folder = {});
    // Writes the project to `path` and makes it the strip's file.
    void SaveTo(const std::string& path);
    // Open Project: the dialog starting in `folder`, then OpenProject. The file opened, or
    // nullopt (Cancel). Asks ConfirmDiscard itself before the dialog.
    std::optional<std::string> OpenProjectCommand(const std::string& folder = {});
    // Replaces the strip with the project (no question); what could not be restored is
    // said in one warning. Throws for a file that is refused, leaving the strip as it was.
    void OpenProject(const std::string& path);

    // Autosave: the recovery copy goes to `path` (RecoveryFileOfThisRun); "" turns it off.
    void SetRecoveryFile(const std::string& path);
    // Called every few seconds: hands the strip to the autosave when it changed since the
    // last copy; removes the copy once the strip is saved again. Returns whether a copy
    // was requested.
    bool AutosaveTick();
    // Waits for the copy being written (tests, exit).
    void FlushAutosave();
    // A clean end of the run: the recovery copy goes.
    void RemoveRecoveryFile();

    // At start: copies of runs that died in `folder`, newest first, each offered with a
    // question; the first accepted becomes the strip, marked unsaved. Declined or
    // restored copies are removed. True when one was restored.
    bool OfferRecovery(const std::string& folder);

private:
    TProject project() const;

    TFrameStrip& m_strip;
    std::function<TAssemblyOptions()> m_assembly;
    std::function<void(const TAssemblyOptions&)> m_setAssembly;
    std::string m_path;
    std::string m_opened;
    std::optional<TDocumentMark> m_saved; // none: never saved (a restored recovery)
    TProjectWriter m_writer;
    std::unique_ptr<TAutosaver> m_autosave;
    std::optional<TDocumentMark> m_autosaved;
};
