// The command guard: every command runs inside it. An exception a command raises (our
// Exception family, any std::exception, anything else) ends the command and is shown as one
// error message; the window stays usable and no exception crosses the Qt event loop.
#pragma once

#include <exception>
#include <functional>
#include <string>

// The text shown for an exception: the message of our own exceptions; "Not enough
// memory ..." for std::bad_alloc; the path and the system's reason for a file system
// error; a fixed text for anything else (whose own text, meant for programmers, goes to
// standard error).
std::string ExceptionMessage(const std::exception_ptr& e);

// Shows the exception with UI().MessageDlg(text, mtError). Never throws.
void ShowException(const std::exception_ptr& e);

// Runs `command`; true when it finished, false when it raised (the error was then shown).
// On a failure the wait cursor is brought back to the depth it had before the command.
bool RunGuarded(const std::function<void()>& command);
