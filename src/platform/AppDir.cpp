#include "AppDir.h"

#include <cstdlib>
#include <filesystem>
#include <pwd.h>
#include <unistd.h>

namespace fs = std::filesystem;

namespace {

std::string withSlash(std::string dir)
{
    if (dir.empty() || dir.back() != '/')
        dir += '/';
    return dir;
}

std::string userHome()
{
    if (const char* h = std::getenv("HOME"); h && *h)
        return h;
    if (const passwd* pw = ::getpwuid(::getuid()); pw && pw->pw_dir)
        return pw->pw_dir;
    return "/tmp";
}

} // namespace

std::string ExecutableDir()
{
    std::error_code ec;
    const fs::path exe = fs::read_symlink("/proc/self/exe", ec);
    if (ec)
        return withSlash(fs::current_path(ec).string());
    return withSlash(exe.parent_path().string());
}

std::string ResolveAppDir(const char* anivorHome, const std::string& exeDir, const std::string& home)
{
    std::error_code ec;
    if (anivorHome && *anivorHome) {
        // Created when missing; if that fails, writes there fail later with a clear message.
        fs::create_directories(anivorHome, ec);
        return withSlash(fs::absolute(anivorHome, ec).string());
    }
    // An installed program (its shared files in ../share/anivor) keeps per-user files in
    // the user's folder even when the executable's folder is writable (root, a home prefix).
    if (::access(exeDir.c_str(), W_OK) == 0 && !InstalledLayout(exeDir))
        return withSlash(exeDir);
    const fs::path data = fs::path(home) / ".local" / "share" / "anivor";
    fs::create_directories(data, ec);
    return withSlash(data.string());
}

std::string SharedDataDir(const std::string& exeDir)
{
    return withSlash((fs::path(exeDir) / ".." / "share" / "anivor").lexically_normal().string());
}

bool InstalledLayout(const std::string& exeDir)
{
    std::error_code ec;
    return fs::is_directory(SharedDataDir(exeDir), ec);
}

std::string AppDir()
{
    return ResolveAppDir(std::getenv("ANIVOR_HOME"), ExecutableDir(), userHome());
}

std::string SettingsFileName()
{
    return AppDir() + "anivor.ini";
}

std::string UserFolder(const std::string& appDir, const std::string& sharedDir, const std::string& name)
{
    const fs::path folder = fs::path(appDir) / name;
    const fs::path samples = fs::path(sharedDir) / name;
    std::error_code ec;
    if (!fs::exists(folder, ec) && fs::is_directory(samples, ec) && fs::create_directories(folder, ec))
        for (const fs::directory_entry& e : fs::directory_iterator(samples, ec))
            if (e.is_regular_file(ec))
                fs::copy_file(e.path(), folder / e.path().filename(), fs::copy_options::skip_existing, ec);
    return folder.string();
}
