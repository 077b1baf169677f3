// Scripts run in anivor-cli's runner mode: the tests use the one just built.
#include <cstdlib>

namespace {
const int kRunnerSet = setenv("ANIVOR_SCRIPT_RUNNER", ANIVOR_SCRIPT_RUNNER_PATH, 0);
} // namespace
