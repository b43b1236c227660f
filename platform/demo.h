// Demos: the input the game read, pass by pass of its main loop, recorded to a file and played
// back through the same calls, with the recorded random seed, so the game runs the same frames.
#pragma once
#include <cstdint>

#include "platform/wintypes.h"

// What a demo needs of the game's records. The game's Linux-only demo file hands it over at
// start-up; without it the end-state hash covers the frame count alone.
struct PlatDemoGame {
  void (*opening)(int32_t* state, int32_t* frame_delay_ms);  // as before the first frame
  uint64_t (*state_hash)();                                  // score, player, enemies, explosions, game state
};
void plat_demo_set_game(const PlatDemoGame* game);

// ---- main(): options, then begin before WinMain and end after it.

// A demo option from the option table ("record", "playdemo", "timedemo", "playdemo-continue",
// "hash-frames"): null when taken, else why not. The value is kept by pointer: argv's own.
const char* plat_demo_set_option(const char* name, const char* value);
// Checks the options together and opens the demo to record or loads the one to play. 0 to go on,
// else the exit status (the reason is on stderr): 64 options that do not go together, 65 not a
// good demo, 66 cannot read it, 73 cannot create it.
int plat_demo_begin();
// Closes the recording, prints the end state (and the timing); returns the exit status.
int plat_demo_end(int status);
// Back to no demo, for tests.
void plat_demo_reset();

// ---- Hooks of the platform's own calls.

// Replaying or timing (and not yet handed to the player): real input is not the game's.
bool plat_demo_replaying();
// Recording or replaying: the system's events are taken only where a pass begins.
bool plat_demo_on();
// PeekMessageA, before it pumps: a new pass of the loop begins. Replay posts the pass's window
// messages (or the quit message when the demo is over).
void plat_demo_pass();
// PeekMessageA hands out WM_QUIT: the loop is over, the end state is taken.
void plat_demo_loop_end();
// A window message from the system: false when it must not be queued (replay brings its own).
bool plat_demo_window_message(UINT message);
// Replay: Escape or closing the window ends it.
void plat_demo_interrupt();
// The game posts its quit message: true when it is dropped because the player takes over
// after this frame (--playdemo-continue).
bool plat_demo_quit_posted();
// GetTickCount's reading, turned into the demo's clock.
DWORD plat_demo_ticks(DWORD now);
// What a replay adds to the system's tick count, still after it hands the game over; else 0.
DWORD plat_demo_clock_offset();
// GetDeviceState: true when the replay answered (result in *hr); the read afterwards is noted.
bool plat_demo_device_replay(bool mouse, DWORD size, void* data, HRESULT* hr);
void plat_demo_device_note(bool mouse, DWORD size, const void* data, HRESULT hr);
// GetAsyncKeyState: the replay's answer (Escape as recorded, other keys from the key bytes),
// and the recorder's note of what Escape gave.
bool plat_demo_async_replay(int vk, int dik, SHORT* state);
void plat_demo_async_note(int vk, SHORT state);
