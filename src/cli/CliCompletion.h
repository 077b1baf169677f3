// Completion scripts for bash and zsh, made from the command table: the commands, their
// options (described and named in the usage), the values the program accepts
// (CliWords.h) and the kinds of files each argument takes.
#pragma once

#include <string>

std::string CliBashCompletion();
std::string CliZshCompletion();
