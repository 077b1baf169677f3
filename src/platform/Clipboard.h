// The desktop clipboard with registered formats. A format the program registers by name
// (the GIF codec's "GIF Image") travels under a MIME type of its own, so other programs
// see it as opaque bytes and the program finds it again by the same name.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

// "GIF Image" -> "application/x-anivor-gif-image".
std::string ClipboardMimeType(const std::string& format);
bool ClipboardHasFormat(const std::string& format);
// The bytes held under `format`; empty when there are none.
std::vector<std::uint8_t> ClipboardData(const std::string& format);
// Replaces the clipboard's contents with these bytes under `format`.
void SetClipboardData(const std::string& format, const std::vector<std::uint8_t>& bytes);
