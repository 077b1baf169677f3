// Runs a check in a child process without root's privileges, so that file permissions
// apply even when the tests run as root (as in containers).
#pragma once

#include <functional>
#include <string>

// Runs `check` as the user "nobody" when the tests run as root, else as ourselves, in a
// forked child. Returns the child's answer: an empty string for success, else what failed.
std::string RunUnprivileged(const std::function<std::string()>& check);
