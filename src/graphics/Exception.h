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

// The message of a failure to read `path`, naming the file first ("not-a-gif.gif: Invalid
// GIF signature") unless the message names it already.
inline std::string FileMessage(const std::string& path, const std::string& message)
{
    return message.find(path) != std::string::npos ? message : path + ": " + message;
}

// Runs `read` (which reads `path`); a picture that cannot be read comes out naming the
// file. Other failures pass as they are.
template <typename Fn> auto ReadingFile(const std::string& path, Fn&& read) -> decltype(read())
{
    try {
        return read();
    } catch (const EInvalidGraphic& e) {
        throw EInvalidGraphic(FileMessage(path, e.what()));
    }
}
