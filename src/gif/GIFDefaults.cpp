#include "GIFTypes.h"

TColorReduction DefaultColorReduction = rmNetscape;
int DefaultReductionBits = 8;
TDitherMode DefaultDitherMode = dmNearest;
TGIFCompression DefaultCompression = gcLZW;
TGIFDrawOptions DefaultDrawOptions = goAsync | goTransparent | goAnimate | goLoop | goDither | goAutoDither;
TGIFThreadPriority DefaultThreadPriority = tpNormal;
int DefaultAnimationSpeed = 100;

const char* GIFVersionText(TGIFVersion version)
{
    return version == gv87a ? "87a" : version == gv89a ? "89a" : "";
}
