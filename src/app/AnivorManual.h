// The window program's own description: `anivor --help` and the manual page anivor(1).
#pragma once

#include "platform/ManualPage.h"

TManualPage AnivorManualPage();
