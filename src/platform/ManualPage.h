// A program's own description, written once and printed two ways: as the text of
// `--help` on a terminal and as a manual page (roff, man(7) macros). Both programs build
// their help from it, and their manual pages are made at build time by running them,
// so the page and --help cannot say different things.
#pragma once

#include <string>
#include <vector>

// A term and what it means: an option and its effect, a command and its summary.
struct TManualEntry {
    std::string Term;
    std::string Text;
};

// Where a section is shown: a reference too long for --help goes on the manual page only,
// and a short list the reference repeats in --help only.
enum class TShownIn { Both, Help, Manual };

struct TManualSection {
    std::string Title;                    // "OPTIONS"; a subsection's own name ("make")
    std::vector<std::string> Lines = {};       // lines shown before the text (a usage line)
    std::vector<std::string> Paragraphs = {};  // running text, wrapped when printed
    std::vector<TManualEntry> Entries = {};    // shown as a list after the paragraphs
    std::vector<TManualSection> Subsections = {};
    TShownIn ShownIn = TShownIn::Both;
};

struct TManualPage {
    std::string Name;                  // the program: "anivor-cli"
    std::string Summary;               // what it is, in a few words (the NAME line)
    std::vector<std::string> Synopsis; // the ways to call it, one line each, without the name
    std::vector<TManualSection> Sections;
};

// The help text: "Usage: NAME SYNOPSIS" lines, then each section shown in help with its title followed by a colon; paragraphs are wrapped to `width` columns, entries
// show their term on one line and their text indented below it.
std::string ManualHelpText(const TManualPage& page, int width = 80);

// The manual page (section 1) of the same text, for `version` ("Anivor 13.0"): the
// sections shown on the manual page, with their subsections.
std::string ManualRoff(const TManualPage& page, const std::string& version);

// `text` broken into lines of at most `width` columns (longer words stand alone), each
// starting with `indent` spaces.
std::string WrapText(const std::string& text, int indent, int width);
