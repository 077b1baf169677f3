// Runs the built anivor-cli as a user would, capturing its exit code and output.
#pragma once

#include "support/TestSupport.h"

#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>
#include <sys/wait.h>

struct CliRun {
    int Exit = -1;
    std::string Out, Err;
};

inline std::string ReadTextFile(const std::string& path)
{
    std::ifstream in(path);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
}

// `args` is put on a shell command line as it stands; quote what needs quoting. `env` goes
// in front of the program ("ANIVOR_HOME='/tmp/x'").
inline CliRun RunCli(const TempDir& dir, const std::string& args, const std::string& env = "")
{
    const std::string out = dir.file("cli-stdout.txt"), err = dir.file("cli-stderr.txt");
    const std::string command = env + " '" + ANIVOR_CLI_PATH + "' " + args + " >'" + out + "' 2>'" + err + "'";
    const int status = std::system(command.c_str());
    return {WIFEXITED(status) ? WEXITSTATUS(status) : -1, ReadTextFile(out), ReadTextFile(err)};
}
