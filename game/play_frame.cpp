// Placeholder until the play steps land.
#include "game/play.h"

int game_play_frame() { return 1; }
