#include "CliHelp.h"

#include <algorithm>
#include <cctype>
#include <sstream>

#ifndef ANIVOR_VERSION
#define ANIVOR_VERSION "unknown"
#endif

namespace {

// The words of a usage line; brackets and bars stand alone, quotes go.
std::vector<std::string> usageWords(const std::string& usage)
{
    std::string text;
    for (char c : usage)
        if (c == '[' || c == ']' || c == '|')
            text += std::string(" ") + c + " ";
        else if (c != '"')
            text += c;
    std::istringstream in(text);
    std::vector<std::string> words;
    for (std::string w; in >> w;)
        words.push_back(w);
    return words;
}

bool isOptionWord(const std::string& w)
{
    return w.size() > 1 && w[0] == '-' && std::isalpha(static_cast<unsigned char>(w.back())) != 0
           && !std::isdigit(static_cast<unsigned char>(w[1]));
}

std::string term(const CliOption& o) { return o.value.empty() ? o.name : o.name + " " + o.value; }

std::vector<TManualEntry> entries(const std::vector<CliOption>& options)
{
    std::vector<TManualEntry> list;
    for (const CliOption& o : options)
        list.push_back({term(o), o.help});
    return list;
}

} // namespace

std::vector<CliCommand> CliSortedCommands()
{
    std::vector<CliCommand> commands = CliRegistry::All();
    std::sort(commands.begin(), commands.end(), [](const CliCommand& a, const CliCommand& b) { return a.name < b.name; });
    return commands;
}

std::string CliVersionText() { return "anivor-cli (Anivor 13) " ANIVOR_VERSION; }

std::vector<CliOption> CliOptionsOf(const CliCommand& command)
{
    std::vector<CliOption> options = command.options;
    const std::vector<std::string> words = usageWords(command.usage);
    for (std::size_t i = 0; i < words.size(); ++i) {
        if (!isOptionWord(words[i]))
            continue;
        if (std::any_of(options.begin(), options.end(), [&](const CliOption& o) { return o.name == words[i]; }))
            continue;
        const bool value = i + 1 < words.size() && std::isupper(static_cast<unsigned char>(words[i + 1][0])) != 0;
        options.push_back({words[i], value ? words[i + 1] : "", ""});
    }
    return options;
}

const std::vector<CliOption>& CliCommonOptions()
{
    static const std::vector<CliOption> options{
        {"--memory-limit", "SIZE",
         "The memory budget for pictures (such as 512M or 4G; at least 1M). Work that would need more is refused "
         "at once. Default: the settings file's [Memory] Limit, else 2G."},
        {"--quiet", "", "Shows no progress bar and no \"Wrote ...\" lines; errors and warnings still show."},
        {"--help", "", "Shows the usage and the options (of the command, when one is named) and does nothing else."},
    };
    return options;
}

TManualPage CliProgramPage()
{
    TManualPage page;
    page.Name = "anivor-cli";
    page.Summary = "Anivor 13 from the command line";
    page.Synopsis = {"COMMAND [OPTIONS] [ARGUMENTS]", "COMMAND --help", "help [COMMAND]", "--version"};

    TManualSection description{"Description"};
    description.Paragraphs = {
        "anivor-cli runs the engine of the window program anivor(1) from the shell, for scripts, batch jobs and "
        "timing: each command does one job the way the window does it and writes the same files. It reads and "
        "writes files only and never needs a display.",
        "Long jobs (make, avi2gif, gif2avi, gif-frames) draw a progress bar with the time left on standard error "
        "while it is a terminal; nothing is drawn when it is piped or redirected, or with --quiet.",
        "anivor-cli COMMAND --help shows a command's usage and options."};
    page.Sections.push_back(description);

    const std::vector<CliCommand> commands = CliSortedCommands();
    TManualSection list{"Commands"};
    list.ShownIn = TShownIn::Help;
    TManualSection reference{"Commands"};
    reference.ShownIn = TShownIn::Manual;
    for (const CliCommand& c : commands) {
        list.Entries.push_back({c.name + (c.usage.empty() ? "" : " " + c.usage), c.summary});
        TManualSection command{c.name};
        command.Lines = {"anivor-cli " + c.name + (c.usage.empty() ? "" : " " + c.usage)};
        command.Paragraphs = {c.summary};
        command.Entries = entries(CliOptionsOf(c));
        reference.Subsections.push_back(command);
    }
    page.Sections.push_back(list);
    page.Sections.push_back(reference);

    TManualSection options{"Options"};
    options.Paragraphs = {"Every command takes these, anywhere on its line:"};
    options.Entries = entries(CliCommonOptions());
    options.Entries.push_back({"--version", "Shows the program's version (alone, without a command)."});
    options.Entries.push_back(
        {"--completion SHELL", "Prints the completion script for bash or zsh (installed with the program)."});
    page.Sections.push_back(options);

    TManualSection status{"Exit status"};
    status.Entries = {{"0", "Done."},
                      {"1", "The command failed; the message is on standard error."},
                      {"2", "Wrong arguments; the message and the usage are on standard error."}};
    page.Sections.push_back(status);

    TManualSection environment{"Environment"};
    environment.Entries = {
        {"ANIVOR_HOME", "The folder of the settings file (anivor.ini) and of the images, actors and scripts "
                        "folders; by default ~/.local/share/anivor/ for an installed program."}};
    environment.ShownIn = TShownIn::Manual;
    page.Sections.push_back(environment);

    TManualSection seeAlso{"See also"};
    seeAlso.Paragraphs = {"anivor(1)"};
    seeAlso.ShownIn = TShownIn::Manual;
    page.Sections.push_back(seeAlso);
    return page;
}

TManualPage CliCommandPage(const CliCommand& command)
{
    TManualPage page;
    page.Name = "anivor-cli " + command.name;
    page.Summary = command.summary;
    page.Synopsis = {command.usage};
    TManualSection description{"Description"};
    description.Paragraphs = {command.summary};
    page.Sections.push_back(description);
    if (const std::vector<TManualEntry> list = entries(CliOptionsOf(command)); !list.empty()) {
        TManualSection options{"Options"};
        options.Entries = list;
        page.Sections.push_back(options);
    }
    TManualSection common{"Common options"};
    common.Entries = entries(CliCommonOptions());
    page.Sections.push_back(common);
    return page;
}
