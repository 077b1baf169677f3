#include "GIFTypes.h"

const char* GIFVersionText(TGIFVersion version)
{
    return version == gv87a ? "87a" : version == gv89a ? "89a" : "";
}
