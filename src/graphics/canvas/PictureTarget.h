// TPictureTarget: a picture that is being edited and that others may draw on. The frame
// editor's picture is one; the scripting object draws on it through this interface, so
// pen, brush and font set by a script stay set for the editor's tools and the reverse.
#pragma once

#include "Canvas.h"

class TPictureTarget {
public:
    virtual ~TPictureTarget() = default;
    // The canvas over the picture; its pen, brush and font are the editor's own.
    virtual TCanvas& Canvas() = 0;
    // The bitmap under the canvas (the frame's size; the editor's zoom is only its view).
    virtual TBitmap& Picture() = 0;
    // To be called after drawing: shows the change and records it as one undo step. The
    // picture may have been given another size meanwhile.
    virtual void PictureChanged() = 0;
};
