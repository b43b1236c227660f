// Demos: the input the game read, pass by pass of its main loop, recorded to a file and played
// back through the same calls, with the recorded random seed, so the game runs the same frames.
#pragma once
#include <cstdint>

#include "platform/host/input_types.h"  // PLAT_SCREEN_*

// What a demo needs of the game's records. main() hands it over before the demo begins; without
// it the end-state hash covers the frame count alone.
struct PlatDemoGame {
  void (*opening)(int32_t* state, int32_t* frame_delay_ms);  // as before the first frame
  uint64_t (*state_hash)();                                  // score, player, enemies, explosions, game state
  int (*screen)();                                           // which screen is up: PLAT_SCREEN_*
};
void plat_demo_set_game(const PlatDemoGame* game);
// The game's own, defined by the game (app/demo_state.cpp).
extern const PlatDemoGame game_demo_hooks;

// ---- main(): options, then begin before WinMain and end after it.

// The demo options, as the option table sets them; the file names are argv's own.
constexpr int PLAT_DEMO_HASH_FRAMES = 64;
struct PlatDemoOptions {
  const char* record = nullptr;                      // --record FILE
  const char* play = nullptr;                        // --playdemo FILE
  const char* timed = nullptr;                       // --timedemo FILE
  bool play_continue = false;                        // --playdemo-continue
  uint32_t hash_frames[PLAT_DEMO_HASH_FRAMES] = {};  // --hash-frames N,...
  int hash_frame_count = 0;
};
extern PlatDemoOptions plat_demo_options;
// --hash-frames' list into *o: false unless 1 to 64 frame numbers separated by commas.
bool plat_demo_parse_frames(const char* list, PlatDemoOptions* o);
// Checks the options together and opens the demo to record or loads the one to play. 0 to go on,
// else the exit status (the reason is on stderr): 64 options that do not go together, 65 not a
// good demo, 66 cannot read it, 73 cannot create it.
int plat_demo_begin();
// Closes the recording, prints the end state (and the timing); returns the exit status. A
// recording that never reached its first pass leaves no file, and an existing one as it was.
int plat_demo_end(int status);
// The game did not start after plat_demo_begin: as plat_demo_end, with nothing printed.
void plat_demo_cancel();
// Back to no demo, for tests.
void plat_demo_reset();

// ---- What the idle waits ask.

// Replaying or timing (and not yet handed to the player): real input is not the game's.
bool plat_demo_replaying();
// Recording or replaying: the demo's tap is at the input border, its clock is GetTickCount's.
bool plat_demo_on();
