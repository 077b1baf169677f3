// Actor pictures from files: every kind Import takes (BMP, ICO, PNG, JPEG, and a GIF's first
// image), with the file's own transparency (PNG alpha, GIF transparent index, icon mask) or,
// when it brings none, without the pixels of its bottom-left pixel's colour.
#pragma once

#include "wizards/ActorPicture.h"

#include <cstddef>
#include <cstdint>
#include <string>

// Decodes a picture by its content (the extension of `path` only when the content does
// not tell). Throws EInvalidGraphic with the decoder's message for a bad file or a picture
// without pixels, EOutOfMemory when the memory budget refuses it.
TActorPicture ReadActorPicture(const std::uint8_t* data, std::size_t size, const std::string& path);
// The same from a file; only regular files are read (Exception "Unable to read ...").
TActorPicture LoadActorPicture(const std::string& path);
