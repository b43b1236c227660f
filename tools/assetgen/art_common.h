// Shared look: the palette edges are shaded toward, and the text helper over the platform's
// font rasteriser.
#pragma once
#include "tools/assetgen/canvas.h"

// Partly covered sprite edges are shaded toward deep space, so they sit well on the backgrounds.
inline const AgColour AG_SPRITE_EDGE = {0.03f, 0.04f, 0.10f};
