// The exception family. Every failure carries a message meant for the user; commands
// show it in a message box and the window stays usable.
#pragma once

#include <stdexcept>
#include <string>

class Exception : public std::runtime_error {
public:
    explicit Exception(const std::string& message) : std::runtime_error(message) {}
    std::string Message() const { return what(); }
};

// A picture that cannot be read, built or drawn (bad file, impossible size).
class EInvalidGraphic : public Exception {
public:
    using Exception::Exception;
};

// An argument outside what an operation accepts.
class EInvalidArgument : public Exception {
public:
    using Exception::Exception;
};
