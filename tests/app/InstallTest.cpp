// A staging install (DESTDIR) of this build, as `make install` and the package make it:
// the programs, their manual pages, the completion scripts, the desktop entry and its
// AppStream description land where the desktop looks for them, and each of them works
// with the tool that reads it. A check is skipped only when its tool is not installed.
#include "support/TestSupport.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <regex>
#include <sstream>
#include <sys/wait.h>

namespace fs = std::filesystem;

namespace {

struct Shell {
    int Exit = -1;
    std::string Out; // standard output and error
};

Shell RunShell(const std::string& command)
{
    Shell r;
    FILE* pipe = popen((command + " 2>&1").c_str(), "r");
    if (!pipe)
        return r;
    char buffer[4096];
    for (std::size_t n; (n = std::fread(buffer, 1, sizeof buffer, pipe)) > 0;)
        r.Out.append(buffer, n);
    const int status = pclose(pipe);
    r.Exit = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return r;
}

bool Have(const std::string& tool) { return RunShell("command -v " + tool).Exit == 0; }

// A word for the shell, whatever it holds.
std::string Quote(const fs::path& p)
{
    std::string out = "'";
    for (char c : p.string())
        out += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return out + "'";
}

// Blanks and line breaks made single spaces.
std::string Words(const std::string& text)
{
    std::istringstream in(text);
    std::string out;
    for (std::string w; in >> w;)
        out += (out.empty() ? "" : " ") + w;
    return out;
}

// The words of the usage that `--help` starts with ("anivor-cli make -o OUT.gif ...").
std::string HelpUsage(const std::string& help)
{
    const std::string usage = help.substr(0, help.find("\n\n"));
    return Words(usage.substr(usage.find(' ') + 1));
}

// The completion bash offers for the words of `line` (the last one being completed),
// with the installed script, in `dir`.
std::string BashOffers(const fs::path& script, const fs::path& dir, const std::string& line)
{
    const std::string program = "source " + Quote(script) + "; COMP_WORDS=(" + line + (line.back() == ' ' ? "''" : "")
                                + "); COMP_CWORD=$((${#COMP_WORDS[@]} - 1)); _anivor_cli; "
                                  "printf '%s\\n' \"${COMPREPLY[@]}\" | sort";
    return RunShell("cd " + Quote(dir) + " && bash -c " + Quote(program)).Out;
}

} // namespace

TEST(Install, ManualPagesCompletionAndAppStreamWorkWhereInstalled)
{
    TempDir stage, tools;
    const fs::path usr = stage.path() / "usr";
    // The desktop's cache tools, standing in for the real ones: a staging install must
    // leave the live system's caches alone.
    for (const char* tool : {"update-desktop-database", "gtk-update-icon-cache"}) {
        std::ofstream(tools.file(tool)) << "#!/bin/sh\necho \"$0 $*\" >> '" << tools.file("ran.txt") << "'\n";
        fs::permissions(tools.file(tool), fs::perms::owner_all);
    }
    const Shell install = RunShell("PATH=" + Quote(tools.path()) + ":\"$PATH\" DESTDIR=" + Quote(stage.path()) + " '"
                                   ANIVOR_CMAKE_COMMAND "' --install '" ANIVOR_BUILD_DIR "' --prefix /usr");
    ASSERT_EQ(install.Exit, 0) << install.Out;
    EXPECT_FALSE(fs::exists(tools.file("ran.txt")));
    for (const char* file :
         {"bin/anivor", "bin/anivor-cli", "share/man/man1/anivor.1", "share/man/man1/anivor-cli.1",
          "share/bash-completion/completions/anivor-cli", "share/zsh/vendor-completions/_anivor-cli",
          "share/applications/org.anivor.Anivor13.desktop", "share/metainfo/org.anivor.Anivor13.metainfo.xml"})
        EXPECT_TRUE(fs::is_regular_file(usr / file)) << file;
    const std::string cli = Quote(usr / "bin" / "anivor-cli");
    std::string skipped;

    // The window program answers --help and --version without starting (no display).
    const Shell version = RunShell(Quote(usr / "bin" / "anivor") + " --version");
    EXPECT_EQ(version.Exit, 0);
    EXPECT_TRUE(std::regex_match(version.Out, std::regex("anivor \\(Anivor 13\\) [0-9.]+\n"))) << version.Out;
    const Shell anivorHelp = RunShell(Quote(usr / "bin" / "anivor") + " --help");
    EXPECT_EQ(anivorHelp.Exit, 0);
    EXPECT_EQ(anivorHelp.Out.rfind("Usage: anivor [FILE...]\n", 0), 0u) << anivorHelp.Out;

    // Both manual pages render without a warning and say what --help says: every
    // command's usage, word for word.
    if (!Have("man")) {
        skipped += " man";
    } else {
        const auto render = [&](const char* page) {
            return RunShell("LC_ALL=C MANWIDTH=80 man --warnings -l " + Quote(usr / "share/man/man1" / page));
        };
        const Shell anivor = render("anivor.1"), anivorCli = render("anivor-cli.1");
        EXPECT_EQ(anivor.Exit, 0);
        EXPECT_EQ(anivorCli.Exit, 0);
        EXPECT_NE(anivor.Out.find("NAME\n       anivor - Anivor 13, a studio for animated GIFs\n"), std::string::npos)
            << anivor.Out;
        EXPECT_NE(Words(anivor.Out).find("--unregister Removes the activation file and ends."), std::string::npos);
        EXPECT_NE(anivorCli.Out.find("NAME\n       anivor-cli - Anivor 13 from the command line\n"), std::string::npos)
            << anivorCli.Out;
        // groff's complaints: "troff: <standard input>:12: warning: ..."
        const std::regex complaint(":[0-9]+: (warning|error)");
        EXPECT_FALSE(std::regex_search(anivor.Out, complaint)) << anivor.Out;
        EXPECT_FALSE(std::regex_search(anivorCli.Out, complaint)) << anivorCli.Out;
        const std::string page = Words(anivorCli.Out);
        for (const char* command : {"make", "avi2gif", "gif2avi", "gif-frames", "shape", "wizard", "glyph", "painter"}) {
            const std::string usage = HelpUsage(RunShell(cli + " " + command + " --help").Out);
            EXPECT_NE(page.find(usage), std::string::npos) << usage;
        }
        EXPECT_NE(page.find("--palette METHOD The palette: none, windows-system,"), std::string::npos);
    }

    // bash: the completion is registered and offers commands, options, the names the
    // program accepts and files of the kind an argument takes.
    if (!Have("bash")) {
        skipped += " bash";
    } else {
        const fs::path script = usr / "share/bash-completion/completions/anivor-cli";
        EXPECT_EQ(RunShell("bash -c " + Quote("source " + Quote(script) + " && complete -p anivor-cli")).Out,
                  "complete -F _anivor_cli anivor-cli\n");
        TempDir files;
        for (const char* name : {"a.gif", "b.PNG", "notes.txt", "clip.mp4"})
            std::ofstream(files.file(name)) << "x";
        fs::create_directory(files.path() / "sub");
        const struct {
            std::string line, offers;
        } cases[] = {
            {"anivor-cli ma", "make\n"},
            {"anivor-cli --quiet gif-", "gif-explore\ngif-frames\ngif-info\n"},
            {"anivor-cli make --pal", "--palette\n"},
            {"anivor-cli make --palette ",
             "best\ngrayscale\nmonochrome\nnetscape\nnone\noptimized\noptimized-windows\nwindows-grayscale\n"
             "windows-halftone\nwindows-system\n"},
            {"anivor-cli make -o out.gif --dither st", "stevenson-arce\nstucki\n"},
            {"anivor-cli effect Dark", "Darkness\n"},
            {"anivor-cli shape qstTriangleR", "qstTriangleRight\n"},
            {"anivor-cli shape circle --gradient qgdCirc", "qgdCircIn\nqgdCircOut\n"},
            {"anivor-cli wizard Actor/Spiral", "Actor/Spiral\\ Left\nActor/Spiral\\ Right\n"},
            {"anivor-cli frame-op scroll-l", "scroll-left\n"},
            {"anivor-cli --memory-limit 1G gif-info ", "a.gif\nsub\n"},
            {"anivor-cli make -o out.gif ", "a.gif\nb.PNG\nsub\n"},
            {"anivor-cli avi2gif ", "clip.mp4\nsub\n"},
            {"anivor-cli gif-frames a.gif ", "sub\n"},
            {"anivor-cli help gif2", "gif2avi\n"},
        };
        for (const auto& c : cases)
            EXPECT_EQ(BashOffers(script, files.path(), c.line), c.offers) << c.line;
    }

    // zsh: the script parses and compinit takes it from the folder zsh searches.
    if (!Have("zsh")) {
        skipped += " zsh";
    } else {
        const fs::path folder = usr / "share/zsh/vendor-completions";
        EXPECT_EQ(RunShell("zsh -n " + Quote(folder / "_anivor-cli")).Exit, 0);
        const std::string program = "fpath=(" + Quote(folder) + " $fpath); autoload -U compinit; compinit -u -D; "
                                    "print -r -- $_comps[anivor-cli]";
        EXPECT_EQ(RunShell("zsh -f -c " + Quote(program)).Out, "_anivor-cli\n");
    }

    // The AppStream description is valid (offline) and names the desktop entry installed
    // beside it; the entry is valid too.
    const fs::path metainfo = usr / "share/metainfo/org.anivor.Anivor13.metainfo.xml";
    std::ifstream in(metainfo);
    const std::string xml((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    std::smatch id;
    ASSERT_TRUE(std::regex_search(xml, id, std::regex("<id>([^<]+)</id>")));
    EXPECT_NE(xml.find("<launchable type=\"desktop-id\">" + id[1].str() + ".desktop</launchable>"), std::string::npos);
    EXPECT_TRUE(fs::is_regular_file(usr / "share/applications" / (id[1].str() + ".desktop")));
    for (const char* part : {"<summary>", "<description>", "<screenshot type=\"default\">", "<release version=",
                             "<content_rating type=\"oars-1.1\""})
        EXPECT_NE(xml.find(part), std::string::npos) << part;
    if (!Have("appstreamcli")) {
        skipped += " appstreamcli";
    } else {
        const Shell valid = RunShell("appstreamcli validate --no-net " + Quote(metainfo));
        EXPECT_EQ(valid.Exit, 0) << valid.Out;
    }
    if (!Have("desktop-file-validate")) {
        skipped += " desktop-file-validate";
    } else {
        const Shell valid =
            RunShell("desktop-file-validate " + Quote(usr / "share/applications" / (id[1].str() + ".desktop")));
        EXPECT_EQ(valid.Exit, 0) << valid.Out;
    }
    if (!skipped.empty())
        GTEST_SKIP() << "not installed:" << skipped;
}
