// Creating and loading the play state's own surfaces at start-up.
#pragma once

// The start-up calls these at their places in its order: HUD pictures before the player
// set-up, the scratch surfaces after the enemies, the rest after that.
void game_hud_images_load();   // slots, then digits
void game_scratch_create();    // scratch a, then b; 160 x 160, key 0, nothing loaded
void game_play_images_load();  // laser, three explosions, four enemies, two backgrounds

// The whole play state in start-up order, for callers without a start-up of their own (tools,
// tests): HUD pictures, player, stars, enemies, scratch surfaces, pictures, explosions cleared.
void game_play_setup();
