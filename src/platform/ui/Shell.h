// The desktop's "open" verb: hands a web address or a file to the user's default program.
#pragma once

#include <string>

// False when no program could take it (the caller decides whether to say so).
bool OpenUrl(const std::string& url);
