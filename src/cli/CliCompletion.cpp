#include "CliCompletion.h"

#include "CliCommand.h"
#include "CliHelp.h"

#include <algorithm>
#include <sstream>

namespace {

// The extensions of a file kind, lower case, separated by blanks; empty for any file.
std::string extensions(const std::string& kind)
{
    if (kind == "image")
        return "bmp gif ico jpg jpeg png";
    if (kind == "image-or-project")
        return "bmp gif ico jpg jpeg png anivor";
    if (kind == "animation")
        return "gif anivor";
    if (kind == "video")
        return "avi mp4 mov mkv webm";
    if (kind == "bmp-png")
        return "bmp png";
    if (kind == "dir" || kind == "file")
        return "";
    return kind; // "gif", "avi", "bmp", "js"
}

std::string shellQuote(const std::string& s)
{
    std::string out = "'";
    for (char c : s)
        out += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return out + "'";
}

// ---- bash

// The bash statements that offer what `values` allows (nothing for a free value).
std::string bashOffer(const CliValues& values)
{
    if (values.words) {
        std::string line = "_anivor_cli_offer";
        for (const std::string& w : values.words())
            line += " " + shellQuote(w);
        return line;
    }
    if (!values.files.empty())
        return "_anivor_cli_files " + shellQuote(values.files == "dir" || values.files == "file" ? values.files
                                                                                                  : extensions(values.files));
    return ":";
}

const char* kBashHead = R"(# bash completion for anivor-cli; made by `anivor-cli --completion bash`.

# The words of "$@" that start with the word being completed, quoted for the shell.
_anivor_cli_offer() {
    local w q
    for w in "$@"; do
        printf -v q %q "$w"
        [[ $w == "$cur"* || $q == "$cur"* ]] && COMPREPLY+=("$q")
    done
}

# Folders, and files with one of the extensions in $1 (any letter case); "dir" for folders
# only, "file" for any file.
_anivor_cli_files() {
    compopt -o filenames 2>/dev/null
    local IFS=$'\n' f ext
    COMPREPLY+=($(compgen -d -- "$cur"))
    [[ $1 == dir ]] && return
    for f in $(compgen -f -- "$cur"); do
        [[ -d $f ]] && continue
        ext=${f##*.}
        if [[ $1 == file || ( $f == *.* && " $1 " == *" ${ext,,} "* ) ]]; then
            COMPREPLY+=("$f")
        fi
    done
}

_anivor_cli() {
    local cur=${COMP_WORDS[COMP_CWORD]} prev=${COMP_WORDS[COMP_CWORD-1]}
    local i cmd= n=0 w
    COMPREPLY=()
    # The command: the first word that is neither an option nor the memory limit's value.
    for ((i = 1; i < COMP_CWORD; i++)); do
        w=${COMP_WORDS[i]}
        if [[ $w == --memory-limit ]]; then
            ((i++))
            continue
        fi
        [[ $w == -* ]] && continue
        cmd=$w
        break
    done
    case $prev in
        --memory-limit) return ;;
        --completion) _anivor_cli_offer bash zsh; return ;;
    esac
)";

std::string bashScript()
{
    const std::vector<CliCommand> commands = CliSortedCommands();
    std::ostringstream out;
    out << kBashHead;
    std::string names = "help";
    for (const CliCommand& c : commands)
        names += " " + c.name;
    std::string common;
    for (const CliOption& o : CliCommonOptions())
        common += " " + o.name;
    out << "    if [[ -z $cmd ]]; then\n"
        << "        if [[ $cur == -* ]]; then\n"
        << "            _anivor_cli_offer" << common << " --version --completion\n"
        << "        else\n"
        << "            _anivor_cli_offer " << names << "\n"
        << "        fi\n"
        << "        return\n"
        << "    fi\n"
        << "    if [[ $cmd == help ]]; then\n"
        << "        (( i + 1 == COMP_CWORD )) && _anivor_cli_offer " << names << "\n"
        << "        return\n"
        << "    fi\n";

    // The value of an option.
    out << "    case \"$cmd $prev\" in\n";
    for (const CliCommand& c : commands)
        for (const CliOption& o : CliOptionsOf(c))
            if (!o.value.empty())
                out << "        " << shellQuote(c.name + " " + o.name) << ") " << bashOffer(o.values) << "; return ;;\n";
    out << "    esac\n";

    // An option.
    out << "    if [[ $cur == -* ]]; then\n"
        << "        case $cmd in\n";
    for (const CliCommand& c : commands) {
        out << "            " << shellQuote(c.name) << ") _anivor_cli_offer";
        for (const CliOption& o : CliOptionsOf(c))
            out << " " << shellQuote(o.name);
        out << common << " ;;\n";
    }
    out << "        esac\n"
        << "        return\n"
        << "    fi\n";

    // An operand: the count of those before it, past the options and their values.
    out << "    for ((i = i + 1; i < COMP_CWORD; i++)); do\n"
        << "        w=${COMP_WORDS[i]}\n"
        << "        case \"$cmd $w\" in\n"
        << "            *' --memory-limit'";
    for (const CliCommand& c : commands)
        for (const CliOption& o : CliOptionsOf(c))
            if (!o.value.empty())
                out << "|" << shellQuote(c.name + " " + o.name);
    out << ") ((i++)); continue ;;\n"
        << "        esac\n"
        << "        [[ $w == -* ]] || ((n++))\n"
        << "    done\n"
        << "    case $cmd in\n";
    for (const CliCommand& c : commands) {
        if (c.operands.empty())
            continue;
        out << "        " << shellQuote(c.name) << ")\n"
            << "            case $n in\n";
        for (std::size_t k = 0; k < c.operands.size(); ++k)
            out << "                " << (k + 1 == c.operands.size() ? std::string("*") : std::to_string(k)) << ") "
                << bashOffer(c.operands[k]) << " ;;\n";
        out << "            esac ;;\n";
    }
    out << "    esac\n"
        << "}\n"
        << "complete -F _anivor_cli anivor-cli\n";
    return out.str();
}

// ---- zsh

// Text inside a zsh single-quoted _arguments option description: quotes, brackets and colons escaped.
std::string zshText(const std::string& s)
{
    std::string out;
    for (char c : s) {
        if (c == '\'')
            out += "'\\''";
        else if (c == '[' || c == ']' || c == ':' || c == '\\')
            out += std::string("\\") + c;
        else
            out += c;
    }
    return out;
}

// The first sentence of a help text, short enough for a completion menu.
std::string brief(const std::string& help)
{
    std::size_t end = help.find(". ");
    while (end != std::string::npos && end >= 3 && help.compare(end - 3, 3, "e.g") == 0)
        end = help.find(". ", end + 2);
    std::string s = help.substr(0, end);
    if (!s.empty() && s.back() == '.')
        s.pop_back();
    if (s.size() > 70)
        s = s.substr(0, 67) + "...";
    return s;
}

std::string zshAction(const CliValues& values)
{
    if (values.words) {
        std::string list = "(";
        for (const std::string& w : values.words()) {
            std::string escaped;
            for (char c : w) {
                if (c == ' ' || c == '(' || c == ')' || c == ':' || c == '\\' || c == '%')
                    escaped += '\\';
                escaped += c == '\'' ? std::string("'\\''") : std::string(1, c);
            }
            list += (list.size() > 1 ? " " : "") + escaped;
        }
        return list + ")";
    }
    if (values.files == "dir")
        return "_files -/";
    if (values.files == "file")
        return "_files";
    if (!values.files.empty()) {
        std::istringstream in(extensions(values.files));
        std::string glob;
        for (std::string e; in >> e;) {
            std::string upper = e;
            for (char& ch : upper)
                ch = static_cast<char>(ch - 'a' + 'A');
            glob += (glob.empty() ? "" : "|") + e + "|" + upper;
        }
        return "_files -g \"*.(" + glob + ")\"";
    }
    return " ";
}

std::string zshValueName(std::string name)
{
    std::replace(name.begin(), name.end(), ':', ' ');
    return zshText(name);
}

std::string zshScript()
{
    const std::vector<CliCommand> commands = CliSortedCommands();
    std::ostringstream out;
    out << "#compdef anivor-cli\n"
        << "# zsh completion for anivor-cli; made by `anivor-cli --completion zsh`.\n\n"
        << "_anivor-cli() {\n"
        << "    local curcontext=$curcontext state line ret=1\n"
        << "    local -a commands common\n"
        << "    commands=(\n"
        << "        'help:Shows the usage of anivor-cli or of one command'\n";
    for (const CliCommand& c : commands)
        out << "        '" << zshText(c.name) << ":" << zshText(brief(c.summary)) << "'\n";
    out << "    )\n"
        << "    common=(\n";
    for (const CliOption& o : CliCommonOptions())
        out << "        '" << o.name << "[" << zshText(brief(o.help)) << "]"
            << (o.value.empty() ? "" : ":" + zshValueName(o.value) + ": ") << "'\n";
    out << "    )\n"
        << "    _arguments -C $common \\\n"
        << "        '(- *)--version[Shows the version]' \\\n"
        << "        '(- *)--completion[Prints a completion script]:shell:(bash zsh)' \\\n"
        << "        '1:command:->command' '*::argument:->argument' && ret=0\n"
        << "    case $state in\n"
        << "        command) _describe -t commands 'anivor-cli command' commands && ret=0 ;;\n"
        << "        argument)\n"
        << "            case $words[1] in\n"
        << "                help) _describe -t commands 'anivor-cli command' commands && ret=0 ;;\n";
    for (const CliCommand& c : commands) {
        out << "                " << shellQuote(c.name) << ") _arguments $common";
        for (const CliOption& o : CliOptionsOf(c)) {
            if (o.name == "--help")
                continue;
            out << " \\\n                    '" << zshText(o.name) << "[" << zshText(brief(o.help.empty() ? o.name : o.help))
                << "]";
            if (!o.value.empty())
                out << ":" << zshValueName(o.value) << ":" << zshAction(o.values);
            out << "'";
        }
        for (std::size_t k = 0; k < c.operands.size(); ++k)
            out << " \\\n                    '" << (k + 1 == c.operands.size() ? std::string("*") : std::to_string(k + 1))
                << ":argument:" << zshAction(c.operands[k]) << "'";
        out << " && ret=0 ;;\n";
    }
    out << "            esac ;;\n"
        << "    esac\n"
        << "    return ret\n"
        << "}\n\n"
        << "_anivor-cli \"$@\"\n";
    return out.str();
}

} // namespace

std::string CliBashCompletion() { return bashScript(); }
std::string CliZshCompletion() { return zshScript(); }
