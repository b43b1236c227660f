// One tick of the play state.
#pragma once

// 1 when every step ran; 0 when a tested draw failed and the frame must end at once.
int game_play_frame();
