// What must hold of the frame strip whatever was done to it: every frame has a picture of
// the frame size, names are unique and below the next frame number, the item index and the
// selection point at frames. Returns one line per broken rule; empty when all hold.
#pragma once

#include <string>
#include <vector>

class TFrameStrip;

std::vector<std::string> StripProblems(const TFrameStrip& strip);
