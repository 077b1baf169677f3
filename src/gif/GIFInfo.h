// The block tree of a document as text, one line per block: what `anivor-cli gif-info`
// prints.
#pragma once

#include "GIFImage.h"

#include <string>

std::string GIFBlockTreeText(const TGIFImage& image);
// Disposal method as a word: "none specified", "do not dispose", "background", "previous".
std::string GIFDisposalName(int method);
