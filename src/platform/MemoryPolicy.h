// How the window program keeps the memory it frees.
#pragma once

// Pictures of a few megabytes are made and dropped all the time in the window (a zoomed
// editor picture, effect results, frames and their copies). With this, pictures up to 32 MB
// come from the heap and up to 256 MB of freed memory stays with the process, so the next
// picture reuses pages instead of waiting for the kernel to hand out fresh, zeroed ones
// (a x4 zoom of 640 x 480 went from about 41 ms to 23 ms). Larger pictures are still
// mapped on their own and given back when freed. Called once at start.
void KeepFreedPictureMemory();
