// The script runner: the mode in which anivor-cli runs one script for another process
// ("anivor-cli --script-runner FD"), so that nothing a script does (a crash of the engine,
// a hang inside a built-in, a memory bomb) reaches the window or the command that asked.
//
// The runner reads the request from the file FD, limits itself (address space: what it
// holds at the start plus the request's memory room; no core files; it dies with its
// parent), runs the script in its own engine and writes the outcome to the same file. A
// byte on its standard input (or its end) stops the script. Exit codes below say how it
// ended when it could not write an outcome.
#pragma once

inline constexpr const char* kScriptRunnerSwitch = "--script-runner";

namespace ScriptRunnerExit {
constexpr int Done = 0;        // the outcome is in the file
constexpr int BadRequest = 64; // the file held no request
constexpr int Memory = 65;     // an allocation failed: the address-space limit was reached
constexpr int Stack = 66;      // the engine's thread ran out of stack
constexpr int Crash = 67;      // any other fatal signal
} // namespace ScriptRunnerExit

// True when the program was started as a runner (argv[1] is the switch).
bool IsScriptRunnerCall(int argc, char** argv);
// Runs the runner mode; a QGuiApplication (offscreen) must exist. Never returns an error
// to the caller's usual paths: it ends the process with one of the exit codes.
[[noreturn]] void ScriptRunnerMain(int argc, char** argv);
