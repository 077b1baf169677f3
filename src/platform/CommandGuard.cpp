#include "CommandGuard.h"

#include "Ui.h"

#include "graphics/Exception.h"
#include "graphics/MemoryBudget.h"

#include <cstdio>
#include <filesystem>
#include <new>

namespace {

const char* const UnknownError = "An unexpected error occurred.";

} // namespace

std::string ExceptionMessage(const std::exception_ptr& e)
{
    std::string text;
    try {
        std::rethrow_exception(e);
    } catch (const Exception& ex) {
        text = ex.Message();
    } catch (const std::bad_alloc&) {
        text = MemoryBudget::SystemRefusalMessage();
    } catch (const std::filesystem::filesystem_error& ex) {
        // The path and the system's reason, without the library's wording around them.
        text = "Unable to use " + ex.path1().string() + ": " + ex.code().message();
    } catch (const std::exception& ex) {
        // A library's own text means nothing to the user; it goes to the log only.
        std::fprintf(stderr, "Internal error: %s\n", ex.what());
    } catch (...) {
    }
    return text.empty() ? UnknownError : text;
}

void ShowException(const std::exception_ptr& e)
{
    const std::string text = ExceptionMessage(e);
    try {
        UI().MessageDlg(text, TMsgDlgType::mtError);
    } catch (...) {
        // The message box itself failed: the error must still not be lost silently.
        std::fprintf(stderr, "Error: %s\n", text.c_str());
    }
}

bool RunGuarded(const std::function<void()>& command)
{
    Ui& ui = UI();
    const int waitDepth = ui.WaitDepth();
    try {
        command();
        return true;
    } catch (...) {
        const std::exception_ptr e = std::current_exception();
        // A wait begun without WaitCursor and left open by the failure ends here.
        if (&UI() == &ui)
            while (ui.WaitDepth() > waitDepth)
                ui.EndWait();
        ShowException(e);
        return false;
    }
}
