// Where the program keeps its files "beside the executable".
#pragma once

#include <string>

// The folder of the settings file, the help document and the folders "images", "actors"
// and "scripts", with a trailing "/":
// - the folder named by the environment variable ANIVOR_HOME, when set (created if missing);
// - else the executable's folder, when it is writable and not an installed layout;
// - else ~/.local/share/anivor/ (created).
std::string AppDir();

// The settings file: AppDir() + "anivor.ini". The window program, anivor-cli and the test
// programs share this one name, so they read the same settings in the same folder.
std::string SettingsFileName();

// The folder of the running executable, with a trailing "/".
std::string ExecutableDir();

// The rules of AppDir() on explicit inputs: `anivorHome` is ANIVOR_HOME (nullptr or empty
// when unset), `userHome` the user's home folder.
std::string ResolveAppDir(const char* anivorHome, const std::string& exeDir, const std::string& userHome);

// Where an installed program finds its shared files (help, presets): <exeDir>/../share/anivor/.
std::string SharedDataDir(const std::string& exeDir);
// True when the executable is installed (its SharedDataDir exists): settings then live in
// the user's folder.
bool InstalledLayout(const std::string& exeDir);

// The folder `name` of appDir, for files the user keeps (e.g. "scripts"). The first time,
// when it does not exist yet and `sharedDir` ships samples under the same name, it is made
// with copies of them; failures leave it to the caller's own file errors.
std::string UserFolder(const std::string& appDir, const std::string& sharedDir, const std::string& name);
